#include "image/FileAccess.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace FileAccess {

namespace {

using Kind = DataFileError::Kind;

// Fills the reason (when one is asked for) and returns it for its details.
DataFileError* Reason(DataFileError* error, Kind kind, const std::string& path)
{
    static thread_local DataFileError unasked;
    DataFileError* reason = error != nullptr ? error : &unasked;
    *reason = DataFileError();
    reason->kind = kind;
    reason->path = path;
    return reason;
}

DataFileError::FileType TypeOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return DataFileError::FileType::Directory;
    if (S_ISFIFO(mode))
        return DataFileError::FileType::Fifo;
    if (S_ISCHR(mode))
        return DataFileError::FileType::CharacterDevice;
    if (S_ISBLK(mode))
        return DataFileError::FileType::BlockDevice;
    if (S_ISSOCK(mode))
        return DataFileError::FileType::Socket;
    return DataFileError::FileType::Other;
}

bool CannotOpen(DataFileError* error, const std::string& path, int code)
{
    if (code == ENOENT)
        Reason(error, Kind::NoSuchFile, path);
    else
        Reason(error, Kind::CannotOpen, path)->systemError = code;
    return false;
}

// Anything but a regular file is refused, a folder in words of its own.
bool Refused(DataFileError* error, const std::string& path, mode_t mode)
{
    if (S_ISDIR(mode))
        Reason(error, Kind::IsDirectory, path);
    else
        Reason(error, Kind::NotRegularFile, path)->type = TypeOf(mode);
    return false;
}

// Links followed one at a time, as the kernel does.
constexpr int kMaxLinks = 40;

} // namespace

bool ReadRegularFile(const std::string& path, std::size_t limit, Longer longer, std::vector<uint8_t>& bytes,
                     DataFileError* error)
{
    // Look before opening: opening a device can already act on it (a serial
    // line raises its control lines), and opening a FIFO waits for a writer.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return CannotOpen(error, path, errno);
    if (!S_ISREG(info.st_mode))
        return Refused(error, path, info.st_mode);

    // The name may have been given to something else since: the opened file
    // is looked at again, and opening never waits.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return CannotOpen(error, path, errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &info) != 0)
        return CannotOpen(error, path, errno);
    if (!S_ISREG(info.st_mode))
        return Refused(error, path, info.st_mode);
    if (longer == Longer::Refuse && info.st_size > 0 && static_cast<uintmax_t>(info.st_size) > limit) {
        Reason(error, Kind::TooLarge, path)->count = static_cast<std::int64_t>(limit);
        return false;
    }

    // One byte past the limit tells a file that grew, or one whose size the
    // system does not know in advance, from one that fits.
    const std::size_t wanted = longer == Longer::Refuse ? limit + 1 : limit;
    std::vector<uint8_t> buffer(wanted);
    std::size_t got = 0;
    while (got < wanted) {
        const ssize_t n = ::read(fd, buffer.data() + got, wanted - got);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            DataFileError* reason = Reason(error, Kind::ReadFailed, path);
            reason->count = static_cast<std::int64_t>(got);
            reason->systemError = errno;
            reason->detail = SystemErrorText(errno) + " after " + std::to_string(got) + " bytes of " + path;
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    if (longer == Longer::Refuse && got > limit) {
        Reason(error, Kind::TooLarge, path)->count = static_cast<std::int64_t>(limit);
        return false;
    }
    buffer.resize(got);
    bytes.swap(buffer);
    return true;
}

std::string SaveTarget(const std::string& path, DataFileError* error)
{
    if (path.empty()) {
        Reason(error, Kind::NoFileName, path);
        return {};
    }
    fs::path target(path);
    struct stat info {};
    bool exists = false;
    for (int links = 0;; ++links) {
        if (::lstat(target.c_str(), &info) != 0) {
            const int code = errno;
            // Not there yet: it is created (the folder is checked when the
            // file is made in it).
            if (code == ENOENT)
                break;
            Reason(error, Kind::CannotWrite, target.string())->systemError = code;
            return {};
        }
        if (!S_ISLNK(info.st_mode)) {
            exists = true;
            break;
        }
        if (links == kMaxLinks) {
            Reason(error, Kind::CannotFollowLink, path)->systemError = ELOOP;
            return {};
        }
        std::error_code ec;
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) {
            DataFileError* reason = Reason(error, Kind::CannotFollowLink, target.string());
            reason->systemError = ec.value();
            reason->detail = ec.message();
            return {};
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    if (exists) {
        // lstat has not followed the folders of the path; stat does.
        if (::stat(target.c_str(), &info) != 0) {
            Reason(error, Kind::CannotWrite, target.string())->systemError = errno;
            return {};
        }
        if (S_ISDIR(info.st_mode)) {
            Reason(error, Kind::TargetIsDirectory, target.string());
            return {};
        }
        if (!S_ISREG(info.st_mode)) {
            Reason(error, Kind::TargetNotRegularFile, target.string())->type = TypeOf(info.st_mode);
            return {};
        }
        // Replacing needs only the folder's permission; the file's own
        // decides, as it does for a file written in place. A file nobody may
        // write was made read-only on purpose: root, who could write it
        // anyway, leaves it alone too.
        if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            Reason(error, Kind::TargetReadOnly, target.string());
            return {};
        }
        if (::access(target.c_str(), W_OK) != 0) {
            Reason(error, Kind::CannotWrite, target.string())->systemError = errno;
            return {};
        }
    }
    return target.string();
}

} // namespace FileAccess
