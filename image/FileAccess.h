#pragma once
// The rules for the files a user names, shared by the window and the
// command-line tool: only regular files are read or replaced. A FIFO, a
// device or a socket named as a data file, an edits file or an option file
// would otherwise block the program for ever, be read without end, or be
// replaced by a regular file.
//
// These are the only POSIX calls of this layer: the standard library can
// neither open without blocking nor tell whether the user may write a file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "image/DataFileError.h"

namespace FileAccess {

// What to do with a file longer than the limit.
enum class Longer {
    ReadTheStart, // the first `limit` bytes are what is wanted (a data file)
    Refuse,       // the whole file is wanted and must fit (edits, option files)
};

// Opens path without blocking and reads at most `limit` bytes into bytes.
// Refused, with the reason in error: a missing file, a folder,
// anything else that is not a regular file (checked on the opened file, so
// nothing can be swapped in between), and with Longer::Refuse a file of more
// than `limit` bytes. bytes is left as it was on failure.
bool ReadRegularFile(const std::string& path, std::size_t limit, Longer longer, std::vector<uint8_t>& bytes,
                     DataFileError* error = nullptr);

// Where saving to path puts the new file, or "" with the reason in error
// when it must not be saved there. A symbolic link is followed to the file it names, and
// a link whose file does not exist yet creates that file. Refused: a folder,
// anything that exists and is not a regular file, a file nobody may write
// (root included) or that the user may not write, and a chain of links that
// does not end.
std::string SaveTarget(const std::string& path, DataFileError* error = nullptr);

} // namespace FileAccess
