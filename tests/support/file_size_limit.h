#pragma once

#include <sys/resource.h>

#include <csignal>

#include <gtest/gtest.h>

namespace heatplate::testing {

// What write returns, written under a file-size limit of some KiB, which
// makes a longer write fail part way, as a full disk would.
template <typename Write>
auto under_a_small_file_size_limit(Write write, rlim_t limit = 4096) {
    rlimit saved{};
    EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = limit;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    auto result = write();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    return result;
}

}  // namespace heatplate::testing
