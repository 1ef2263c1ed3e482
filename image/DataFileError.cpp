#include "image/DataFileError.h"

#include <system_error>

std::string SystemErrorText(int error) { return std::generic_category().message(error); }

std::string FileTypeText(DataFileError::FileType type)
{
    switch (type) {
    case DataFileError::FileType::Directory:
        return "a directory";
    case DataFileError::FileType::Fifo:
        return "a FIFO";
    case DataFileError::FileType::CharacterDevice:
        return "a character device";
    case DataFileError::FileType::BlockDevice:
        return "a block device";
    case DataFileError::FileType::Socket:
        return "a socket";
    case DataFileError::FileType::Other:
        break;
    }
    return "a special file";
}

namespace {

std::string SizeText(std::int64_t bytes)
{
    constexpr std::int64_t kKiB = 1024, kMiB = 1024 * 1024;
    if (bytes >= kMiB && bytes % kMiB == 0)
        return std::to_string(bytes / kMiB) + " MiB";
    if (bytes >= kKiB && bytes % kKiB == 0)
        return std::to_string(bytes / kKiB) + " KiB";
    return std::to_string(bytes) + " bytes";
}

} // namespace

std::string DataFileError::Text() const
{
    const std::string n = std::to_string(count);
    switch (kind) {
    case Kind::None:
        return std::string();
    case Kind::NoSuchFile:
        return "no such file: " + path;
    case Kind::IsDirectory:
        return path + " is a directory, not a data file";
    case Kind::CannotOpen:
        return "cannot open " + path + " for reading: " + SystemErrorText(systemError);
    case Kind::ReadFailed:
        return detail.empty() ? "read error after " + n + " bytes" : "read error: " + detail;
    case Kind::TooShort:
        return "file is shorter than 2048 bytes (got " + n + ")";
    case Kind::NotRegularFile:
    case Kind::TargetNotRegularFile:
        return path + " is " + FileTypeText(type) + ", not a regular file";
    case Kind::TooLarge:
        return path + " is larger than " + SizeText(count);
    case Kind::NoFileName:
        return "no file name given";
    case Kind::TargetIsDirectory:
        return path + " is a directory";
    case Kind::CannotCreate:
        return "cannot create a file in " + folder + ": " + SystemErrorText(systemError);
    case Kind::WriteFailed:
        return "could not write all 2048 bytes to " + folder + " (" + SystemErrorText(systemError) + "); " + path +
               " is unchanged";
    case Kind::CannotReplace:
        return "cannot replace " + path + ": " + (detail.empty() ? SystemErrorText(systemError) : detail);
    case Kind::StreamWriteFailed:
        return detail.empty() ? "could not write the 2048 bytes" : "write error: " + detail;
    case Kind::TargetReadOnly:
        return path + " is read-only";
    case Kind::CannotWrite:
        return "cannot write " + path + ": " + SystemErrorText(systemError);
    case Kind::CannotFollowLink:
        return "cannot follow the link " + path + ": " + (detail.empty() ? SystemErrorText(systemError) : detail);
    }
    return std::string();
}
