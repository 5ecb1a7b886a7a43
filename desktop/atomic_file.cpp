#include "desktop/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <utility>

namespace heatplate {
namespace {

namespace fs = std::filesystem;

// Bytes gathered before they go to the file: an encoder hands over a few
// hundred at a time.
constexpr std::size_t kBufferSize = std::size_t{1} << 16;

// Where a chain of links at path ends, or path itself.
std::string link_target(const std::string& path) {
    fs::path p(path);
    std::error_code ec;
    for (int depth = 0; depth < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++depth) {
        const fs::path to = fs::read_symlink(p, ec);
        if (ec) {
            break;
        }
        p = to.is_absolute() ? to : p.parent_path() / to;
    }
    return p.string();
}

std::string absolute(const std::string& path) {
    std::error_code ec;
    const fs::path p = fs::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

std::string folder_of(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// A name beside the target that nobody else uses, hidden from a listing.
std::string temporary_name(const std::string& target) {
    static std::mt19937_64 random{std::random_device{}()};
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::uint64_t bits = random();
    std::string suffix;
    for (int k = 0; k < 8; ++k, bits /= 36) {
        suffix += kDigits[bits % 36];
    }
    const fs::path p(target);
    return (p.parent_path() / ("." + p.filename().string() + "." + suffix)).string();
}

// fsync, again when a signal cut it short.
int sync_file(int fd) {
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    return rc;
}

}  // namespace

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)), target_(link_target(path_)) {}

AtomicFile::~AtomicFile() {
    abandon();
}

std::optional<std::string> AtomicFile::fail(std::string_view reason) {
    if (!error_) {
        // A link is written through; name where it leads, or the reason
        // (a missing folder, say) would seem to contradict the name.
        std::string via;
        if (target_ != path_) {
            via = " (a link to " + absolute(target_) + ")";
        }
        error_ = "Could not write " + absolute(path_) + via + ": " + std::string(reason);
    }
    abandon();
    return error_;
}

std::optional<std::string> AtomicFile::fail_errno(int error) {
    return fail(std::strerror(error));
}

void AtomicFile::abandon() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
    buffer_.clear();
}

std::optional<std::string> AtomicFile::open() {
    if (error_ || fd_ >= 0) {
        return error_;
    }
    if (committed_ || finished_) {
        return fail("the file has already been written");
    }
    struct stat old {};
    const bool exists = ::stat(target_.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        return fail("a directory of that name is in the way");
    }
    // Never written in place: a failure part way would leave the file cut short.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        const std::string name = temporary_name(target_);
        fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temp_ = name;
        } else if (errno != EEXIST) {
            return fail_errno(errno);
        }
    }
    if (fd_ < 0) {
        return fail_errno(EEXIST);
    }
    if (exists) {
        // The new file keeps the old one's permissions; a failure leaves the default.
        ::fchmod(fd_, old.st_mode & 07777);
    }
    buffer_.reserve(kBufferSize);
    return std::nullopt;
}

std::optional<std::string> AtomicFile::drain() {
    const char* p = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail_errno(errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    buffer_.clear();
    return std::nullopt;
}

std::optional<std::string> AtomicFile::write(std::string_view bytes) {
    if (auto error = open()) {
        return error;
    }
    buffer_.append(bytes);
    if (buffer_.size() >= kBufferSize) {
        return drain();
    }
    return std::nullopt;
}

std::optional<std::string> AtomicFile::finish() {
    if (finished_) {
        return error_;
    }
    if (auto error = open()) {
        return error;
    }
    if (auto error = drain()) {
        return error;
    }
    if (sync_file(fd_) != 0) {
        return fail_errno(errno);
    }
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0 && errno != EINTR) {
        return fail_errno(errno);
    }
    finished_ = true;
    return std::nullopt;
}

std::optional<std::string> AtomicFile::put_in_place() {
    if (committed_) {
        return error_;
    }
    if (auto error = finish()) {
        return error;
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        return fail_errno(errno);
    }
    temp_.clear();
    committed_ = true;
    // The rename itself reaches the disk with the folder. Some file systems
    // cannot flush a folder (EINVAL); the file is in place all the same.
    const int dir = ::open(folder_of(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        const int rc = sync_file(dir);
        const int error = errno;
        ::close(dir);
        if (rc != 0 && error != EINVAL) {
            error_ = "Could not write " + absolute(path_) + ": " + std::strerror(error);
            return error_;
        }
    }
    return std::nullopt;
}

std::optional<std::string> AtomicFile::commit() {
    return put_in_place();
}

std::optional<std::string> commit_together(std::span<AtomicFile* const> files) {
    std::optional<std::string> error;
    for (AtomicFile* file : files) {
        if (!error) {
            error = file->finish();
        }
    }
    for (AtomicFile* file : files) {
        if (error) {
            file->abandon();
        } else {
            error = file->put_in_place();
        }
    }
    return error;
}

std::optional<std::string> save_file_atomically(const std::string& path, std::string_view bytes) {
    AtomicFile file(path);
    if (auto error = file.write(bytes)) {
        return error;
    }
    return file.commit();
}

}  // namespace heatplate
