// The headless runner's command line, read without running anything.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch/batch_options.h"

namespace heatplate {
namespace {

BatchCommand parse(std::vector<const char*> args) {
    return parse_batch_options(args);
}

TEST(BatchOptions, EveryOptionReachesItsBoxOrSetting) {
    // Both forms of a value, a shortened name, and "--" ending the options.
    const BatchCommand c = parse({"--nx",       "7",           "--trace",      "--ny",
                                  "5x",         "--tw1=1",     "--tw2",        "2",
                                  "--tw3",      "3",           "--tw4",        "4",
                                  "--tfield",   "-5",          "--maxt",       "2.5",
                                  "--alfa",     "45",          "--method=adi", "--images",
                                  "pics",       "--field",     "f.txt",        "--nx",
                                  "8",          "--animate",   "anim",         "--frame-every=12",
                                  "--frame-de", "125",         "--svg",        "vec",
                                  "--quiet",    "--residuals", "r.csv",        "--"});
    ASSERT_TRUE(c.options.has_value()) << c.error;
    const BatchOptions& o = *c.options;
    using P = std::pair<TextBoxId, std::string>;
    EXPECT_EQ(o.inputs, (std::vector<P>{{TextBoxId::Text_Nx, "7"},
                                        {TextBoxId::Text_Ny, "5x"},
                                        {TextBoxId::Text_Tw1, "1"},
                                        {TextBoxId::Text_Tw2, "2"},
                                        {TextBoxId::Text_Tw3, "3"},
                                        {TextBoxId::Text_Tw4, "4"},
                                        {TextBoxId::Text_Tfield, "-5"},
                                        {TextBoxId::Text_MaxTime, "2.5"},
                                        {TextBoxId::Text_Alfa, "45"},
                                        {TextBoxId::Text_Nx, "8"}}));
    EXPECT_EQ(o.method, Method::ADI);
    EXPECT_TRUE(o.trace);
    EXPECT_EQ(o.images_dir, "pics");
    EXPECT_EQ(o.field_file, "f.txt");
    EXPECT_EQ(o.animate_dir, "anim");
    EXPECT_EQ(o.frame_every, 12);
    EXPECT_EQ(o.frame_delay_ms, 125);
    EXPECT_EQ(o.svg_dir, "vec");
    EXPECT_EQ(o.residuals_file, "r.csv");
    EXPECT_TRUE(o.quiet);

    const BatchCommand plain = parse({"--method", "explicit"});
    ASSERT_TRUE(plain.options.has_value());
    EXPECT_EQ(plain.options->method, Method::Explicit);
    EXPECT_TRUE(plain.options->inputs.empty());
    EXPECT_FALSE(plain.options->trace);
    EXPECT_FALSE(plain.options->no_pictures);
    EXPECT_EQ(plain.options->animate_dir, "");
    EXPECT_EQ(plain.options->frame_every, std::nullopt);
    EXPECT_EQ(plain.options->frame_delay_ms, std::nullopt);
    const BatchCommand widest =
        parse({"--animate", "a", "--frame-every", "9223372036854775807", "--frame-delay", "0"});
    ASSERT_TRUE(widest.options.has_value()) << widest.error;
    EXPECT_EQ(widest.options->frame_every, INT64_MAX);
    EXPECT_EQ(widest.options->frame_delay_ms, 0);
    EXPECT_TRUE(parse({"--no-pictures"}).options->no_pictures);
    EXPECT_TRUE(parse({"--nx", "3", "--help"}).help);
    EXPECT_TRUE(parse({"--version", "--bogus"}).version);
}

TEST(BatchOptions, ACommandLineThatCannotRunSaysWhy) {
    const std::pair<std::vector<const char*>, const char*> cases[] = {
        {{"--bogus", "1"}, "unknown option '--bogus'"},
        {{"--bogus=1"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"--nx"}, "option '--nx' needs a value"},
        {{"--field="}, "option '--field' needs a value"},
        {{"--trace=yes"}, "option '--trace' takes no value"},
        {{"--tw", "1"}, "option '--tw' is ambiguous: --tw1, --tw2, --tw3, --tw4"},
        {{"--nx", "3", "--", "--ny", "4"}, "unexpected operand '--ny'"},
        {{"--svg", "d", "--no-pictures"}, "--no-pictures draws no pictures for --svg"},
        {{"--method", "implicit"}, "--method takes explicit or adi, not implicit"},
        {{"--method", "ADI"}, "not ADI"},
        {{"nx", "3"}, "unexpected operand 'nx'"},
        {{"--images", "d", "--no-pictures"}, "--no-pictures draws no pictures for --images"},
        {{"--no-pictures", "--animate", "d"}, "--no-pictures draws no pictures for --animate"},
        {{"--frame-every", "5"}, "--frame-every and --frame-delay go with --animate"},
        {{"--frame-delay", "5"}, "--frame-every and --frame-delay go with --animate"},
        {{"--animate", "d", "--frame-every", "0"}, "from 1 up, not 0"},
        {{"--animate", "d", "--frame-every", "5x"}, "not 5x"},
        {{"--animate", "d", "--frame-every", "+5"}, "not +5"},
        {{"--animate", "d", "--frame-every", "9223372036854775808"}, "not 9223372036854775808"},
        {{"--animate", "d", "--frame-delay", "655351"}, "from 0 to 655350, not 655351"},
        {{"--animate", "d", "--frame-delay", "-1"}, "not -1"},
        {{"--animate", "d", "--frame-delay", ""}, "milliseconds"},
    };
    for (const auto& [args, message] : cases) {
        const BatchCommand c = parse(args);
        EXPECT_FALSE(c.options.has_value()) << message;
        EXPECT_FALSE(c.help);
        EXPECT_NE(c.error.find(message), std::string::npos) << c.error;
    }
}

}  // namespace
}  // namespace heatplate
