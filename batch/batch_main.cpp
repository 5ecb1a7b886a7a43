// heatplate-batch: one CALCULATE run without a window.
#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QString>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/form1_core.h"
#include "app/results_file.h"
#include "batch/batch_controls.h"
#include "batch/batch_options.h"
#include "heatplate/version.h"
#include "platform/locale_separators.h"
#include "platform/text_file.h"

namespace {

using namespace heatplate;

int bad_option(const std::string& what) {
    std::fprintf(stderr, "heatplate-batch: %s\n%s", what.c_str(), kBatchUsage);
    return 2;
}

int failed(const std::string& what) {
    std::fprintf(stderr, "heatplate-batch: %s\n", what.c_str());
    return 1;
}

void apply(const BatchOptions& options, BatchControls& controls) {
    for (const auto& [box, text] : options.inputs) {
        controls.set_input(box, text);
    }
    controls.choose_method(option_of(options.method));
    controls.set_separators(separators_of(QLocale::system()));
    if (options.trace) {
        controls.set_trace(stdout);
    }
}

// The exit status of a run, once its pictures (if asked for) are saved.
int finish(const BatchOptions& options, RunOutcome outcome, Form1Core& form,
           BatchPictures& pictures) {
    // A run that stopped part way still shows how far it got.
    if (!options.images_dir.empty() && outcome != RunOutcome::Refused) {
        if (const auto error = pictures.save(form, options.images_dir)) {
            return failed(*error);
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
    if (!options.field_file.empty()) {
        if (const auto error =
                save_file_atomically(options.field_file, full_precision_field(form.state()))) {
            return failed(*error);
        }
    }
    return 0;
}

int run(const BatchOptions& options) {
    BatchControls controls;
    apply(options, controls);
    // The pictures are kept as the window keeps them, whether or not they are
    // saved: their cost is part of what a run costs.
    BatchPictures pictures;
    if (!options.no_pictures) {
        pictures.attach(controls);
    }
    // Made before the run, so that a folder that cannot be written is
    // reported before the time is spent.
    if (!options.images_dir.empty() && !QDir().mkpath(QString::fromStdString(options.images_dir))) {
        return bad_option("cannot create the folder " + options.images_dir);
    }
    Form1Core form(controls);
    const int status = finish(options, form.Command1_Click(), form, pictures);
    if (status == 0) {
        std::printf(
            "t=%s\ndx=%s\ndy=%s\nresidual=%s\n", controls.text(TextBoxId::Text_iTime).c_str(),
            controls.text(TextBoxId::Text_dx).c_str(), controls.text(TextBoxId::Text_dy).c_str(),
            controls.text(TextBoxId::Text_RMS).c_str());
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    // Past a file-size limit a write should fail and be reported, as on a
    // full disk, rather than end the program with the results half written.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);  // sets the process locale from the environment

    const std::vector<const char*> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const BatchCommand command = parse_batch_options(args);
    if (command.help) {
        std::fputs(kBatchUsage, stdout);
        return 0;
    }
    if (command.version) {
        std::printf("heatplate-batch %s\n", kVersion);
        return 0;
    }
    if (!command.options) {
        return bad_option(command.error);
    }
    return run(*command.options);
}
