// The headless runner's command line, read without running anything.
#include <gtest/gtest.h>

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
    const BatchCommand c =
        parse({"--nx",     "7",         "--trace", "--ny",   "5x",    "--tw1",    "1",
               "--tw2",    "2",         "--tw3",   "3",      "--tw4", "4",        "--tfield",
               "-5",       "--maxtime", "2.5",     "--alfa", "45",    "--method", "adi",
               "--images", "pics",      "--field", "f.txt",  "--nx",  "8"});
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

    const BatchCommand plain = parse({"--method", "explicit"});
    ASSERT_TRUE(plain.options.has_value());
    EXPECT_EQ(plain.options->method, Method::Explicit);
    EXPECT_TRUE(plain.options->inputs.empty());
    EXPECT_FALSE(plain.options->trace);
    EXPECT_FALSE(plain.options->no_pictures);
    EXPECT_TRUE(parse({"--no-pictures"}).options->no_pictures);
    EXPECT_TRUE(parse({"--nx", "3", "--help"}).help);
    EXPECT_TRUE(parse({"--version", "--bogus"}).version);
}

TEST(BatchOptions, ACommandLineThatCannotRunSaysWhy) {
    const std::pair<std::vector<const char*>, const char*> cases[] = {
        {{"--bogus", "1"}, "unknown option: --bogus"},
        {{"--nx"}, "missing value: --nx"},
        {{"--method", "implicit"}, "--method takes explicit or adi, not implicit"},
        {{"--method", "ADI"}, "not ADI"},
        {{"nx", "3"}, "unknown option: nx"},
        {{"--images", "d", "--no-pictures"}, "--no-pictures draws no pictures for --images"},
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
