// heatplate-batch: one CALCULATE run without a window.
#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QString>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "app/batch_controls.h"
#include "app/form1_core.h"
#include "heatplate/version.h"
#include "platform/locale_separators.h"
#include "platform/text_file.h"

namespace {

constexpr const char* kUsage =
    "usage: heatplate-batch [--nx TEXT] [--ny TEXT] [--tw1 TEXT] [--tw2 TEXT] [--tw3 TEXT]\n"
    "                       [--tw4 TEXT] [--tfield TEXT] [--maxtime TEXT] [--alfa TEXT]\n"
    "                       [--method explicit|adi] [--trace] [--images DIR] [--field FILE]\n"
    "       heatplate-batch --help | --version\n"
    "\n"
    "Runs one calculation as the window's CALCULATE button does and writes\n"
    "results.txt in the current directory. Each TEXT is read as the window reads\n"
    "what is typed into that box; a missing option takes the box's start text.\n"
    "\n"
    "  --trace        print '<step> <residual>' for every step\n"
    "  --images DIR   save the three pictures as DIR/map.png, DIR/view3d.png and\n"
    "                 DIR/residual.png\n"
    "  --field FILE   also write the final field at full precision to FILE, one\n"
    "                 grid row per line, for comparisons with other programs\n"
    "\n"
    "Exit status: 0 run completed, 1 run failed, 2 input refused or bad option.\n";

struct TextOption {
    const char* name;
    heatplate::TextBoxId box;
};

constexpr TextOption kTextOptions[] = {
    {"--nx", heatplate::TextBoxId::Text_Nx},
    {"--ny", heatplate::TextBoxId::Text_Ny},
    {"--tw1", heatplate::TextBoxId::Text_Tw1},
    {"--tw2", heatplate::TextBoxId::Text_Tw2},
    {"--tw3", heatplate::TextBoxId::Text_Tw3},
    {"--tw4", heatplate::TextBoxId::Text_Tw4},
    {"--tfield", heatplate::TextBoxId::Text_Tfield},
    {"--maxtime", heatplate::TextBoxId::Text_MaxTime},
    {"--alfa", heatplate::TextBoxId::Text_Alfa},
};

// Row j per line, i across, each value with the 17 digits that give it back.
std::string full_precision_field(const heatplate::SimulationState& s) {
    std::string out;
    char buf[32];
    for (int j = 0; j <= static_cast<int>(s.Ny); ++j) {
        for (int i = 0; i <= static_cast<int>(s.Nx); ++i) {
            // to_chars, unlike printf, ignores the locale's decimal comma.
            const auto res =
                std::to_chars(buf, buf + sizeof buf, s.T(i, j), std::chars_format::general, 17);
            if (i > 0)
                out += ' ';
            out.append(buf, res.ptr);
        }
        out += '\n';
    }
    return out;
}

int bad_option(const std::string& what) {
    std::fprintf(stderr, "heatplate-batch: %s\n%s", what.c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace heatplate;
    QCoreApplication app(argc, argv);  // sets the process locale from the environment

    BatchControls controls;
    bool trace = false;
    std::string images_dir;
    std::string field_file;

    for (int k = 1; k < argc; ++k) {
        const std::string_view arg = argv[k];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("heatplate-batch %s\n", kVersion);
            return 0;
        }
        if (arg == "--trace") {
            trace = true;
            continue;
        }
        if (k + 1 >= argc) {
            return bad_option("unknown option or missing value: " + std::string(arg));
        }
        const char* value = argv[k + 1];
        bool known = false;
        for (const TextOption& opt : kTextOptions) {
            if (arg == opt.name) {
                controls.set_input(opt.box, value);
                known = true;
            }
        }
        if (arg == "--method") {
            if (std::strcmp(value, "explicit") == 0) {
                controls.choose_method(OptionId::Option_Explicit);
            } else if (std::strcmp(value, "adi") == 0) {
                controls.choose_method(OptionId::Option_ADI);
            } else {
                return bad_option("--method takes explicit or adi, not " + std::string(value));
            }
            known = true;
        } else if (arg == "--images") {
            images_dir = value;
            known = true;
        } else if (arg == "--field") {
            field_file = value;
            known = true;
        }
        if (!known) {
            return bad_option("unknown option: " + std::string(arg));
        }
        ++k;
    }

    // The pictures are kept as the window keeps them, whether or not they are
    // saved: the map's fast path needs an image behind it, and costs less than
    // handing ten thousand rectangles a step to a box that draws nothing.
    BatchPictures pictures;
    pictures.attach(controls);
    if (!images_dir.empty()) {
        // Made before the run, so that a folder that cannot be written is
        // reported before the time is spent.
        if (!QDir().mkpath(QString::fromStdString(images_dir))) {
            return bad_option("cannot create the folder " + images_dir);
        }
    }

    controls.set_separators(separators_of(QLocale::system()));
    if (trace) {
        controls.set_trace(stdout);
    }

    Form1Core form(controls);
    const RunOutcome outcome = form.Command1_Click();
    // A run that stopped part way still shows how far it got.
    if (!images_dir.empty() && outcome != RunOutcome::Refused) {
        if (const auto error = pictures.save(form, images_dir)) {
            std::fprintf(stderr, "heatplate-batch: %s\n", error->c_str());
            return 1;
        }
    }
    switch (outcome) {
        case RunOutcome::Completed:
            break;
        case RunOutcome::Refused:
            return 2;
        default:
            return 1;
    }
    if (!field_file.empty()) {
        if (const auto error =
                save_file_atomically(field_file, full_precision_field(form.state()))) {
            std::fprintf(stderr, "heatplate-batch: %s\n", error->c_str());
            return 1;
        }
    }
    std::printf("t=%s\ndx=%s\ndy=%s\nresidual=%s\n", controls.text(TextBoxId::Text_iTime).c_str(),
                controls.text(TextBoxId::Text_dx).c_str(),
                controls.text(TextBoxId::Text_dy).c_str(),
                controls.text(TextBoxId::Text_RMS).c_str());
    return 0;
}
