#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "image/ImageMap.h"

// The paper trail of radio jobs: every image read from a radio or written
// to one kept as a 2048-byte .dat file in backups/, and one JSON object per
// job appended as a line to jobs.jsonl, both under one folder
// ($XDG_DATA_HOME/Halvorn/ZEMTRA800 by default). Several jobs (threads or
// processes) may keep entries at once: names never collide and log lines
// never interleave. Nothing here fails a job: what cannot be kept is
// reported back as one line of text.
class JobArchive {
public:
    enum class Job { Read, Write, Verify, Info };

    struct Entry {
        Job job = Job::Read;
        std::string port;   // as the user gave it
        std::string device; // the path opened
        bool ok = false;
        std::string reason; // on failure: the message shown
        // What the radio told (or, for a write, the file's model code).
        std::optional<std::string> modelCode, info1, info2;
        // The 2048 bytes to keep, or null: read, the image as sent, the read-back.
        const uint8_t* image = nullptr;
        // The write's line of a write with read-back.
        std::optional<bool> verified;
        std::chrono::system_clock::time_point when = std::chrono::system_clock::now();
    };

    struct Kept {
        std::string backup; // the backup's path, or empty
        std::string sha256; // of the backup's 2048 bytes
        // Empty, or what could not be kept and why, in one line.
        std::string problem;
    };

    explicit JobArchive(std::string folder);
    // $XDG_DATA_HOME/Halvorn/ZEMTRA800; ~/.local/share/... when XDG_DATA_HOME
    // is unset, empty or not an absolute path.
    static std::string DefaultFolder();

    const std::string& Folder() const { return folder_; }
    std::string BackupFolder() const { return folder_ + "/backups"; }
    std::string LogPath() const { return folder_ + "/jobs.jsonl"; }

    // Keeps the entry's image (if any) as a backup, then appends its line.
    Kept Keep(const Entry& entry);

    // Creates the backup folder (and its parents) as Keep does, for someone
    // who wants to look into it before any job has kept a backup. false with
    // the reason in problem when it cannot be made.
    bool MakeBackupFolder(std::string& problem) const;

    // The newest this many backups (by file time) are kept.
    static constexpr std::size_t kKeptBackups = 1000;

    // The log line of an entry, without the newline.
    static std::string LogLine(const Entry& entry, const Kept& kept);
    static const char* JobName(Job job);

private:
    bool WriteBackup(const Entry& entry, Kept& kept);
    bool AppendLine(const std::string& line, std::string& problem);
    void Prune();

    std::string folder_;
};
