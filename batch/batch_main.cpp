// heatplate-batch: one CALCULATE run without a window.
#include <QCoreApplication>
#include <QLocale>

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "batch/batch_animation.h"
#include "batch/batch_controls.h"
#include "batch/batch_folders.h"
#include "batch/batch_options.h"
#include "batch/batch_progress.h"
#include "desktop/atomic_file.h"
#include "desktop/locale_separators.h"
#include "heatplate/version.h"
#include "numbers/number_parse.h"
#include "run/field_data.h"
#include "run/form1_core.h"
#include "run/results_file.h"

namespace {

using namespace heatplate;

// A command line that cannot be run: what is wrong with it, and where to
// look, rather than the whole usage text that would push the message away.
int bad_command_line(const std::string& what) {
    std::fprintf(stderr,
                 "heatplate-batch: %s\nTry 'heatplate-batch --help' for more information.\n",
                 what.c_str());
    return 2;
}

int refused(const std::string& what) {
    std::fprintf(stderr, "heatplate-batch: %s\n", what.c_str());
    return 2;
}

int failed(const std::string& what) {
    std::fprintf(stderr, "heatplate-batch: %s\n", what.c_str());
    return 1;
}

// The signal that interrupted the run, or 0.
volatile std::sig_atomic_t g_interrupted = 0;
// Whether a progress line may stand on the terminal.
volatile std::sig_atomic_t g_progress_on_terminal = 0;

void on_interrupt(int signal) {
    if (g_interrupted == 0) {
        g_interrupted = signal;
        return;
    }
    // A second interrupt ends the program at once, as the signal would
    // unhandled; the terminal's next line should not start after the
    // progress line.
    if (g_progress_on_terminal != 0 && ::write(STDERR_FILENO, "\r\033[K", 4) < 0) {
        g_progress_on_terminal = 0;
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Killed outright, a run would leave its unfinished files behind as
// temporary files, and the folders it made; interrupted, it ends after the
// current step and removes them.
void end_cleanly_when_interrupted(BatchControls& controls) {
    controls.set_stop_flag(&g_interrupted);
    std::signal(SIGINT, on_interrupt);
    std::signal(SIGTERM, on_interrupt);
}

int interrupted(const BatchControls& controls) {
    std::fprintf(stderr, "heatplate-batch: interrupted after step %s; nothing written\n",
                 controls.text(TextBoxId::Text_iTime).c_str());
    return 128 + g_interrupted;
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

// The steps the run will make, read as the run reads t Max.
std::int64_t planned_steps(const BatchControls& controls) {
    return steps_of(parse_leading_number(controls.text(TextBoxId::Text_MaxTime)));
}

// The progress line, for a person watching the terminal: not with --quiet,
// not when standard error goes elsewhere, and not when a trace fills the
// same terminal line by line.
std::unique_ptr<BatchProgress> progress_for(const BatchOptions& options,
                                            const BatchControls& controls) {
    if (options.quiet || ::isatty(STDERR_FILENO) == 0 ||
        (options.trace && ::isatty(STDOUT_FILENO) != 0)) {
        return nullptr;
    }
    g_progress_on_terminal = 1;
    return std::make_unique<BatchProgress>(stderr, planned_steps(controls));
}

// Whether the name ends in .csv, in capitals or not.
bool names_csv(std::string_view file) {
    constexpr std::string_view kCsv = ".csv";
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return file.size() >= kCsv.size() &&
           std::equal(kCsv.begin(), kCsv.end(), file.end() - kCsv.size(),
                      [&](char a, char b) { return a == lower(b); });
}

// The data files asked for, with what they hold.
std::vector<std::pair<std::string, std::string>> data_files(const BatchOptions& options,
                                                            const Form1Core& form) {
    std::vector<std::pair<std::string, std::string>> out;
    if (!options.field_file.empty()) {
        out.emplace_back(options.field_file, names_csv(options.field_file)
                                                 ? field_table(form.state(), ',')
                                                 : full_precision_field(form.state()));
    }
    if (!options.residuals_file.empty()) {
        out.emplace_back(options.residuals_file, residual_table(form.residuals(), ','));
    }
    return out;
}

// Writes beside their places the files a run leaves, in the order they
// will be put in place: the pictures and animations asked for (unless the
// results could not be kept: a run that stopped part way still shows how
// far it got), then results.txt and the data files after a completed run.
// Returns the first failure.
std::optional<std::string> stage_outputs(const BatchOptions& options, RunOutcome outcome,
                                         Form1Core& form, BatchControls& controls,
                                         BatchPictures& pictures, BatchAnimation* animation,
                                         std::vector<std::unique_ptr<AtomicFile>>& own,
                                         std::vector<AtomicFile*>& files) {
    std::size_t taken = 0;
    auto take_own = [&] {
        for (; taken < own.size(); ++taken) {
            files.push_back(own[taken].get());
        }
    };
    if (outcome != RunOutcome::NotSaved) {
        for (const auto& [dir, kind] : {std::pair{&options.images_dir, BatchPictures::Kind::Png},
                                        {&options.svg_dir, BatchPictures::Kind::Svg}}) {
            auto error = dir->empty() ? std::nullopt : pictures.stage(form, *dir, kind, own);
            take_own();
            if (error) {
                return error;
            }
        }
        if (animation != nullptr) {
            if (auto error = animation->end(files)) {
                return error;
            }
        }
    }
    if (outcome == RunOutcome::Completed) {
        files.push_back(controls.results_file());
        for (const auto& [path, bytes] : data_files(options, form)) {
            own.push_back(std::make_unique<AtomicFile>(path));
            take_own();
            if (auto error = files.back()->write(bytes)) {
                return error;
            }
        }
    }
    return std::nullopt;
}

// The exit status of a run, once its files are in place: all of them, or,
// after a failure or an interrupt, none.
int finish(const BatchOptions& options, RunOutcome outcome, Form1Core& form,
           BatchControls& controls, BatchPictures& pictures, BatchAnimation* animation) {
    if (outcome == RunOutcome::Refused) {
        return 2;
    }
    std::vector<std::unique_ptr<AtomicFile>> own;
    std::vector<AtomicFile*> files;
    auto error = stage_outputs(options, outcome, form, controls, pictures, animation, own, files);
    // An interrupt while the files were written still means: nothing written.
    const bool stopped = !error && g_interrupted != 0;
    if (!error && !stopped) {
        error = commit_together(files);
    }
    if (error || stopped) {
        for (AtomicFile* file : files) {
            file->abandon();
        }
        return stopped ? interrupted(controls) : failed(*error);
    }
    return outcome == RunOutcome::Completed ? 0 : 1;
}

// Begins the animation the options ask for, if any: its files are made
// before the run, so that a folder that cannot take them is reported before
// the time is spent. False, after the message, when they cannot be made.
bool begin_animation(const BatchOptions& options, const BatchControls& controls,
                     std::unique_ptr<BatchAnimation>& animation) {
    if (options.animate_dir.empty()) {
        return true;
    }
    animation = std::make_unique<BatchAnimation>(
        options.animate_dir,
        plan_frames(planned_steps(controls), options.frame_every, options.frame_delay_ms));
    if (const auto error = animation->open()) {
        refused(*error);
        return false;
    }
    return true;
}

// The run, with its files, pictures and animation, all gone by the time it
// returns, so that the folders it made are empty unless files were put there.
int run_in(const BatchOptions& options, BatchFolders& folders) {
    BatchControls controls;
    apply(options, controls);
    end_cleanly_when_interrupted(controls);
    // The pictures are kept as the window keeps them, whether or not they are
    // saved: their cost is part of what a run costs.
    BatchPictures pictures;
    if (!options.no_pictures) {
        pictures.attach(controls);
    }
    for (const std::string* dir : {&options.images_dir, &options.svg_dir, &options.animate_dir}) {
        if (auto error = dir->empty() ? std::nullopt : folders.make(*dir)) {
            return refused(*error);
        }
    }
    std::unique_ptr<BatchAnimation> animation;
    if (!begin_animation(options, controls, animation)) {
        return 2;
    }
    const auto progress = progress_for(options, controls);
    controls.set_progress(progress.get());
    Form1Core form(controls);
    if (animation) {
        animation->record(controls, form, pictures);
    }
    const RunOutcome outcome = form.Command1_Click();
    if (progress) {
        progress->clear();
    }
    if (outcome == RunOutcome::Abandoned) {
        return interrupted(controls);
    }
    const int status = finish(options, outcome, form, controls, pictures, animation.get());
    if (status == 0) {
        std::printf(
            "t=%s\ndx=%s\ndy=%s\nresidual=%s\n", controls.text(TextBoxId::Text_iTime).c_str(),
            controls.text(TextBoxId::Text_dx).c_str(), controls.text(TextBoxId::Text_dy).c_str(),
            controls.text(TextBoxId::Text_RMS).c_str());
    }
    return status;
}

int run(const BatchOptions& options) {
    BatchFolders folders;  // outlives the run's files: see run_in
    return run_in(options, folders);
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
        return bad_command_line(command.error);
    }
    return run(*command.options);
}
