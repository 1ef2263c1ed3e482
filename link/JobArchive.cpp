#include "link/JobArchive.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "image/ErrorText.h"
#include "link/Sha256.h"

namespace {

std::string Errno(const std::string& path, int error)
{
    return path + ": " + std::strerror(error);
}

// Creates the folder and any missing parent, private to the user as the
// XDG base directories are.
bool MakeFolders(const std::string& path, std::string& problem)
{
    for (std::size_t slash = 1; slash != std::string::npos;) {
        slash = path.find('/', slash + 1);
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) == 0 || errno == EEXIST)
            continue;
        const int error = errno;
        struct stat st {};
        if (::stat(part.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            problem = Errno(part, error);
            return false;
        }
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        problem = path + ": not a folder";
        return false;
    }
    return true;
}

bool WriteWhole(int fd, const void* data, std::size_t n)
{
    const auto* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            if (w == 0)
                errno = EIO;
            return false;
        }
        p += w;
        n -= std::size_t(w);
    }
    return true;
}

// A model code as a file name part: letters and digits only.
std::string NamePart(const std::optional<std::string>& code)
{
    if (!code || code->empty())
        return "unknown";
    std::string out;
    for (char c : *code)
        out += (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ? c : '_';
    return out;
}

// YYYYMMDD-HHMMSS-*.dat: the backups this archive keeps (and prunes).
bool IsBackupName(const char* name)
{
    const std::size_t n = std::strlen(name);
    if (n < 20 || std::strcmp(name + n - 4, ".dat") != 0)
        return false;
    for (int i = 0; i < 15; ++i) {
        const bool digit = name[i] >= '0' && name[i] <= '9';
        if (i == 8 ? name[i] != '-' : !digit)
            return false;
    }
    return name[15] == '-';
}

// A JSON string. Texts a radio sends may hold any byte: what is not UTF-8
// is written as the character of the same number, so the line stays valid.
std::string Json(const std::string& text)
{
    std::string out = "\"";
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = p[i];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
            ++i;
            continue;
        }
        char32_t character = 0;
        const std::size_t n = c >= 0x20 && c != 0x7F ? ErrorText::CharacterAt(text, i, &character) : 0;
        if (n == 0) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
            out += escaped;
            ++i;
            continue;
        }
        out.append(text, i, n);
        i += n;
    }
    return out + "\"";
}

} // namespace

JobArchive::JobArchive(std::string folder) : folder_(std::move(folder)) {}

std::string JobArchive::DefaultFolder()
{
    std::string base;
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !home[0]) {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw ? pw->pw_dir : "/tmp";
        }
        base = std::string(home) + "/.local/share";
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + "/Halvorn/ZEMTRA800";
}

const char* JobArchive::JobName(Job job)
{
    switch (job) {
    case Job::Read: return "read";
    case Job::Write: return "write";
    case Job::Verify: return "verify";
    case Job::Info: return "info";
    }
    return "";
}

JobArchive::Kept JobArchive::Keep(const Entry& entry)
{
    Kept kept;
    std::string problem;
    if (!MakeFolders(folder_, problem)) {
        kept.problem = "no backup or job log kept: " + problem;
        return kept;
    }
    if (entry.image && !WriteBackup(entry, kept))
        kept.problem = "no backup kept: " + kept.problem;
    if (!AppendLine(LogLine(entry, kept), problem))
        kept.problem += (kept.problem.empty() ? "" : "; ") + ("no job log entry written: " + problem);
    return kept;
}

bool JobArchive::MakeBackupFolder(std::string& problem) const
{
    return MakeFolders(BackupFolder(), problem);
}

