// Loading and saving data files: every refusal names its reason and leaves
// the image and the file alone; only regular files are read or replaced.
#include <chrono>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "../FifoGuard.h"
#include "../TempFolder.h"
#include "TestImage.h"
#include "image/FileAccess.h"

namespace fs = std::filesystem;

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class FileAccessTest : public ImageFixture {
protected:
    std::string P(const char* name) const { return (dir / name).string(); }
    // Why a save was refused; empty when it was not.
    std::string SaveRefused(const std::string& path)
    {
        std::string error;
        return data.SaveFile(path, &error) ? std::string() : error;
    }
    static long Entries(const fs::path& folder) { return long(std::distance(fs::directory_iterator(folder), {})); }
    TempFolder temp{"file-access"};
    const fs::path dir = temp.Path();
};

TEST_F(FileAccessTest, EachFailureNamesItsKindAndLeavesImageAndFileAlone)
{
    ASSERT_EQ(0, data.EncodeAll());
    const auto image = At(0, 2048);
    const std::vector<uint8_t> old(2048, 0x5A);
    WriteBytes(dir / "radio.dat", old);
    fs::create_directory(dir / "folder.dat");
    WriteBytes(dir / "short.dat", std::vector<uint8_t>(100, 0x00));
    const std::string nowhere = P("no-such-dir");
    using Kind = DataFileError::Kind;
    const struct {
        bool saving;
        std::string path;
        Kind kind;
        std::string line;
    } cases[] = {
        {false, P("absent.dat"), Kind::NoSuchFile, "no such file: " + P("absent.dat")},
        {false, P("folder.dat"), Kind::IsDirectory, P("folder.dat") + " is a directory, not a data file"},
        {false, P("short.dat"), Kind::TooShort, "file is shorter than 2048 bytes (got 100)"},
        {true, "", Kind::NoFileName, "no file name given"},
        {true, P("folder.dat"), Kind::TargetIsDirectory, P("folder.dat") + " is a directory"},
        {true, nowhere + "/radio.dat", Kind::CannotCreate,
         "cannot create a file in " + nowhere + ": No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        DataFileError reason;
        std::string line;
        EXPECT_FALSE(c.saving ? data.SaveFile(c.path, &reason) : data.LoadFile(c.path, &reason));
        EXPECT_FALSE(c.saving ? data.SaveFile(c.path, &line) : data.LoadFile(c.path, &line));
        EXPECT_EQ(c.kind, reason.kind);
        EXPECT_EQ(c.line, reason.Text());
        EXPECT_EQ(c.line, line);
        EXPECT_EQ(image, At(0, 2048));
    }
    // A folder that may not be written in: the old file stays (root may write anyway).
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    if (!std::ofstream(dir / "probe").good()) {
        EXPECT_FALSE(data.SaveFile(P("radio.dat")));
        EXPECT_EQ(old, ReadBytes(dir / "radio.dat"));
    }
    fs::remove(dir / "probe");
    fs::permissions(dir, fs::perms::owner_all);
    ASSERT_EQ(SaveRefused(P("radio.dat")), "");
    EXPECT_EQ(image, ReadBytes(dir / "radio.dat"));
    EXPECT_EQ(3, Entries(dir)) << "no temporary left";

    // A longer file: its first 2048 bytes.
    std::vector<uint8_t> longer(3000);
    for (std::size_t i = 0; i < longer.size(); ++i)
        longer[i] = static_cast<uint8_t>(i * 7);
    WriteBytes(dir / "long.dat", longer);
    ASSERT_TRUE(data.LoadFile(P("long.dat")));
    EXPECT_EQ(std::vector<uint8_t>(longer.begin(), longer.begin() + 2048), At(0, 2048));
}

TEST_F(FileAccessTest, SpecialFilesAreNeitherReadNorReplaced)
{
    ASSERT_EQ(0, data.EncodeAll());
    const auto before = At(0, 2048);
    FifoGuard fifo(P("pipe.dat"));
    ASSERT_TRUE(fifo.Made());
    fs::create_symlink(P("pipe.dat"), dir / "abs-link.dat");
    fs::create_directory(dir / "sub");
    fs::create_symlink("../pipe.dat", dir / "sub" / "rel-link.dat");

    const struct {
        std::string path;
        std::string kind;
    } cases[] = {
        {P("pipe.dat"), "is a FIFO, not a regular file"},
        {P("abs-link.dat"), "is a FIFO, not a regular file"},
        {P("sub/rel-link.dat"), "is a FIFO, not a regular file"},
        {"/dev/zero", "is a character device, not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const fs::file_type type = fs::symlink_status(c.path).type();
        const auto start = std::chrono::steady_clock::now();
        std::string error;
        EXPECT_FALSE(data.LoadFile(c.path, &error));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << "it waited on the file";
        EXPECT_EQ(c.path + " " + c.kind, error);
        EXPECT_EQ(before, At(0, 2048));
        if (c.path != "/dev/zero") {
            EXPECT_TRUE(Contains(SaveRefused(c.path), "not a regular file"));
        }
        EXPECT_EQ(type, fs::symlink_status(c.path).type()) << "the file is still what it was";
    }
    // A device node of our own, never a real one: saving must not replace it.
    if (::mknod(P("null.dat").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        EXPECT_FALSE(data.SaveFile(P("null.dat")));
        EXPECT_TRUE(fs::is_character_file(dir / "null.dat"));
    }
    EXPECT_FALSE(fifo.HadToUnblock());
    // No temporary file left behind.
    EXPECT_EQ(fs::exists(dir / "null.dat") ? 4 : 3, Entries(dir));
}

// (A file one byte over its limit is the edits file's test in the command-line tool.)
TEST_F(FileAccessTest, AFileWhoseSizeIsNotKnownInAdvanceIsStillCutOffAtTheLimit)
{
    std::vector<uint8_t> got = {1, 2, 3};
    DataFileError error;
    ASSERT_TRUE(fs::exists("/proc/self/maps"));
    EXPECT_FALSE(FileAccess::ReadRegularFile("/proc/self/maps", 16, FileAccess::Longer::Refuse, got, &error));
    EXPECT_EQ("/proc/self/maps is larger than 16 bytes", error.Text());
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), got) << "kept as it was";
}

TEST_F(FileAccessTest, SavingThroughALinkWritesTheFileItNames)
{
    ASSERT_EQ(0, data.EncodeAll());
    fs::create_directory(dir / "plans");
    // A link to a file that is not there yet: the file is created, the link kept.
    fs::create_symlink("plans/radio.dat", dir / "latest.dat");
    ASSERT_EQ(SaveRefused(P("latest.dat")), "");
    EXPECT_EQ(At(0, 2048), ReadBytes(dir / "plans" / "radio.dat"));

    // A chain of links to an existing file: that file is replaced, rights kept.
    const auto rights = fs::perms::owner_read | fs::perms::owner_write;
    fs::permissions(dir / "plans" / "radio.dat", rights);
    fs::create_symlink("latest.dat", dir / "chain.dat");
    Put(16, "00 25 51 43");
    ASSERT_EQ(SaveRefused(P("chain.dat")), "");
    EXPECT_EQ(At(0, 2048), ReadBytes(dir / "plans" / "radio.dat"));
    EXPECT_EQ(rights, fs::status(dir / "plans" / "radio.dat").permissions() & fs::perms::all);
    EXPECT_EQ(1, Entries(dir / "plans"));

    // A loop of links, or a link into a folder that does not exist: refused, named.
    fs::create_symlink("loop-b.dat", dir / "loop-a.dat");
    fs::create_symlink("loop-a.dat", dir / "loop-b.dat");
    EXPECT_TRUE(Contains(SaveRefused(P("loop-a.dat")), "symbolic links"));
    fs::create_symlink("gone/radio.dat", dir / "stale.dat");
    EXPECT_TRUE(Contains(SaveRefused(P("stale.dat")), "gone"));
    for (const char* link : {"latest.dat", "chain.dat", "loop-a.dat", "stale.dat"})
        EXPECT_TRUE(fs::is_symlink(dir / link)) << link;
}

TEST_F(FileAccessTest, AFileTheUserMayNotWriteIsNotReplaced)
{
    // The folder lets anyone make files, so only the file's own rights can
    // stop the save. The file is writable, but only by its group: not by
    // its owner, nor by others. Root may write any file; the save then runs
    // as nobody.
    fs::permissions(dir, fs::perms::all);
    WriteBytes(dir / "locked.dat", std::vector<uint8_t>(2048, 0x5A));
    fs::permissions(dir / "locked.dat", fs::perms::owner_read | fs::perms::group_read | fs::perms::group_write |
                                            fs::perms::others_read);
    const std::string target = P("locked.dat");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        const std::string error = SaveRefused(target);
        ::_exit(error.empty() ? 0 : error == "cannot write " + target + ": Permission denied" ? 1 : 2);
    }
    int status = 0;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(1, WEXITSTATUS(status)) << "0: replaced, 2: another reason, 3: could not become nobody";
    EXPECT_EQ(std::vector<uint8_t>(2048, 0x5A), ReadBytes(dir / "locked.dat"));
    EXPECT_EQ(1, Entries(dir));
}

} // namespace
