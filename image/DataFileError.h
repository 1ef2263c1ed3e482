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
        // Writing.
        NoFileName,
        TargetIsDirectory, // path
        CannotCreate,      // folder, systemError
        WriteFailed,       // folder, systemError; path is unchanged
        CannotReplace,     // path, systemError, detail: the system's text
        StreamWriteFailed, // detail: the failure's text, if any
    };

    Kind kind = Kind::None;
    std::string path;   // the file named
    std::string folder; // the folder written in
    int systemError = 0; // errno, 0 for none
    std::int64_t count = 0;
    std::string detail;

    // The one-line English reason, e.g. "file is shorter than 2048 bytes (got 100)".
    std::string Text() const;
};

// errno's English text ("No such file or directory").
std::string SystemErrorText(int error);
