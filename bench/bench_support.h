#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace heatplate::bench {

// Runs write results.txt (and animations) into the working directory: the
// benchmarks work in a folder of their own, made at the first call and
// removed at exit.
inline void work_in_temp_dir() {
    struct TempWorkDir {
        TempWorkDir() {
            std::string pattern =
                (std::filesystem::temp_directory_path() / "heatplate-bench-XXXXXX").string();
            if (::mkdtemp(pattern.data()) != nullptr) {
                path = pattern;
                std::filesystem::current_path(path);
            }
        }
        ~TempWorkDir() {
            std::error_code ec;
            if (!path.empty()) {
                std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
                std::filesystem::remove_all(path, ec);
            }
        }
        std::filesystem::path path;
    };
    static TempWorkDir dir;
}

}  // namespace heatplate::bench
