#include "batch/batch_options.h"

#include <getopt.h>

#include <charconv>
#include <cstdint>
#include <limits>
#include <string_view>
#include <system_error>

namespace heatplate {

const char* const kBatchUsage =
    "usage: heatplate-batch [--nx TEXT] [--ny TEXT] [--tw1 TEXT] [--tw2 TEXT]\n"
    "                       [--tw3 TEXT] [--tw4 TEXT] [--tfield TEXT]\n"
    "                       [--maxtime TEXT] [--alfa TEXT] [--method explicit|adi]\n"
    "                       [--trace] [--quiet] [--field FILE] [--residuals FILE]\n"
    "                       [--no-pictures | [--images DIR] [--svg DIR]\n"
    "                        [--animate DIR [--frame-every K] [--frame-delay MS]]]\n"
    "       heatplate-batch --help | --version\n"
    "\n"
    "Runs one calculation as the window's CALCULATE button does and writes\n"
    "results.txt in the current directory. Each TEXT is read as the window reads\n"
    "what is typed into that box; a missing option takes the box's start text.\n"
    "A value follows its option as the next argument or after '=' (--nx=50);\n"
    "'--' ends the options.\n"
    "\n"
    "  --method M        explicit (the default) or adi\n"
    "  --trace           print '<step> <residual>' for every step\n"
    "  --quiet           no progress line: on a terminal, a run past a second\n"
    "                    shows its step, share done, speed and time left\n"
    "  --field FILE      also write the final field: as CSV (x,y,T, a row per\n"
    "                    node) when FILE ends in .csv, otherwise 17 digits a\n"
    "                    value, one grid row per line\n"
    "  --residuals FILE  also write the residual of every step as CSV\n"
    "                    (step,residual)\n"
    "  --no-pictures     draw nothing: the same numbers, sooner\n"
    "  --images DIR      save the three pictures as DIR/map.png, DIR/view3d.png\n"
    "                    and DIR/residual.png\n"
    "  --svg DIR         save them as vector pictures: DIR/map.svg,\n"
    "                    DIR/view3d.svg and DIR/residual.svg\n"
    "  --animate DIR     record the run as looping animations of the three\n"
    "                    pictures: DIR/map.gif, DIR/view3d.gif, DIR/residual.gif\n"
    "  --frame-every K   a frame after every K steps and after the last; by\n"
    "                    default the smallest K that makes at most 300 frames\n"
    "  --frame-delay MS  show each frame for MS milliseconds, 0 to 655350,\n"
    "                    rounded to hundredths of a second; by default the run\n"
    "                    plays in about 10 seconds\n"
    "  -h, --help        show this text\n"
    "  --version         show the version\n"
    "\n"
    "Numbers in the CSV files are in their shortest exact form with a point.\n"
    "A missing folder is made; a run that writes nothing leaves none behind.\n"
    "\n"
    "Exit status: 0 run completed, 1 run failed, 2 input refused or bad option,\n"
    "128 + the signal's number when interrupted (130 for Ctrl-C; nothing written).\n";

namespace {

// What getopt_long returns for each option: the text boxes from kText on.
enum Code : int {
    kHelp = 'h',
    kVersion = 256,
    kTrace,
    kQuiet,
    kNoPictures,
    kMethod,
    kImages,
    kSvg,
    kField,
    kResiduals,
    kAnimate,
    kFrameEvery,
    kFrameDelay,
    kText = 512,
};

constexpr int text_code(TextBoxId box) {
    return kText + static_cast<int>(box);
}

constexpr option kOptions[] = {
    {"nx", required_argument, nullptr, text_code(TextBoxId::Text_Nx)},
    {"ny", required_argument, nullptr, text_code(TextBoxId::Text_Ny)},
    {"tw1", required_argument, nullptr, text_code(TextBoxId::Text_Tw1)},
    {"tw2", required_argument, nullptr, text_code(TextBoxId::Text_Tw2)},
    {"tw3", required_argument, nullptr, text_code(TextBoxId::Text_Tw3)},
    {"tw4", required_argument, nullptr, text_code(TextBoxId::Text_Tw4)},
    {"tfield", required_argument, nullptr, text_code(TextBoxId::Text_Tfield)},
    {"maxtime", required_argument, nullptr, text_code(TextBoxId::Text_MaxTime)},
    {"alfa", required_argument, nullptr, text_code(TextBoxId::Text_Alfa)},
    {"method", required_argument, nullptr, kMethod},
    {"trace", no_argument, nullptr, kTrace},
    {"quiet", no_argument, nullptr, kQuiet},
    {"field", required_argument, nullptr, kField},
    {"residuals", required_argument, nullptr, kResiduals},
    {"no-pictures", no_argument, nullptr, kNoPictures},
    {"images", required_argument, nullptr, kImages},
    {"svg", required_argument, nullptr, kSvg},
    {"animate", required_argument, nullptr, kAnimate},
    {"frame-every", required_argument, nullptr, kFrameEvery},
    {"frame-delay", required_argument, nullptr, kFrameDelay},
    {"help", no_argument, nullptr, kHelp},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

std::string name_of(int code) {
    for (const option& o : kOptions) {
        if (o.name != nullptr && o.val == code) {
            return std::string("--") + o.name;
        }
    }
    return std::string("-") + static_cast<char>(code);
}

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

// The string an option that names a file or a folder fills in.
std::string* path_of(int code, BatchOptions& options) {
    switch (code) {
        case kImages:
            return &options.images_dir;
        case kSvg:
            return &options.svg_dir;
        case kField:
            return &options.field_file;
        case kResiduals:
            return &options.residuals_file;
        case kAnimate:
            return &options.animate_dir;
        default:
            return nullptr;
    }
}

// Takes the value of an option that has one; returns the message for a bad value.
std::optional<std::string> take_value(int code, const char* value, BatchOptions& options) {
    if (code >= kText) {
        options.inputs.emplace_back(static_cast<TextBoxId>(code - kText), value);
    } else if (std::string* path = path_of(code, options)) {
        // An empty name would quietly write nothing.
        if (*value == '\0') {
            return "option '" + name_of(code) + "' needs a value";
        }
        *path = value;
    } else if (code == kMethod) {
        const MethodTraits* method = method_by_key(value);
        if (method == nullptr) {
            return "--method takes explicit or adi, not " + std::string(value);
        }
        options.method = method->method;
    } else if (code == kFrameEvery) {
        options.frame_every = whole_number(value, 1, std::numeric_limits<std::int64_t>::max());
        if (!options.frame_every) {
            return "--frame-every takes a whole number of steps from 1 up, not " +
                   std::string(value);
        }
    } else {
        // The longest delay a GIF frame holds: 65535 hundredths of a second.
        const auto ms = whole_number(value, 0, 655350);
        if (!ms) {
            return "--frame-delay takes a whole number of milliseconds from 0 to 655350, not " +
                   std::string(value);
        }
        options.frame_delay_ms = static_cast<int>(*ms);
    }
    return std::nullopt;
}

// The message for what getopt_long could not take: `code` is what it
// returned, `arg` the argument it was reading. It names the option in
// optopt, or, for a long name it did not know, none.
std::string getopt_failure(int code, std::string_view arg) {
    if (code == ':') {
        return "option '" + name_of(optopt) + "' needs a value";
    }
    if (optopt == kHelp || optopt >= kVersion) {
        return "option '" + name_of(optopt) + "' takes no value";
    }
    if (optopt != 0) {
        return std::string("unknown option '-") + static_cast<char>(optopt) + "'";
    }
    // A long name that is unknown, or the start of several.
    const std::string_view name = arg.substr(2, arg.find('=') - 2);
    std::string candidates;
    for (const option& o : kOptions) {
        if (o.name != nullptr && std::string_view(o.name).starts_with(name)) {
            candidates += (candidates.empty() ? "" : ", ") + std::string("--") + o.name;
        }
    }
    if (candidates.find(',') != std::string::npos) {
        return "option '--" + std::string(name) + "' is ambiguous: " + candidates;
    }
    return "unknown option '" + std::string(arg.substr(0, arg.find('='))) + "'";
}

// The message for options that cannot go together, if any.
std::optional<std::string> conflict(const BatchOptions& options) {
    const std::pair<const std::string*, const char*> drawn[] = {
        {&options.images_dir, "--no-pictures draws no pictures for --images to save"},
        {&options.svg_dir, "--no-pictures draws no pictures for --svg to save"},
        {&options.animate_dir, "--no-pictures draws no pictures for --animate to record"},
    };
    for (const auto& [dir, message] : drawn) {
        if (options.no_pictures && !dir->empty()) {
            return message;
        }
    }
    if (options.animate_dir.empty() && (options.frame_every || options.frame_delay_ms)) {
        return "--frame-every and --frame-delay go with --animate";
    }
    return std::nullopt;
}

}  // namespace

BatchCommand parse_batch_options(std::span<const char* const> args) {
    // getopt_long reorders the pointers, never the texts they point to.
    std::vector<char*> argv{const_cast<char*>("heatplate-batch")};
    for (const char* arg : args) {
        argv.push_back(const_cast<char*>(arg));
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(args.size() + 1);
    optind = 0;  // starts getopt_long afresh for each command line
    BatchOptions options;
    // ':' first: getopt_long prints no message of its own (the messages
    // are ours) and tells a missing value (':') from an unknown option ('?').
    for (int code; (code = getopt_long(argc, argv.data(), ":h", kOptions, nullptr)) != -1;) {
        if (code == kHelp || code == kVersion) {
            BatchCommand c;
            c.help = code == kHelp;
            c.version = !c.help;
            return c;
        }
        if (code == '?' || code == ':') {
            return failure(getopt_failure(code, argv[optind - 1]));
        }
        if (code == kTrace || code == kQuiet || code == kNoPictures) {
            (code == kTrace   ? options.trace
             : code == kQuiet ? options.quiet
                              : options.no_pictures) = true;
        } else if (auto bad = take_value(code, optarg, options)) {
            return failure(std::move(*bad));
        }
    }
    if (optind < argc) {
        return failure("unexpected operand '" + std::string(argv[optind]) +
                       "': heatplate-batch takes options only");
    }
    if (auto bad = conflict(options)) {
        return failure(std::move(*bad));
    }
    BatchCommand c;
    c.options = std::move(options);
    return c;
}

std::vector<std::string> batch_option_names() {
    std::vector<std::string> names;
    for (const option& o : kOptions) {
        if (o.name != nullptr) {
            names.push_back(std::string("--") + o.name);
        }
    }
    return names;
}

}  // namespace heatplate
