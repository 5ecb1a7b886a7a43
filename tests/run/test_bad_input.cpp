// Whatever is typed into any input box, a run either goes ahead or is refused
// with a message: it never crashes, hangs, draws at a non-finite coordinate or
// writes a non-finite number.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "numbers/number_parse.h"
#include "run/form1_core.h"
#include "tests/support/fake_controls.h"
#include "tests/support/recording_box.h"
#include "tests/support/temp_dir.h"

namespace heatplate {
namespace {

using testing::FakeControls;

const std::vector<std::string>& bad_texts() {
    static const std::vector<std::string> texts = {
        "",
        "   ",
        "abc",
        "&H",
        "&HFFFFFFFFFFFFFFFFFF",
        "1e400",
        "-1e400",
        "1e-400",
        "nan",
        "inf",
        "0",
        "1",
        "-1",
        "2.5",
        "101",
        "102",
        "1e9",
        std::string(10000, '7'),
        "1\t0\n",
        "\xd9\xa3",           // ARABIC-INDIC DIGIT THREE
        "\xef\xbc\x95",       // FULLWIDTH DIGIT FIVE
        "\xc3\xa9t\xc3\xa9",  // letters outside ASCII
    };
    return texts;
}

enum class Expect { Runs, Refused };

struct Box {
    TextBoxId id;
    const char* name;
    // What a text parsed to value v should do in this box.
    Expect (*expect)(double v);
};

Expect extent(double v) {
    return v == static_cast<int>(v) && v >= 2 && v <= 101 ? Expect::Runs : Expect::Refused;
}
Expect temperature(double v) {
    return std::isfinite(v) ? Expect::Runs : Expect::Refused;
}
Expect steps(double v) {
    return std::isfinite(v) && v != 0 ? Expect::Runs : Expect::Refused;
}
Expect angle(double) {
    return Expect::Runs;
}

const Box kBoxes[] = {
    {TextBoxId::Text_Nx, "Nx", extent},
    {TextBoxId::Text_Ny, "Ny", extent},
    {TextBoxId::Text_Tw1, "Tw1", temperature},
    {TextBoxId::Text_Tw2, "Tw2", temperature},
    {TextBoxId::Text_Tw3, "Tw3", temperature},
    {TextBoxId::Text_Tw4, "Tw4", temperature},
    {TextBoxId::Text_Tfield, "Tfield", temperature},
    {TextBoxId::Text_MaxTime, "MaxTime", steps},
    {TextBoxId::Text_Alfa, "Alfa", angle},
};

std::vector<std::string> result_lines() {
    std::ifstream in("results.txt", std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

TEST(BadInput, EveryBoxEitherRunsOrRefusesWithAMessage) {
    testing::TempDir dir;
    testing::ScopedWorkingDir cwd(dir.path());
    for (const Box& box : kBoxes) {
        for (const std::string& text : bad_texts()) {
            SCOPED_TRACE(std::string(box.name) + " = \"" + text.substr(0, 40) + "\"");
            std::filesystem::remove("results.txt");
            FakeControls controls;
            testing::RecordingBox boxes[3];
            for (int k = 0; k < 3; ++k)
                controls.boxes[k] = &boxes[k];
            controls[TextBoxId::Text_Nx] = "6";
            controls[TextBoxId::Text_Ny] = "5";
            controls[TextBoxId::Text_MaxTime] = "4";
            controls[box.id] = text;
            // Stand in for the user's Escape on runs typed with a billion steps.
            controls.on_step = [](std::int64_t t) {
                return t >= 20 ? StepVerdict::StopAndSave : StepVerdict::Continue;
            };
            Form1Core form(controls);

            const double v = parse_leading_number(text);
            const RunOutcome outcome = form.Command1_Click();
            for (const auto& b : boxes) {
                for (const auto& call : b.calls) {
                    EXPECT_TRUE(std::isfinite(call.x1) && std::isfinite(call.y1) &&
                                std::isfinite(call.x2) && std::isfinite(call.y2));
                }
            }
            if (box.expect(v) == Expect::Refused) {
                EXPECT_EQ(outcome, RunOutcome::Refused);
                ASSERT_EQ(controls.messages.size(), 1u);
                EXPECT_FALSE(std::filesystem::exists("results.txt"));
                continue;
            }
            ASSERT_EQ(outcome, RunOutcome::Completed)
                << (controls.messages.empty() ? "" : controls.messages[0]);
            const auto lines = result_lines();
            ASSERT_EQ(lines.size(), static_cast<std::size_t>(form.state().Ny) + 1);
            for (const std::string& line : lines) {
                EXPECT_EQ(line.find_first_not_of(" 0123456789,-\r"), std::string::npos) << line;
            }
        }
    }
}

}  // namespace
}  // namespace heatplate
