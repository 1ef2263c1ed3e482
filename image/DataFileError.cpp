#include "image/DataFileError.h"

#include <system_error>

std::string SystemErrorText(int error) { return std::generic_category().message(error); }

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
    }
    return std::string();
}
