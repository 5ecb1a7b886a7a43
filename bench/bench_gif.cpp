// What recording a run as animations costs.
//
// BM_MapAnimation encodes the map animation that heatplate-batch --animate
// records for a 101 x 101 run of 3000 steps: 300 frames, one every 10 steps.
// The frames are taken once beforehand; each iteration converts every frame
// to its exact 8-bit form, encodes it into a GIF written to a temporary file
// and puts the file in place, as the runner does while the run goes on.
// BM_Run times a whole run of that size with the pictures kept, without and
// with the three animations recorded, so the difference is what --animate
// adds to a run.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QImage>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "batch/batch_animation.h"
#include "batch/batch_controls.h"
#include "bench_support.h"
#include "desktop/gif_writer.h"
#include "run/form1_core.h"

namespace {

using namespace heatplate;

constexpr int kSteps = 3000;
// What heatplate-batch --animate does by default for such a run.
const FramePlan kPlan = plan_frames(kSteps, std::nullopt, std::nullopt);

void set_up(BatchControls& controls) {
    controls.set_input(TextBoxId::Text_Nx, std::to_string(kMaxIntervals));
    controls.set_input(TextBoxId::Text_Ny, std::to_string(kMaxIntervals));
    controls.set_input(TextBoxId::Text_MaxTime, std::to_string(kSteps));
}

// The map at every frame of the run, as the runner sees it.
const std::vector<RasterImage>& map_frames() {
    static const std::vector<RasterImage> frames = [] {
        bench::work_in_temp_dir();
        std::vector<RasterImage> out;
        BatchControls controls;
        set_up(controls);
        BatchPictures pictures;
        pictures.attach(controls);
        controls.set_step_observer([&](std::int64_t iTime) {
            if (kPlan.due(iTime)) {
                out.push_back(pictures.map.image());
            }
        });
        Form1Core form(controls);
        form.Command1_Click();
        return out;
    }();
    return frames;
}

void BM_MapAnimation(benchmark::State& state) {
    const std::vector<RasterImage>& frames = map_frames();
    for (auto _ : state) {
        GifWriter writer("map.gif");
        // Each frame made exact 8-bit, as a recording does, and encoded.
        for (const RasterImage& frame : frames) {
            if (writer.add(exact_indexed8(frame).value(), kPlan.delay)) {
                state.SkipWithError("add failed");
                break;
            }
        }
        if (writer.commit()) {
            state.SkipWithError("commit failed");
            break;
        }
    }
    state.counters["frames"] = static_cast<double>(frames.size());
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size("map.gif"));
}
BENCHMARK(BM_MapAnimation)->Unit(benchmark::kMillisecond);

// One run, recorded into anim/ if asked; false if anything failed.
bool run_once(BatchPictures& pictures, bool animate) {
    BatchControls controls;
    set_up(controls);
    pictures.attach(controls);
    Form1Core form(controls);
    BatchAnimation animation("anim", kPlan);
    if (animate) {
        if (animation.open()) {
            return false;
        }
        animation.record(controls, form, pictures);
    }
    if (form.Command1_Click() != RunOutcome::Completed) {
        return false;
    }
    form.refresh_view3d();
    return !animate || !animation.finish();
}

void BM_Run(benchmark::State& state) {
    bench::work_in_temp_dir();
    std::filesystem::create_directories("anim");
    const bool animate = state.range(0) != 0;
    BatchPictures pictures;
    for (auto _ : state) {
        if (!run_once(pictures, animate)) {
            state.SkipWithError("run failed");
            break;
        }
    }
}
BENCHMARK(BM_Run)->Arg(0)->Arg(1)->ArgName("animate")->Unit(benchmark::kMillisecond);

}  // namespace
