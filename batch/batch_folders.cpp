#include "batch/batch_folders.h"

#include <system_error>

namespace heatplate {

namespace fs = std::filesystem;

BatchFolders::~BatchFolders() {
    for (auto folder = made_.rbegin(); folder != made_.rend(); ++folder) {
        std::error_code ec;
        // remove() fails on a folder that has files in it, which stays.
        if (fs::is_directory(fs::symlink_status(*folder, ec))) {
            fs::remove(*folder, ec);
        }
    }
}

std::optional<std::string> BatchFolders::make(const std::string& dir) {
    fs::path so_far;
    for (const fs::path& part : fs::path(dir)) {
        so_far /= part;
        std::error_code ec;
        if (part.empty() || fs::exists(fs::symlink_status(so_far, ec))) {
            continue;
        }
        if (!fs::create_directory(so_far, ec) && ec) {
            return "cannot make the folder " + so_far.string() + ": " + ec.message();
        }
        made_.push_back(so_far);
    }
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        return "cannot use " + dir + " as a folder: " +
               (ec ? ec.message() : std::string("a file of that name is in the way"));
    }
    return std::nullopt;
}

}  // namespace heatplate
