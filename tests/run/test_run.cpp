// The calculation run driven through a fake window: set-up, steps, outputs
// and the results file.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "run/form1_core.h"
#include "tests/support/fake_controls.h"
#include "tests/support/recording_box.h"
#include "tests/support/reference_scheme.h"
#include "tests/support/temp_dir.h"

namespace heatplate {
namespace {

using testing::FakeControls;

std::vector<std::vector<std::string>> results_fields() {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(testing::read_file("results.txt"));
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> row;
        std::istringstream fields(line);
        std::string f;
        while (fields >> f)
            row.push_back(f);
        rows.push_back(row);
    }
    return rows;
}

class RunTest : public ::testing::Test {
  protected:
    testing::TempDir dir_;
    testing::ScopedWorkingDir cwd_{dir_.path()};
    FakeControls controls_;
    Form1Core form_{controls_};
    const SimulationState& s() const { return form_.state(); }
};

TEST_F(RunTest, FirstDefaultStepMovesTheNodesAlongTheWalls) {
    controls_[TextBoxId::Text_MaxTime] = "1";
    ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);

    int changed_by_5 = 0, changed_by_10 = 0;
    double sum_sq = 0;
    for (int i = 1; i <= 19; ++i) {
        for (int j = 1; j <= 19; ++j) {
            const double d = s().T(i, j) - s().Told(i, j);
            sum_sq += d * d;
            changed_by_5 += d == 5;
            changed_by_10 += d == 10;
        }
    }
    EXPECT_EQ(changed_by_5, 68);
    EXPECT_EQ(changed_by_10, 4);
    EXPECT_EQ(sum_sq, 2100);
    EXPECT_EQ(controls_[TextBoxId::Text_RMS], "0.12694115");
    EXPECT_EQ(controls_[TextBoxId::Text_dx], "0.05");
    EXPECT_EQ(controls_[TextBoxId::Text_dy], "0.05");
    EXPECT_EQ(controls_[TextBoxId::Text_iTime], "1");
}

// A plate with four different walls, a field between them and two grid
// sizes, against the schemes written out plainly: every node of T and Told
// to the bit, and the residual shown is the root of the summed squares over
// the number of interior nodes.
TEST_F(RunTest, WholeRunsMatchThePlainSchemesToTheBit) {
    const testing::Plate plate{7, 12, 90, 60, 35, 20, 15};
    controls_[TextBoxId::Text_Nx] = "7";
    controls_[TextBoxId::Text_Ny] = "12";
    controls_[TextBoxId::Text_Tw1] = "90";
    controls_[TextBoxId::Text_Tw2] = "60";
    controls_[TextBoxId::Text_Tw3] = "35";
    controls_[TextBoxId::Text_Tw4] = "20";
    controls_[TextBoxId::Text_Tfield] = "15";
    controls_[TextBoxId::Text_MaxTime] = "25";
    for (const bool adi : {false, true}) {
        SCOPED_TRACE(adi ? "ADI" : "Explicit");
        controls_.explicit_selected = !adi;
        controls_.adi_selected = adi;
        ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
        SimulationState plain;
        const double rms = testing::reference_run(plain, plate, 25, adi);
        EXPECT_TRUE(s().T == plain.T);
        EXPECT_TRUE(s().Told == plain.Told);
        char shown[32];
        std::snprintf(shown, sizeof shown, "%.8f", rms);
        std::string expected = shown;
        expected.erase(expected.find_last_not_of('0') + 1);
        EXPECT_EQ(controls_[TextBoxId::Text_RMS], expected);
        EXPECT_EQ(controls_[TextBoxId::Text_iTime], "25");
    }
    EXPECT_EQ(controls_[TextBoxId::Text_dx], "0.143");  // 1/7, from the explicit run
    EXPECT_EQ(controls_[TextBoxId::Text_dy], "0.083");
}

// One explicit step on 3 x 2 intervals, by hand: the first line is the
// bottom wall, the last the top; the first field the left wall, the last the
// right; the corners hold the left and right walls.
TEST_F(RunTest, ResultsFileHoldsRowsBottomUpAndColumnsLeftToRight) {
    controls_[TextBoxId::Text_Nx] = "3";
    controls_[TextBoxId::Text_Ny] = "2";
    controls_[TextBoxId::Text_Tw1] = "10";
    controls_[TextBoxId::Text_Tw2] = "20";
    controls_[TextBoxId::Text_Tw3] = "30";
    controls_[TextBoxId::Text_Tw4] = "40";
    controls_[TextBoxId::Text_Tfield] = "50";
    controls_[TextBoxId::Text_MaxTime] = "1";
    ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
    // T(1, 1) = 50 + (40 - 100 + 50) / 3 + (10 - 100 + 30) / 2 = 16.67
    // T(2, 1) = 50 + (50 - 100 + 20) / 3 + (10 - 100 + 30) / 2 = 10
    EXPECT_EQ(testing::read_file("results.txt"),
              "  040  010  010  020\r\n"
              "  040  017  010  020\r\n"
              "  040  030  030  020\r\n");
    for (const NodeArray* a : {&s().T, &s().Told}) {
        EXPECT_EQ((std::array{(*a)(0, 0), (*a)(0, 2), (*a)(3, 0), (*a)(3, 2)}),
                  (std::array{40.0, 40.0, 20.0, 20.0}));
    }
}

