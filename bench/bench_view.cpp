// What the three pictures cost per time step on the largest grid.
//
// BM_ThreePictures replays a recorded run of the default inputs at
// 101 x 101: for every step it puts that step's field into the state, paints
// the map through a run's TemperatureMap and adds the residual segment, and
// at the end draws the 3-D view once and looks at the map, as a host that
// draws and shows the pictures only when they are shown or saved does. The
// per_step counter is the cost per step averaged over the run; it includes
// copying the field into the state, which BM_CopyField times on its own.
// The other benchmarks time the single drawing procedures and a whole run.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "batch/batch_controls.h"
#include "bench_support.h"
#include "raster/image_drawing_box.h"
#include "run/form1_core.h"
#include "view/box_geometry.h"
#include "view/cell_colours.h"
#include "view/temperature_map.h"
#include "view/view3d.h"

namespace {

using namespace heatplate;

constexpr int kN = kMaxIntervals;

// A window that draws nothing and keeps the field and residual of every step.
class Recorder final : public Controls {
  public:
    explicit Recorder(int steps) : steps_(steps) {}

    std::string text(TextBoxId box) const override {
        switch (box) {
            case TextBoxId::Text_Nx:
            case TextBoxId::Text_Ny:
                return std::to_string(kN);
            case TextBoxId::Text_MaxTime:
                return std::to_string(steps_);
            case TextBoxId::Text_Tfield:
                return "0";
            case TextBoxId::Text_Alfa:
                return "30";
            default:
                return "100";
        }
    }
    void set_text(TextBoxId box, const std::string& t) override {
        if (box == TextBoxId::Text_RMS) {
            rms.push_back(std::stod(t));
        }
    }
    bool selected(OptionId option) const override { return option == OptionId::Option_Explicit; }
    int scroll_value() const override { return 30; }
    DrawingBox& picture(PictureId) override { return null_; }
    void message(const std::string&) override {}
    void end_program() override {}
    NumberSeparators separators() const override { return {}; }
    StepVerdict step_done(std::int64_t) override {
        fields.push_back(state->T);
        return StepVerdict::Continue;
    }
    bool defers_view3d() const override { return true; }
    std::optional<std::string> save_results(const std::string&) override { return std::nullopt; }

    const SimulationState* state = nullptr;
    std::vector<NodeArray> fields;
    std::vector<double> rms;

  private:
    int steps_;
    NullDrawingBox null_;
};

ImageDrawingBox make_box(const BoxGeometry& g) {
    return ImageDrawingBox(g.width, g.height, g.background, g.foreground);
}

// A recorded run and the boxes it is replayed into, made once per process
// so that the replays run on warm memory, as a window's long-lived state
// and pictures do.
struct Replay {
    explicit Replay(int steps) : recorder(steps) {
        bench::work_in_temp_dir();
        auto form = std::make_unique<Form1Core>(recorder);
        recorder.state = &form->state();
        form->Command1_Click();
        state = std::make_unique<SimulationState>(form->state());
    }

