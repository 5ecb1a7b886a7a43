#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace heatplate::testing {

// heatplate-batch run as a process: its exit status and standard output.
struct Process {
    int status;
    std::string out;
};

// Runs the command through the shell, standard error going to the file
// named (stderr.txt in the working directory unless told).
inline Process run_command(const std::string& command, const std::string& errors = "stderr.txt") {
    Process p{-1, {}};
    if (FILE* pipe = ::popen((command + " 2>" + errors).c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
            p.out.append(buf, n);
        const int raw = ::pclose(pipe);
        p.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    return p;
}

// Runs the program built beside the tests (HEATPLATE_BATCH) with the
// arguments through the shell, after the prefix (environment settings, a
// ulimit, another user); standard error goes to stderr.txt in the working
// directory, or to the file named.
inline Process run_batch_as(const std::string& prefix, const std::string& args,
                            const std::string& errors = "stderr.txt") {
    return run_command(prefix + " " + HEATPLATE_BATCH + " " + args, errors);
}

inline Process run_batch(const std::string& args) {
    return run_batch_as("", args);
}

}  // namespace heatplate::testing
