#pragma once

#include "tests/support/temp_dir.h"

namespace heatplate::bench {

// Runs write results.txt (and animations) into the working directory: the
// benchmarks work in a folder of their own, made at the first call and
// removed at exit.
inline void work_in_temp_dir() {
    static const testing::TempDir dir;
    static const testing::ScopedWorkingDir in(dir.path());
}

}  // namespace heatplate::bench
