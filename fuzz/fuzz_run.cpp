// A whole small run from eight fuzzed input texts. A refused run changes
// nothing; a completed run leaves a results file of Ny + 1 lines of Nx + 1
// finite whole numbers; no run crashes or reads outside the arrays.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "numbers/number_parse.h"
#include "run/form1_core.h"
#include "tests/support/fake_controls.h"
#include "tests/support/temp_dir.h"

namespace {

using heatplate::Form1Core;
using heatplate::RunOutcome;
using heatplate::TextBoxId;

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

constexpr TextBoxId kInputs[] = {
    TextBoxId::Text_Nx,  TextBoxId::Text_Ny,  TextBoxId::Text_Tw1,    TextBoxId::Text_Tw2,
    TextBoxId::Text_Tw3, TextBoxId::Text_Tw4, TextBoxId::Text_Tfield, TextBoxId::Text_MaxTime,
};

std::vector<std::string> split_texts(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> texts(1);
    for (std::size_t k = 0; k < size; ++k) {
        if (data[k] == 0) {
            texts.emplace_back();
        } else {
            texts.back() += static_cast<char>(data[k]);
        }
    }
    texts.resize(8);
    return texts;
}

// Ny + 1 CRLF lines of Nx + 1 whole numbers each.
void check_results_file(int nx, int ny) {
    std::istringstream lines(heatplate::testing::read_file("results.txt"));
    std::string line;
    int rows = 0;
    while (std::getline(lines, line)) {
        check(!line.empty() && line.back() == '\r');
        std::istringstream fields(line);
        std::string field;
        int count = 0;
        while (fields >> field) {
            std::string digits;
            for (char c : field) {
                if (c != ',')
                    digits += c;
            }
            check(std::isfinite(heatplate::parse_leading_number(digits)));
            check(digits.find_first_not_of("-0123456789") == std::string::npos);
            ++count;
        }
        check(count == nx + 1);
        ++rows;
    }
    check(rows == ny + 1);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Every run writes results.txt into the working directory.
    char dir[] = "/tmp/heatplate-fuzz-XXXXXX";
    if (::mkdtemp(dir) == nullptr || ::chdir(dir) != 0) {
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    // First byte: the method; the rest: the eight texts separated by NUL bytes.
    const bool adi = (data[0] & 1) != 0;
    const std::vector<std::string> texts = split_texts(data + 1, size - 1);

    // Keep the runs small: a few steps on at most 10 x 10 intervals.
    const double nx = heatplate::parse_leading_number(texts[0]);
    const double ny = heatplate::parse_leading_number(texts[1]);
    const double max_time = heatplate::parse_leading_number(texts[7]);
    if (nx > 10 || ny > 10 || max_time > 8) {
        return 0;
    }

    heatplate::testing::FakeControls controls;
    controls.explicit_selected = !adi;
    controls.adi_selected = adi;
    for (int k = 0; k < 8; ++k) {
        controls[kInputs[k]] = texts[static_cast<std::size_t>(k)];
    }
    std::filesystem::remove("results.txt");
    Form1Core form(controls);
    const heatplate::SimulationState before = form.state();

    const RunOutcome outcome = form.Command1_Click();
    if (outcome == RunOutcome::Refused) {
        check(form.state() == before);
        check(!std::filesystem::exists("results.txt"));
        return 0;
    }
    if (outcome != RunOutcome::Completed) {
        check(outcome == RunOutcome::Diverged);
        check(!std::filesystem::exists("results.txt"));
        return 0;
    }
    check_results_file(static_cast<int>(nx), static_cast<int>(ny));
    return 0;
}
