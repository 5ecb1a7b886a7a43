// The calculation run driven through a fake window: set-up, steps, outputs
// and the results file.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "app/form1_core.h"
#include "tests/support/fake_controls.h"
#include "tests/support/recording_box.h"
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

TEST_F(RunTest, ResidualIsTheRootOfTheSumOverTheNodeCount) {
    controls_[TextBoxId::Text_Nx] = "7";
    controls_[TextBoxId::Text_Ny] = "4";
    controls_[TextBoxId::Text_Tw2] = "40";
    controls_[TextBoxId::Text_MaxTime] = "3";
    ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
    double sum = 0;
    for (int i = 1; i <= 6; ++i) {
        for (int j = 1; j <= 3; ++j) {
            sum = sum + (s().T(i, j) - s().Told(i, j)) * (s().T(i, j) - s().Told(i, j));
        }
    }
    char shown[32];
    std::snprintf(shown, sizeof shown, "%.8f", std::sqrt(sum) / 18);
    std::string expected = shown;
    expected.erase(expected.find_last_not_of('0') + 1);
    EXPECT_EQ(controls_[TextBoxId::Text_RMS], expected);
    EXPECT_EQ(controls_[TextBoxId::Text_dx], "0.143");  // 1/7
    EXPECT_EQ(controls_[TextBoxId::Text_dy], "0.25");
}

TEST_F(RunTest, LaterWallWinsAtTheCorners) {
    controls_[TextBoxId::Text_Tw1] = "1";
    controls_[TextBoxId::Text_Tw2] = "2";
    controls_[TextBoxId::Text_Tw3] = "3";
    controls_[TextBoxId::Text_Tw4] = "4";
    ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
    for (const NodeArray* a : {&s().T, &s().Told}) {
        EXPECT_EQ((*a)(0, 0), 4);
        EXPECT_EQ((*a)(0, 20), 4);
        EXPECT_EQ((*a)(20, 0), 2);
        EXPECT_EQ((*a)(20, 20), 2);
    }
    for (const auto& row : results_fields()) {
        EXPECT_EQ(row.front(), "004");
        EXPECT_EQ(row.back(), "002");
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
    for (const char* max_time : {"0.5", "-3"}) {
        controls_[TextBoxId::Text_MaxTime] = max_time;
        controls_[TextBoxId::Text_Tfield] = "37.6";
        ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
        EXPECT_EQ(controls_[TextBoxId::Text_iTime], "0");
        EXPECT_EQ(controls_[TextBoxId::Text_dx], "");
        EXPECT_EQ(controls_[TextBoxId::Text_RMS], "");
        const auto rows = results_fields();
        ASSERT_EQ(rows.size(), 21u);
        EXPECT_EQ(rows[0][5], "100");
        EXPECT_EQ(rows[5][5], "038");
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