TEST_F(RunTest, FractionalStepCountRunsTheWholeStepsBelowIt) {
    testing::RecordingBox chart;
    controls_.boxes[2] = &chart;
    controls_[TextBoxId::Text_MaxTime] = "2.5";
    ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
    EXPECT_EQ(controls_[TextBoxId::Text_iTime], "2");
    ASSERT_EQ(chart.calls.size(), 4u);
    EXPECT_EQ(chart.calls[0].op, "cls");
    EXPECT_EQ(chart.calls[1].op, "scale");
    EXPECT_EQ(chart.calls[1].x2, 2.5f);
    EXPECT_EQ(chart.calls[1].y2, 1.0f);
    EXPECT_EQ(chart.calls[2].op, "line");
    EXPECT_EQ(chart.calls[2].x1, 0.0f);
    EXPECT_EQ(chart.calls[2].y1, 0.0f);
    EXPECT_EQ(chart.calls[2].x2, 1.0f);
    EXPECT_EQ(chart.calls[2].y2, static_cast<float>(std::sqrt(2100.0) / 361));
    EXPECT_EQ(chart.calls[3].x1, 1.0f);
    EXPECT_EQ(chart.calls[3].y1, chart.calls[2].y2);
}

TEST_F(RunTest, LessThanOneStepWritesTheInitialField) {
    controls_[TextBoxId::Text_Tw1] = "1";
    controls_[TextBoxId::Text_Tw3] = "3";
    for (const char* max_time : {"0.5", "-3"}) {
        controls_[TextBoxId::Text_MaxTime] = max_time;
        controls_[TextBoxId::Text_Tfield] = "37.6";
        ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
        EXPECT_EQ(controls_[TextBoxId::Text_iTime], "0");
        EXPECT_EQ(controls_[TextBoxId::Text_dx], "");
        EXPECT_EQ(controls_[TextBoxId::Text_RMS], "");
        const auto rows = results_fields();
        ASSERT_EQ(rows.size(), 21u);
        EXPECT_EQ((std::array{rows[0][5], rows[5][0], rows[5][5], rows[20][5]}),
                  (std::array<std::string, 4>{"001", "100", "038", "003"}));
    }
}

TEST_F(RunTest, SmallerSecondRunLeavesTheRestOfTheArraysAlone) {
    controls_[TextBoxId::Text_MaxTime] = "3";
    ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
    const SimulationState first = s();
    controls_[TextBoxId::Text_Nx] = "10";
    ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
    for (int i = 11; i <= 20; ++i) {
        for (int j = 0; j <= 20; ++j) {
            EXPECT_EQ(s().T(i, j), first.T(i, j));
            EXPECT_EQ(s().Told(i, j), first.Told(i, j));
            EXPECT_EQ(s().X(i, j), first.X(i, j));
        }
    }
    EXPECT_EQ(results_fields().front().size(), 11u);
}

TEST_F(RunTest, TwoIntervalsKeepTheSpacingOfOneHalf) {
    controls_[TextBoxId::Text_Nx] = "2";
    controls_[TextBoxId::Text_Ny] = "2";
    controls_[TextBoxId::Text_MaxTime] = "1";
    ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
    EXPECT_EQ(s().dx, 0.5);
    EXPECT_EQ(controls_[TextBoxId::Text_dx], "0.5");
    // Centre weight 1 - 2dx - 2dy is 0: the node takes the mean of the walls.
    EXPECT_EQ(s().T(1, 1), 200);
}

TEST_F(RunTest, TheHostCanEndTheRunAfterAnyStep) {
    controls_[TextBoxId::Text_MaxTime] = "1e9";
    controls_.on_step = [](std::int64_t t) {
        return t == 3 ? StepVerdict::StopAndSave : StepVerdict::Continue;
    };
    ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
    EXPECT_EQ(controls_[TextBoxId::Text_iTime], "3");
    EXPECT_EQ(results_fields().size(), 21u);

    std::filesystem::remove("results.txt");
    controls_.on_step = [](std::int64_t) { return StepVerdict::Abandon; };
    ASSERT_EQ(form_.Command1_Click(), RunOutcome::Abandoned);
    EXPECT_EQ(controls_[TextBoxId::Text_iTime], "1");
    EXPECT_FALSE(std::filesystem::exists("results.txt"));
}

TEST_F(RunTest, NoMethodShowsTheMessageInTheFirstStepAndEndsTheProgram) {
    controls_.explicit_selected = false;
    controls_.adi_selected = false;
    ASSERT_EQ(form_.Command1_Click(), RunOutcome::NoMethod);
    ASSERT_EQ(controls_.messages.size(), 1u);
    EXPECT_EQ(controls_.messages[0], "bir çözüm yöntemi seçiniz");
    EXPECT_EQ(controls_.end_program_calls, 1);
    EXPECT_EQ(controls_[TextBoxId::Text_iTime], "1");
    EXPECT_EQ(s().Told(5, 5), 0);  // the interior was already copied
    EXPECT_FALSE(std::filesystem::exists("results.txt"));
}

TEST_F(RunTest, LocaleSeparatorsReachTheOutputsAndTheFile) {
    controls_.sep = NumberSeparators{",", ".", "."};
    controls_[TextBoxId::Text_Tfield] = "1234.4";
    controls_[TextBoxId::Text_MaxTime] = "1";
    ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
    EXPECT_EQ(controls_[TextBoxId::Text_dx], "0,05");
    EXPECT_EQ(results_fields()[10][10], "1.234");
}

}  // namespace
}  // namespace heatplate
