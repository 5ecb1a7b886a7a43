#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace heatplate {

// The folders a run writes its pictures and animations into. A missing one
// is made before the run, so that a folder that cannot be made is reported
// before the time is spent; whatever this run made and left empty (a run
// refused, interrupted or failed) is removed again when the object goes. A
// folder that was there before is never removed, nor one with files in it.
class BatchFolders {
  public:
    BatchFolders() = default;
    ~BatchFolders();
    BatchFolders(const BatchFolders&) = delete;
    BatchFolders& operator=(const BatchFolders&) = delete;

    // Makes the folder and any missing folder above it; returns the message
    // when it cannot, or when a file of that name is in the way.
    std::optional<std::string> make(const std::string& dir);

  private:
    std::vector<std::filesystem::path> made_;  // in the order made: parents first
};

}  // namespace heatplate
