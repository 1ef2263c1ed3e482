#pragma once
#include <cstdint>
#include <string>

// Why a data file could not be read or written, kept apart from its wording:
// the command-line tool prints the English line, the window says it in its
// own language from the kind and the details.
struct DataFileError {
    enum class Kind {
        None,
        // Reading.
        NoSuchFile,    // path
        IsDirectory,   // path
        CannotOpen,    // path, systemError
        ReadFailed,    // count bytes read before it; detail: the failure's text, if any
        TooShort,      // count bytes there were
        NotRegularFile, // path, type: a FIFO, a device, a socket (never opened)
        TooLarge,       // path, count: the most bytes the file may have
        // Writing.
        NoFileName,
        TargetIsDirectory, // path
        CannotCreate,      // folder, systemError
        WriteFailed,       // folder, systemError; path is unchanged
        CannotReplace,     // path, systemError, detail: the system's text
        StreamWriteFailed, // detail: the failure's text, if any
        TargetNotRegularFile, // path, type: left as it is
        TargetReadOnly,       // path: nobody may write it (root leaves it alone too)
        CannotWrite,          // path, systemError: this user may not write it
        CannotFollowLink,     // path (the link), systemError, detail: the system's text
    };

    // What a file that is not a regular one is.
    enum class FileType { Other, Directory, Fifo, CharacterDevice, BlockDevice, Socket };

    Kind kind = Kind::None;
    std::string path;   // the file named
    std::string folder; // the folder written in
    int systemError = 0; // errno, 0 for none
    std::int64_t count = 0;
    std::string detail;
    FileType type = FileType::Other;

    // The one-line English reason, e.g. "file is shorter than 2048 bytes (got 100)".
    std::string Text() const;
};

// "a FIFO", "a character device", ... for the English line.
std::string FileTypeText(DataFileError::FileType type);

// errno's English text ("No such file or directory").
std::string SystemErrorText(int error);