bool JobArchive::WriteBackup(const Entry& entry, Kept& kept)
{
    const std::string folder = BackupFolder();
    if (!MakeFolders(folder, kept.problem))
        return false;
    const std::time_t seconds = std::chrono::system_clock::to_time_t(entry.when);
    std::tm local {};
    ::localtime_r(&seconds, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = folder + "/" + stamp + "-" + JobName(entry.job) + "-" + NamePart(entry.modelCode);

    // O_EXCL claims a name no other job holds, so two in one second get -2, -3, ...
    std::string path;
    int fd = -1;
    for (int n = 1; fd < 0; ++n) {
        path = base + (n == 1 ? "" : "-" + std::to_string(n)) + ".dat";
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && (errno != EEXIST || n >= 1000)) {
            kept.problem = Errno(path, errno);
            return false;
        }
    }
    const bool written = WriteWhole(fd, entry.image, ImageMap::kSize) && ::fsync(fd) == 0;
    const int error = errno;
    if (::close(fd) != 0 || !written) {
        kept.problem = Errno(path, written ? errno : error);
        ::unlink(path.c_str()); // never a short backup
        return false;
    }
    kept.backup = path;
    kept.sha256 = Sha256::Hex(entry.image, ImageMap::kSize);
    Prune();
    return true;
}

bool JobArchive::AppendLine(const std::string& line, std::string& problem)
{
    const std::string path = LogPath();
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        problem = Errno(path, errno);
        return false;
    }
    // One writer at a time, and a line that does not fit whole is taken out
    // again, so the log stays one JSON object per line.
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat before {};
    const bool sized = ::fstat(fd, &before) == 0;
    const std::string text = line + "\n";
    bool ok = WriteWhole(fd, text.data(), text.size());
    int error = errno;
    if (!ok && sized && ::ftruncate(fd, before.st_size) != 0) {
        // nothing more to do: the problem is reported below
    }
    if (ok && ::fdatasync(fd) != 0) {
        ok = false;
        error = errno;
    }
    ::close(fd);
    if (!ok)
        problem = Errno(path, error);
    return ok;
}

void JobArchive::Prune()
{
    const std::string folder = BackupFolder();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    struct Backup {
        timespec time;
        std::string name;
    };
    std::vector<Backup> backups;
    while (const dirent* e = ::readdir(dir)) {
        if (!IsBackupName(e->d_name))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            backups.push_back({st.st_mtim, e->d_name});
    }
    ::closedir(dir);
    if (backups.size() <= kKeptBackups)
        return;
    const std::size_t drop = backups.size() - kKeptBackups;
    std::partial_sort(backups.begin(), backups.begin() + std::ptrdiff_t(drop), backups.end(),
                      [](const Backup& a, const Backup& b) {
                          if (a.time.tv_sec != b.time.tv_sec)
                              return a.time.tv_sec < b.time.tv_sec;
                          if (a.time.tv_nsec != b.time.tv_nsec)
                              return a.time.tv_nsec < b.time.tv_nsec;
                          return a.name < b.name;
                      });
    for (std::size_t i = 0; i < drop; ++i)
        ::unlink((folder + "/" + backups[i].name).c_str()); // gone already is as good
}

std::string JobArchive::LogLine(const Entry& entry, const Kept& kept)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(entry.when);
    std::tm utc {};
    ::gmtime_r(&seconds, &utc);
    char time[32];
    std::strftime(time, sizeof time, "%Y-%m-%dT%H:%M:%SZ", &utc);

    std::string line = "{\"time\":" + Json(time) + ",\"job\":" + Json(JobName(entry.job)) +
                       ",\"port\":" + Json(entry.port) + ",\"device\":" + Json(entry.device) +
                       ",\"result\":" + Json(entry.ok ? "ok" : "failed");
    if (!entry.ok)
        line += ",\"reason\":" + Json(entry.reason);
    if (entry.modelCode)
        line += ",\"modelCode\":" + Json(*entry.modelCode);
    if (entry.info1)
        line += ",\"info1\":" + Json(*entry.info1);
    if (entry.info2)
        line += ",\"info2\":" + Json(*entry.info2);
    if (!kept.backup.empty())
        line += ",\"sha256\":" + Json(kept.sha256) + ",\"backup\":" + Json(kept.backup);
    if (entry.verified)
        line += std::string(",\"verified\":") + (*entry.verified ? "true" : "false");
    return line + "}";
}
