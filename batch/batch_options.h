#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "run/controls.h"
#include "solvers/method.h"

namespace heatplate {

// What heatplate-batch was asked to do.
struct BatchOptions {
    // Texts for the input boxes, in the order given; a box not named keeps
    // its start text.
    std::vector<std::pair<TextBoxId, std::string>> inputs;
    Method method = Method::Explicit;
    bool trace = false;
    bool quiet = false;                       // no progress line on a terminal
    bool no_pictures = false;                 // the numbers alone, nothing drawn
    std::string images_dir;                   // empty: no pictures saved
    std::string svg_dir;                      // empty: no vector pictures saved
    std::string field_file;                   // empty: no full-precision field
    std::string residuals_file;               // empty: no residual history
    std::string animate_dir;                  // empty: no animation
    std::optional<std::int64_t> frame_every;  // --frame-every: steps between frames
    std::optional<int> frame_delay_ms;        // --frame-delay: milliseconds per frame
};

// The outcome of reading the command line: options to run with, a request
// for the usage text or the version, or the message for a command line that
// cannot be run.
struct BatchCommand {
    std::optional<BatchOptions> options;
    bool help = false;
    bool version = false;
    std::string error;
};

// Reads the arguments after the program's name the GNU way: "--name value"
// or "--name=value", a long name shortened as long as it stays unambiguous,
// options and values in any order, and "--" ending the options.
BatchCommand parse_batch_options(std::span<const char* const> args);

// Every long option the command line takes, "--nx" to "--version".
std::vector<std::string> batch_option_names();

// The usage text, ending in a line break.
extern const char* const kBatchUsage;

}  // namespace heatplate
