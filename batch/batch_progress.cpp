#include "batch/batch_progress.h"

#include <cinttypes>
#include <cmath>

namespace heatplate {

namespace {

// The terminal's carriage return and "erase to the end of the line".
constexpr const char* kClearLine = "\r\033[K";

constexpr auto kFirstShown = std::chrono::seconds(1);
constexpr auto kRedrawn = std::chrono::milliseconds(100);

// "1:05" or, from an hour, "2:01:05".
std::string duration_text(double seconds) {
    const auto whole = static_cast<std::int64_t>(std::min(std::ceil(seconds), 9e15));
    char text[40];
    if (whole >= 3600) {
        std::snprintf(text, sizeof text, "%" PRId64 ":%02d:%02d", whole / 3600,
                      static_cast<int>(whole / 60 % 60), static_cast<int>(whole % 60));
    } else {
        std::snprintf(text, sizeof text, "%d:%02d", static_cast<int>(whole / 60),
                      static_cast<int>(whole % 60));
    }
    return text;
}

}  // namespace

std::string progress_text(std::int64_t done, std::int64_t steps, double seconds) {
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    // Whole per cent, rounded down, so that 100 % means the run is done.
    const int percent =
        steps > 0 ? static_cast<int>(std::floor(100.0 * static_cast<double>(done) / steps)) : 100;
    char text[160];
    std::snprintf(text, sizeof text, "step %" PRId64 " of %" PRId64 "  %d%%  %.0f steps/s", done,
                  steps, percent, std::floor(rate));
    std::string line = text;
    if (rate > 0) {
        line += "  " + duration_text(static_cast<double>(steps - done) / rate) + " left";
    }
    return line;
}

BatchProgress::BatchProgress(std::FILE* out, std::int64_t steps)
    : out_(out), steps_(steps), start_(Clock::now()) {}

void BatchProgress::update(std::int64_t iTime, Clock::time_point now) {
    if (now - start_ < kFirstShown || (shown_ && now - drawn_ < kRedrawn)) {
        return;
    }
    const std::chrono::duration<double> elapsed = now - start_;
    std::fprintf(out_, "\r%s\033[K", progress_text(iTime, steps_, elapsed.count()).c_str());
    std::fflush(out_);
    drawn_ = now;
    shown_ = true;
}

void BatchProgress::clear() {
    if (shown_) {
        std::fputs(kClearLine, out_);
        std::fflush(out_);
        shown_ = false;
    }
}

}  // namespace heatplate