    Recorder recorder;
    std::unique_ptr<SimulationState> state;
    ImageDrawingBox map = make_box(kPicturePaintGeometry);
    ImageDrawingBox view3d = make_box(kPicture3DGraphGeometry);
    ImageDrawingBox chart = make_box(kPicture3Geometry);
};

Replay& replay_of(int steps) {
    static std::map<int, std::unique_ptr<Replay>> replays;
    std::unique_ptr<Replay>& r = replays[steps];
    if (!r) {
        r = std::make_unique<Replay>(steps);
    }
    return *r;
}

void BM_ThreePictures(benchmark::State& state) {
    const int steps = static_cast<int>(state.range(0));
    Replay& r = replay_of(steps);
    SimulationState& s = *r.state;
    TemperatureMap map;
    for (auto _ : state) {
        map.Init_Paint(s, r.map);
        Init_D3_Graph(s, "30", r.view3d);
        r.chart.cls();
        r.chart.scale(0, 0, static_cast<float>(steps), 1);
        double RMSold = 0;
        for (int k = 0; k < steps; ++k) {
            s.T = r.recorder.fields[static_cast<std::size_t>(k)];
            map.Paint_TempField(s, r.map);
            const double RMS = r.recorder.rms[static_cast<std::size_t>(k)];
            r.chart.line(static_cast<float>(k), static_cast<float>(RMSold),
                         static_cast<float>(k + 1), static_cast<float>(RMS), s.Black);
            RMSold = RMS;
        }
        D3_Graph(s, r.view3d);
        benchmark::DoNotOptimize(r.map.image().pixels.data());
        benchmark::ClobberMemory();
    }
    state.counters["per_step"] = benchmark::Counter(
        static_cast<double>(steps),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ThreePictures)->Arg(50)->Arg(500)->ArgName("steps")->Unit(benchmark::kMillisecond);

void BM_CopyField(benchmark::State& state) {
    Replay& r = replay_of(50);
    std::size_t k = 0;
    for (auto _ : state) {
        r.state->T = r.recorder.fields[k];
        k = (k + 1) % r.recorder.fields.size();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyField)->Unit(benchmark::kMicrosecond);

// Consecutive steps' fields painted in turn by a run's map, so every call
// has the changes of one step to show.
void BM_PaintTempField(benchmark::State& state) {
    Replay& r = replay_of(500);
    const auto after = static_cast<std::size_t>(state.range(0));
    SimulationState& s = *r.state;
    TemperatureMap map;
    map.Init_Paint(s, r.map);
    std::size_t k = after;
    for (auto _ : state) {
        s.T = r.recorder.fields[k];
        map.Paint_TempField(s, r.map);
        k = k + 1 < after + 2 ? k + 1 : after;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintTempField)->Arg(49)->Arg(498)->ArgName("after")->Unit(benchmark::kMicrosecond);

// The map's colours on their own, each way: the colour of every cell of one
// step's field.
void BM_CellColours(benchmark::State& state) {
    const auto way = static_cast<ColourWay>(state.range(0));
    Replay& r = replay_of(500);
    SimulationState& s = *r.state;
    Init_Paint(s, r.map);
    s.T = r.recorder.fields[498];
    std::vector<Colour> colours(static_cast<std::size_t>(kN) * kN);
    for (auto _ : state) {
        const CellColourer colourer(s.Tmin, s.Tmax, s.Trange, s.Palette.data());
        benchmark::DoNotOptimize(colourer.colour_cells(s.T, kN, kN, colours, way));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CellColours)
    ->Arg(static_cast<int>(ColourWay::Exact))
    ->Arg(static_cast<int>(ColourWay::Vector))
    ->ArgName("way")
    ->Unit(benchmark::kMicrosecond);

// The image box's part: the cells of two consecutive steps in turn, the
// picture looked at after each (1), so that each is painted, or never (0), so
// that each waits for a look.
void BM_FillCells(benchmark::State& state) {
    const bool look = state.range(0) != 0;
    Replay& r = replay_of(500);
    SimulationState& s = *r.state;
    Init_Paint(s, r.map);
    std::vector<float> edges(kN + 1);
    for (int k = 0; k <= kN; ++k) {
        edges[static_cast<std::size_t>(k)] = static_cast<float>(s.X(k, 0));
    }
    std::vector<Colour> colours[2];
    for (std::size_t step = 0; step < 2; ++step) {
        s.T = r.recorder.fields[498 + step];
        colours[step].resize(static_cast<std::size_t>(kN) * kN);
        CellColourer(s.Tmin, s.Tmax, s.Trange, s.Palette.data())
            .colour_cells(s.T, kN, kN, colours[step]);
    }
    std::size_t changed = 0;
    for (std::size_t c = 0; c < colours[0].size(); ++c) {
        changed += colours[0][c] != colours[1][c] ? 1 : 0;
    }
    state.counters["changed"] = static_cast<double>(changed);
    std::size_t k = 0;
    for (auto _ : state) {
        r.map.fill_cells({edges, edges}, colours[k]);
        if (look) {
            benchmark::DoNotOptimize(r.map.image().pixels.data());
        }
        k ^= 1;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FillCells)->Arg(1)->Arg(0)->ArgName("look")->Unit(benchmark::kMicrosecond);

void BM_D3Graph(benchmark::State& state) {
    Replay& r = replay_of(500);
    Init_D3_Graph(*r.state, "30", r.view3d);
    for (auto _ : state) {
        D3_Graph(*r.state, r.view3d);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_D3Graph)->Unit(benchmark::kMicrosecond);

// A whole run as the headless runner makes it: solver, residual, and with
// pictures (1) the map and chart every step, the 3-D view once at the end,
// or without (0) nothing drawn; results.txt either way. Side by side, the
// two tell what the pictures cost a step.
void BM_Run(benchmark::State& state) {
    bench::work_in_temp_dir();
    const bool with_pictures = state.range(0) != 0;
    const int steps = static_cast<int>(state.range(1));
    BatchPictures pictures;
    for (auto _ : state) {
        BatchControls controls;
        controls.set_input(TextBoxId::Text_Nx, std::to_string(kN));
        controls.set_input(TextBoxId::Text_Ny, std::to_string(kN));
        controls.set_input(TextBoxId::Text_MaxTime, std::to_string(steps));
        if (with_pictures) {
            pictures.attach(controls);
        }
        Form1Core form(controls);
        if (form.Command1_Click() != RunOutcome::Completed) {
            state.SkipWithError("run failed");
            break;
        }
        form.refresh_view3d();
        benchmark::ClobberMemory();
    }
    state.counters["per_step"] = benchmark::Counter(
        static_cast<double>(steps),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Run)
    ->ArgsProduct({{1, 0}, {500, 5000}})
    ->ArgNames({"pictures", "steps"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
