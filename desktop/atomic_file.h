#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace heatplate {

// A file that replaces the one at its path whole or not at all. The bytes
// go to a temporary file beside the target; commit() writes out what is
// still buffered, flushes the file to the disk, renames it over the target
// and flushes the folder, so that a power cut leaves the old file or the
// new one. Every stage is checked: the first failure is kept, the temporary
// file removed and the target left exactly as it was. A file dropped
// without commit() leaves nothing behind.
//
// A link at the path is written through: the file it leads to is replaced.
class AtomicFile {
  public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file. Returns the message when the folder
    // cannot take it (missing, read-only, full).
    std::optional<std::string> open();
    // Appends bytes; they reach the file as the buffer fills.
    std::optional<std::string> write(std::string_view bytes);
    // Writes out what is buffered and flushes the file to the disk: it is
    // whole beside the target, ready to be put in place.
    std::optional<std::string> finish();
    // Renames the finished file over the target and flushes the folder.
    std::optional<std::string> put_in_place();
    // Both: the file in place of the target (see above).
    std::optional<std::string> commit();
    // Drops what was written; the target stays as it was.
    void abandon();

    // Ends the writing with a failure of the caller's own (an encoder's,
    // say): the message names the file and gives the reason.
    std::optional<std::string> fail(std::string_view reason);
    // The first failure so far.
    const std::optional<std::string>& error() const { return error_; }
    bool is_open() const { return fd_ >= 0; }

  private:
    std::optional<std::string> fail_errno(int error);
    std::optional<std::string> drain();

    std::string path_;    // as given
    std::string target_;  // where a link at the path leads
    std::string temp_;
    int fd_ = -1;
    std::string buffer_;
    std::optional<std::string> error_;
    bool finished_ = false;
    bool committed_ = false;
};

// Finishes every file, then puts them in place one after the other: when
// one cannot be finished, none is put in place and all are dropped, so a
// set of files that belong together is replaced whole or not at all.
// Returns the first failure.
std::optional<std::string> commit_together(std::span<AtomicFile* const> files);

// The whole file at once; returns the message naming the file and the
// reason when it could not be put in place.
std::optional<std::string> save_file_atomically(const std::string& path, std::string_view bytes);

}  // namespace heatplate
