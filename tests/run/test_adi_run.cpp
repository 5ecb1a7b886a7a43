// A whole CALCULATE run with the ADI option on the 4 x 4 plate solved by
// hand: after the column sweep 16800/289, 12400/289 and 6400/289.
#include <gtest/gtest.h>

#include <string>

#include "run/form1_core.h"
#include "tests/support/fake_controls.h"
#include "tests/support/temp_dir.h"

namespace heatplate {
namespace {

TEST(AdiRun, OneStepOnFourByFourWritesTheHandSolvedField) {
    testing::TempDir dir;
    testing::ScopedWorkingDir cwd(dir.path());
    testing::FakeControls controls;
    controls.explicit_selected = false;
    controls.adi_selected = true;
    controls[TextBoxId::Text_Nx] = "4";
    controls[TextBoxId::Text_Ny] = "4";
    controls[TextBoxId::Text_MaxTime] = "1";
    controls[TextBoxId::Text_dx] = "0.3";
    controls[TextBoxId::Text_dy] = "0.7";
    Form1Core form(controls);
    ASSERT_EQ(form.Command1_Click(), RunOutcome::Completed);

    EXPECT_EQ(testing::read_file(kResultsFile),
              "  100  100  100  100  100\r\n"
              "  100  058  043  058  100\r\n"
              "  100  043  022  043  100\r\n"
              "  100  058  043  058  100\r\n"
              "  100  100  100  100  100\r\n");

    // Only the column sweep's change counts: sqrt(291340000 / 289^2) / 9.
    EXPECT_EQ(controls[TextBoxId::Text_RMS], "6.56235478");
    EXPECT_TRUE(controls.messages.empty());
}

}  // namespace
}  // namespace heatplate
