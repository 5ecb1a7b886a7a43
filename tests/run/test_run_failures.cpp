// Runs that cannot go ahead or cannot finish: nothing the user had is lost.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "run/form1_core.h"
#include "tests/support/fake_controls.h"
#include "tests/support/recording_box.h"
#include "tests/support/temp_dir.h"

namespace heatplate {
namespace {

using testing::FakeControls;

constexpr const char* kEarlierResults = "  001  002\r\n";

class FailingRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A completed run first, so there is state, outputs and a file to keep.
        controls_[TextBoxId::Text_MaxTime] = "2";
        ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
        std::ofstream("results.txt", std::ios::binary) << kEarlierResults;
        before_ = form_.state();
        texts_before_ = controls_.texts;
        for (int k = 0; k < 3; ++k)
            controls_.boxes[k] = &boxes_[k];
    }

    void expect_nothing_changed() {
        EXPECT_TRUE(form_.state() == before_);
        EXPECT_EQ(controls_.texts, texts_before_);
        for (const auto& box : boxes_)
            EXPECT_TRUE(box.calls.empty());
        EXPECT_EQ(testing::read_file("results.txt"), kEarlierResults);
    }

    testing::TempDir dir_;
    testing::ScopedWorkingDir cwd_{dir_.path()};
    FakeControls controls_;
    Form1Core form_{controls_};
    SimulationState before_;
    decltype(controls_.texts) texts_before_;
    testing::RecordingBox boxes_[3];
};

struct Refusal {
    TextBoxId box;
    const char* text;
    const char* message_start;
};

TEST_F(FailingRunTest, InputsOutsideTheRunsRangeAreRefusedBeforeAnythingChanges) {
    const std::string huge_hex = "&H" + std::string(300, 'F');
    const Refusal cases[] = {
        {TextBoxId::Text_Nx, "", "Nx must be a whole number from 2 to 101"},
        {TextBoxId::Text_Nx, "abc", "Nx must be a whole number from 2 to 101"},
        {TextBoxId::Text_Nx, "1", "Nx must be a whole number from 2 to 101"},
        {TextBoxId::Text_Nx, "102", "Nx must be a whole number from 2 to 101"},
        {TextBoxId::Text_Nx, "-4", "Nx must be a whole number from 2 to 101"},
        {TextBoxId::Text_Nx, "10.5", "Nx must be a whole number from 2 to 101"},
        {TextBoxId::Text_Ny, "1e400", "Ny must be a whole number from 2 to 101"},
        {TextBoxId::Text_Tw1, "1e400", "Tw1 must be a finite number"},
        {TextBoxId::Text_Tw2, "-1e400", "Tw2 must be a finite number"},
        {TextBoxId::Text_Tw3, "1e999", "Tw3 must be a finite number"},
        {TextBoxId::Text_Tw4, huge_hex.c_str(), "Tw4 must be a finite number"},
        {TextBoxId::Text_Tfield, "1e309", "Initial field temperature must be a finite number"},
        {TextBoxId::Text_MaxTime, "0", "t Max must be"},
        {TextBoxId::Text_MaxTime, "none", "t Max must be"},
        {TextBoxId::Text_MaxTime, "1e400", "t Max must be a finite number"},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string kept = controls_[c.box];
        controls_[c.box] = c.text;
        texts_before_[FakeControls::idx(c.box)] = c.text;
        controls_.messages.clear();
        EXPECT_EQ(form_.Command1_Click(), RunOutcome::Refused);
        ASSERT_EQ(controls_.messages.size(), 1u);
        EXPECT_EQ(controls_.messages[0].rfind(c.message_start, 0), 0u) << controls_.messages[0];
        expect_nothing_changed();
        controls_[c.box] = kept;
        texts_before_[FakeControls::idx(c.box)] = kept;
    }

    // With several offenders the first box in reading order is named.
    controls_[TextBoxId::Text_Ny] = "0";
    controls_[TextBoxId::Text_Tw3] = "1e400";
    controls_.messages.clear();
    EXPECT_EQ(form_.Command1_Click(), RunOutcome::Refused);
    ASSERT_EQ(controls_.messages.size(), 1u);
    EXPECT_EQ(controls_.messages[0].rfind("Ny ", 0), 0u);
}

TEST_F(FailingRunTest, OverflowStopsTheRunKeepsTheEarlierResultsAndShowsNoStaleResidual) {
    for (bool adi : {false, true}) {
        SCOPED_TRACE(adi ? "ADI" : "Explicit");
        controls_.explicit_selected = !adi;
        controls_.adi_selected = adi;
        controls_[TextBoxId::Text_Tw1] = "1e308";
        controls_[TextBoxId::Text_Tw3] = "-1e308";
        controls_[TextBoxId::Text_MaxTime] = "100";
        controls_.messages.clear();
        // The completed run before left its residual in the box.
        ASSERT_FALSE(controls_[TextBoxId::Text_RMS].empty());
        ASSERT_EQ(form_.Command1_Click(), RunOutcome::Diverged);
        ASSERT_EQ(controls_.messages.size(), 1u);
        EXPECT_NE(controls_.messages[0].find("step 1:"), std::string::npos)
            << controls_.messages[0];
        EXPECT_EQ(testing::read_file("results.txt"), kEarlierResults);
        // t names the failed step, and the residual box says what became of it.
        EXPECT_EQ(controls_[TextBoxId::Text_iTime], "1");
        EXPECT_EQ(controls_[TextBoxId::Text_RMS], "overflow");
        // No segment with a non-finite end reached the chart.
        for (const auto& call : boxes_[2].calls) {
            EXPECT_TRUE(std::isfinite(call.y1) && std::isfinite(call.y2));
        }
        // A completed run shows a residual again.
        boxes_[2].calls.clear();
        controls_[TextBoxId::Text_Tw1] = "100";
        controls_[TextBoxId::Text_Tw3] = "100";
        ASSERT_EQ(form_.Command1_Click(), RunOutcome::Completed);
        EXPECT_NE(controls_[TextBoxId::Text_RMS], "overflow");
        std::ofstream("results.txt", std::ios::binary) << kEarlierResults;
    }
}

TEST_F(FailingRunTest, UnwritableResultsAreReportedAndTheProgramGoesOn) {
    std::filesystem::remove("results.txt");
    std::filesystem::create_directory("results.txt");
    EXPECT_EQ(form_.Command1_Click(), RunOutcome::NotSaved);
    ASSERT_EQ(controls_.messages.size(), 1u);
    EXPECT_NE(controls_.messages[0].find("results.txt"), std::string::npos);
    EXPECT_EQ(controls_[TextBoxId::Text_iTime], "2");

    // Once the obstacle is gone the next run saves as usual.
    std::filesystem::remove("results.txt");
    EXPECT_EQ(form_.Command1_Click(), RunOutcome::Completed);
    EXPECT_EQ(testing::read_file("results.txt").size(), 21u * (21u * 5u + 2u));
}

}  // namespace
}  // namespace heatplate
