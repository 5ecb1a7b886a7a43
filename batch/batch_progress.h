#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace heatplate {

// The line a long run keeps up to date on a terminal: the step, the share
// done, the steps per second so far and the time the rest will take at
// that speed. Shown once the run has gone on for a second, redrawn at most
// ten times a second over itself, and cleared when the run ends, so that
// the lines printed after it start on a clean line.
class BatchProgress {
  public:
    using Clock = std::chrono::steady_clock;

    // A run of `steps` steps beginning now, shown on `out`.
    BatchProgress(std::FILE* out, std::int64_t steps);
    ~BatchProgress() { clear(); }
    BatchProgress(const BatchProgress&) = delete;
    BatchProgress& operator=(const BatchProgress&) = delete;

    // After each step. The clock is read every kStride steps only, so that
    // a small grid's quick steps stay as quick.
    void step(std::int64_t iTime) {
        if (--countdown_ == 0) {
            countdown_ = kStride;
            update(iTime, Clock::now());
        }
    }
    // Takes the line away, if it is shown.
    void clear();
    bool shown() const { return shown_; }

    // At most this many steps between two looks at the clock: 64 of the
    // slowest steps (the finest grid, pictures, animation) take about 5 ms.
    static constexpr int kStride = 64;

  private:
    void update(std::int64_t iTime, Clock::time_point now);

    std::FILE* out_;
    std::int64_t steps_;
    int countdown_ = kStride;
    Clock::time_point start_;
    Clock::time_point drawn_;
    bool shown_ = false;
};

// The text of the line after `done` of `steps` steps in `seconds`.
std::string progress_text(std::int64_t done, std::int64_t steps, double seconds);

}  // namespace heatplate
