#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "raster/image_drawing_box.h"
#include "raster/indexed_image.h"
#include "run/form1_core.h"
#include "run/frame_plan.h"
#include "view/box_geometry.h"

namespace heatplate {

// The three pictures at one moment of a run, in PictureId order, each an
// exact 8-bit copy (see exact_indexed8): a quarter of the memory of the
// pictures themselves, and what a GIF frame holds.
using PictureFrames = std::array<IndexedImage, kPictureCount>;

// Where a recorder's frames go: animations written while the run goes on,
// or frames kept to be saved later.
class FrameSink {
  public:
    virtual ~FrameSink() = default;
    // frames: shown for delay hundredths of a second. Returns a message
    // when the frames cannot be kept.
    virtual std::optional<std::string> take(const PictureFrames& frames, int delay) = 0;
};

// Takes the three pictures of a run, as the user would see them, at the
// steps of a frame plan (or whenever the host asks), and hands them to a
// sink.
class FrameRecorder {
  public:
    using Boxes = std::array<const ImageDrawingBox*, kPictureCount>;

    // Without a plan, the default plan of the run's own steps, which it
    // knows once it has read t Max, before its first step.
    FrameRecorder(Form1Core& form, Boxes boxes, FrameSink& sink,
                  std::optional<FramePlan> plan = std::nullopt)
        : form_(form), boxes_(boxes), sink_(sink), plan_(plan) {}

    // After every step of the run: the pictures, when the plan takes them.
    void step_done(std::int64_t iTime) {
        if (plan().due(iTime)) {
            capture();
        }
    }

    // The pictures as they are now. The 3-D view, which a host may draw only
    // when it is looked at, is brought up to date first.
    void capture();
    // The pictures once more if any has changed since the last capture, or
    // if there was none: a run that stopped between two captures, or that
    // ran no step, still ends on the picture it left.
    void capture_final();

    // The first failure (a picture of more than 256 colours, a frame the
    // sink could not keep); after it nothing more is captured.
    const std::optional<std::string>& error() const { return error_; }

  private:
    std::array<std::uint64_t, kPictureCount> versions() const;
    const FramePlan& plan();

    Form1Core& form_;
    Boxes boxes_;
    FrameSink& sink_;
    std::array<std::uint64_t, kPictureCount> captured_versions_{};
    std::int64_t frames_ = 0;
    std::optional<std::string> error_;
    std::optional<FramePlan> plan_;
};

}  // namespace heatplate
