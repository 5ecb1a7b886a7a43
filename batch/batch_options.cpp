#include "batch/batch_options.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <string_view>
#include <system_error>

namespace heatplate {

const char* const kBatchUsage =
    "usage: heatplate-batch [--nx TEXT] [--ny TEXT] [--tw1 TEXT] [--tw2 TEXT] [--tw3 TEXT]\n"
    "                       [--tw4 TEXT] [--tfield TEXT] [--maxtime TEXT] [--alfa TEXT]\n"
    "                       [--method explicit|adi] [--trace] [--field FILE]\n"
    "                       [--no-pictures | [--images DIR]\n"
    "                        [--animate DIR [--frame-every K] [--frame-delay MS]]]\n"
    "       heatplate-batch --help | --version\n"
    "\n"
    "Runs one calculation as the window's CALCULATE button does and writes\n"
    "results.txt in the current directory. Each TEXT is read as the window reads\n"
    "what is typed into that box; a missing option takes the box's start text.\n"
    "\n"
    "  --trace        print '<step> <residual>' for every step\n"
    "  --no-pictures  draw nothing: the same numbers, sooner\n"
    "  --images DIR   save the three pictures as DIR/map.png, DIR/view3d.png and\n"
    "                 DIR/residual.png\n"
    "  --animate DIR  record the run as looping animations of the three pictures:\n"
    "                 DIR/map.gif, DIR/view3d.gif and DIR/residual.gif\n"
    "  --frame-every K\n"
    "                 a frame after every K steps and after the last; by default\n"
    "                 the smallest K that makes at most 300 frames\n"
    "  --frame-delay MS\n"
    "                 show each frame for MS milliseconds, 0 to 655350, rounded to\n"
    "                 hundredths of a second; by default the run plays in about\n"
    "                 10 seconds\n"
    "  --field FILE   also write the final field at full precision to FILE, one\n"
    "                 grid row per line, for comparisons with other programs\n"
    "\n"
    "Exit status: 0 run completed, 1 run failed, 2 input refused or bad option,\n"
    "130 or 143 recording interrupted (nothing written).\n";

namespace {

struct TextOption {
    std::string_view name;
    TextBoxId box;
};

constexpr TextOption kTextOptions[] = {
    {"--nx", TextBoxId::Text_Nx},         {"--ny", TextBoxId::Text_Ny},
    {"--tw1", TextBoxId::Text_Tw1},       {"--tw2", TextBoxId::Text_Tw2},
    {"--tw3", TextBoxId::Text_Tw3},       {"--tw4", TextBoxId::Text_Tw4},
    {"--tfield", TextBoxId::Text_Tfield}, {"--maxtime", TextBoxId::Text_MaxTime},
    {"--alfa", TextBoxId::Text_Alfa},
};

BatchCommand failure(std::string message) {
    BatchCommand c;
    c.error = std::move(message);
    return c;
}

// The number the text is, in digits alone, if it lies from low to high.
std::optional<std::int64_t> whole_number(std::string_view text, std::int64_t low,
                                         std::int64_t high) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

// Takes an option of --animate; returns the message for a bad value.
std::optional<std::string> take_animation_value(std::string_view name, const char* value,
                                                BatchOptions& options, bool& known) {
    known = true;
    if (name == "--animate") {
        options.animate_dir = value;
    } else if (name == "--frame-every") {
        options.frame_every = whole_number(value, 1, std::numeric_limits<std::int64_t>::max());
        if (!options.frame_every) {
            return "--frame-every takes a whole number of steps from 1 up, not " +
                   std::string(value);
        }
    } else if (name == "--frame-delay") {
        // The longest delay a GIF frame holds: 65535 hundredths of a second.
        const auto ms = whole_number(value, 0, 655350);
        if (!ms) {
            return "--frame-delay takes a whole number of milliseconds from 0 to 655350, not " +
                   std::string(value);
        }
        options.frame_delay_ms = static_cast<int>(*ms);
    } else {
        known = false;
    }
    return std::nullopt;
}

// Takes an option that has a value; returns the message for a bad value.
std::optional<std::string> take_value(std::string_view name, const char* value,
                                      BatchOptions& options, bool& known) {
    known = true;
    for (const TextOption& opt : kTextOptions) {
        if (name == opt.name) {
            options.inputs.emplace_back(opt.box, value);
            return std::nullopt;
        }
    }
    if (name == "--method") {
        const MethodTraits* method = method_by_key(value);
        if (method == nullptr) {
            return "--method takes explicit or adi, not " + std::string(value);
        }
        options.method = method->method;
    } else if (name == "--images") {
        options.images_dir = value;
    } else if (name == "--field") {
        options.field_file = value;
    } else {
        return take_animation_value(name, value, options, known);
    }
    return std::nullopt;
}

}  // namespace

BatchCommand parse_batch_options(std::span<const char* const> args) {
    BatchOptions options;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string_view arg = args[k];
        if (arg == "--help" || arg == "-h" || arg == "--version") {
            BatchCommand c;
            c.help = arg != "--version";
            c.version = !c.help;
            return c;
        }
        if (arg == "--trace" || arg == "--no-pictures") {
            (arg == "--trace" ? options.trace : options.no_pictures) = true;
            continue;
        }
        if (k + 1 >= args.size()) {
            return failure("unknown option or missing value: " + std::string(arg));
        }
        bool known = false;
        if (auto bad = take_value(arg, args[k + 1], options, known)) {
            return failure(std::move(*bad));
        }
        if (!known) {
            return failure("unknown option: " + std::string(arg));
        }
        ++k;
    }
    if (options.no_pictures && !options.images_dir.empty()) {
        return failure("--no-pictures draws no pictures for --images to save");
    }
    if (options.no_pictures && !options.animate_dir.empty()) {
        return failure("--no-pictures draws no pictures for --animate to record");
    }
    if (options.animate_dir.empty() && (options.frame_every || options.frame_delay_ms)) {
        return failure("--frame-every and --frame-delay go with --animate");
    }
    BatchCommand c;
    c.options = std::move(options);
    return c;
}

}  // namespace heatplate
