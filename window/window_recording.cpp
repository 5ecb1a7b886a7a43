#include "window/window_recording.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "desktop/atomic_file.h"
#include "desktop/gif_writer.h"

namespace heatplate {

// The three animations of a run, encoded on a thread of their own from the
// frames handed over, which wait in a short queue.
class WindowRecording::Encoder {
  public:
    Encoder() : thread_([this] { encode(); }) {}
    ~Encoder() {
        if (thread_.joinable()) {
            close();
            thread_.join();
        }
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    // Waits while the queue is full, so that a run never gets far ahead.
    void add(PictureFrames frames, int delay) {
        std::unique_lock lock(mutex_);
        room_.wait(lock, [this] { return queue_.size() < kQueued; });
        queue_.emplace_back(std::move(frames), delay);
        waiting_.notify_one();
    }

    // The animations of every frame handed over.
    Take finish() {
        close();
        thread_.join();
        Take take;
        take.error = error_;
        for (std::size_t k = 0; k < writers_.size() && !take.error; ++k) {
            take.error = writers_[k].end();
            take.gifs[k] = writers_[k].bytes();
        }
        take.frames = take.error ? 0 : frames_;
        return take;
    }

  private:
    static constexpr std::size_t kQueued = 8;

    void close() {
        const std::lock_guard lock(mutex_);
        closing_ = true;
        waiting_.notify_one();
    }

    void encode() {
        for (;;) {
            std::unique_lock lock(mutex_);
            waiting_.wait(lock, [this] { return closing_ || !queue_.empty(); });
            if (queue_.empty()) {
                return;
            }
            auto [frames, delay] = std::move(queue_.front());
            queue_.pop_front();
            room_.notify_one();
            lock.unlock();
            for (std::size_t k = 0; k < writers_.size() && !error_; ++k) {
                error_ = writers_[k].add(frames[k], delay);
            }
            ++frames_;
        }
    }

    std::array<GifWriter, kPictureCount> writers_;
    std::optional<std::string> error_;
    std::int64_t frames_ = 0;
    std::mutex mutex_;
    std::condition_variable waiting_, room_;
    std::deque<std::pair<PictureFrames, int>> queue_;
    bool closing_ = false;
    std::thread thread_;
};

WindowRecording::WindowRecording(Form1Core& form, FrameRecorder::Boxes boxes)
    : form_(form), boxes_(boxes) {}

WindowRecording::~WindowRecording() = default;

void WindowRecording::begin_run() {
    recorder_.reset();
    encoder_.reset();
    if (!enabled_) {
        return;
    }
    encoder_ = std::make_unique<Encoder>();
    recorder_ = std::make_unique<FrameRecorder>(form_, boxes_, *this);
}

void WindowRecording::step_done(std::int64_t iTime) {
    if (recorder_) {
        recorder_->step_done(iTime);
    }
}

std::optional<std::string> WindowRecording::take(const PictureFrames& frames, int delay) {
    encoder_->add(frames, delay);
    return std::nullopt;
}

void WindowRecording::end_run(RunOutcome outcome) {
    if (!recorder_) {
        return;
    }
    const std::unique_ptr<FrameRecorder> recorder = std::move(recorder_);
    if (outcome == RunOutcome::Refused) {
        encoder_.reset();
        return;  // no run: nothing was drawn, and the last run's animations stay
    }
    // A run that stopped between two frames, or made no step, ends on the
    // pictures it left.
    recorder->capture_final();
    Take take = encoder_->finish();
    encoder_.reset();
    if (recorder->error()) {
        take = Take{};
        take.error = recorder->error();
    }
    last_ = std::move(take);
}

std::optional<std::string> WindowRecording::save(PictureId box, const QString& path) const {
    if (last_.error) {
        return last_.error;
    }
    return save_file_atomically(path.toStdString(), last_.gifs[static_cast<std::size_t>(box)]);
}

}  // namespace heatplate
