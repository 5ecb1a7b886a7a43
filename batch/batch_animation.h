#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/batch_controls.h"
#include "desktop/gif_writer.h"
#include "run/form1_core.h"
#include "run/frame_plan.h"
#include "run/frame_recorder.h"

namespace heatplate {

// heatplate-batch --animate DIR: the three pictures go into DIR/map.gif,
// DIR/view3d.gif and DIR/residual.gif while the run goes on, one frame at a
// time, so that a long run needs no more memory than a short one. The files
// replace the old ones only when the animation is complete.
class BatchAnimation final : public FrameSink {
  public:
    BatchAnimation(const std::string& dir, FramePlan plan);

    // Creates the three temporary files; returns the message when the
    // folder cannot take them.
    std::optional<std::string> open();
    // Records the run of form: the pictures after every due step become frames.
    void record(BatchControls& controls, Form1Core& form, const BatchPictures& pictures);
    // Adds the pictures the run left if it stopped between two frames and
    // ends the three animations, whose files join those to be put in place
    // together. Returns the first failure, after which every file is dropped.
    std::optional<std::string> end(std::vector<AtomicFile*>& files);
    // Ends the animations and puts the three files in place, all or none.
    std::optional<std::string> finish();

    std::optional<std::string> take(const PictureFrames& frames, int delay) override;

  private:
    FramePlan plan_;
    std::array<std::unique_ptr<GifWriter>, kPictureCount> writers_;
    std::unique_ptr<FrameRecorder> recorder_;
};

}  // namespace heatplate
