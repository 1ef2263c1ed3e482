// Files that are not regular files, as input or output of zemtra800-cli:
// refused at once with status 2 and a line naming them, and never replaced.
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "CliTestKit.h"

namespace {

bool IsFifo(const QString& path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

class SpecialFiles : public CliTest {
protected:
    void SetUp() override
    {
        ASSERT_EQ(Cli({"new", "-o", Path("base.dat")}).status, 0);
        WriteFile(Path("edits.json"), "{}");
        WriteFile(Path("out.dat"), "keep me");
        ASSERT_EQ(::mkfifo(QFile::encodeName(Path("pipe")).constData(), 0644), 0);
    }
};

TEST_F(SpecialFiles, InputsThatAreNotRegularFilesAreRefusedAtOnce)
{
    const QString pipe = Path("pipe"), out = Path("out.dat");
    const struct {
        QStringList arguments;
        QString named;
        const char* kind;
    } cases[] = {
        {{"dump", pipe}, pipe, "FIFO"},
        {{"dump", "/dev/zero"}, "/dev/zero", "character device"},
        {{"apply", pipe, Path("edits.json"), "-o", out}, pipe, "FIFO"},
        {{"apply", Path("base.dat"), pipe, "-o", out}, pipe, "FIFO"},
        {{"apply", Path("base.dat"), "/dev/zero", "-o", out}, "/dev/zero", "character device"},
        {{"write", "--port", Path("no-port"), pipe}, pipe, "FIFO"},
        {{"simulate", "--image", pipe}, pipe, "FIFO"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CliRun r = Cli(c.arguments);
        ExpectBadInput(r, c.named.toUtf8(), out);
        EXPECT_TRUE(r.err.contains(QByteArray(c.kind) + ", not a regular file")) << r.err.constData();
    }
    EXPECT_TRUE(IsFifo(pipe));
}

TEST_F(SpecialFiles, EditsAreAtMostOneMebibyte)
{
    // Valid JSON of exactly 1 MiB is still edits; one byte more is not.
    QByteArray edits = R"({"squelchLevel": 4})";
    edits += QByteArray(1024 * 1024 - edits.size(), ' ');
    WriteFile(Path("big.json"), edits);
    const CliRun fits = Cli({"apply", Path("base.dat"), Path("big.json"), "-o", Path("fits.dat")});
    EXPECT_EQ(fits.status, 0) << fits.err.constData();
    const QByteArray image = Contents(Path("fits.dat"));
    ASSERT_EQ(image.size(), 2048);
    EXPECT_EQ(image.at(1035), char(4));

    WriteFile(Path("big.json"), edits + ' ');
    const CliRun over = Cli({"apply", Path("base.dat"), Path("big.json"), "-o", Path("out.dat")});
    ExpectBadInput(over, "big.json is larger than 1 MiB", Path("out.dat"));
}

TEST_F(SpecialFiles, OutputsThatAreNotRegularFilesAreLeftAlone)
{
    const QString pipe = Path("pipe");
    ASSERT_TRUE(QFile::link(pipe, Path("link-to-pipe.dat")));
    QStringList targets = {pipe, Path("link-to-pipe.dat")};
    // A device node of the test's own (never a real one), where it may be made.
    const QString device = Path("null.dat");
    const bool haveDevice = ::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    if (haveDevice)
        targets << device;

    for (const QString& target : targets) {
        for (const QStringList& arguments :
             {QStringList{"new", "-o", target}, QStringList{"apply", Path("base.dat"), Path("edits.json"), "-o", target},
              // Refused before the port is even opened (that would be status 3).
              QStringList{"read", "--port", Path("no-port"), "-o", target}}) {
            SCOPED_TRACE(arguments.join(' ').toStdString());
            const CliRun r = Cli(arguments);
            ExpectBadInput(r, "not a regular file", Path("out.dat"));
        }
    }
    EXPECT_TRUE(IsFifo(pipe));
    EXPECT_TRUE(QFileInfo(Path("link-to-pipe.dat")).isSymLink());
    if (haveDevice) {
        struct stat info {};
        ASSERT_EQ(::lstat(QFile::encodeName(device).constData(), &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode));
    }
}

TEST_F(SpecialFiles, ALinkToAFileNotYetThereCreatesThatFile)
{
    QDir(dir.path()).mkdir("plans");
    ASSERT_TRUE(QFile::link("plans/radio.dat", Path("latest.dat")));
    const CliRun r = Cli({"apply", Path("base.dat"), Path("edits.json"), "-o", Path("latest.dat")});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_TRUE(QFileInfo(Path("latest.dat")).isSymLink());
    EXPECT_EQ(Contents(Path("plans/radio.dat")), Contents(Path("base.dat")));
}

TEST_F(SpecialFiles, AFileTheUserMayNotWriteIsNotReplaced)
{
    // Anyone may make files in the folder, so only out.dat's own rights can
    // stop the command. Root may write any file: the commands then run as
    // nobody, for whom root's out.dat is read-only.
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
    QStringList prefix;
    if (::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        ASSERT_FALSE(setpriv.isEmpty()) << "setpriv (util-linux) runs the command as nobody";
        prefix = {"--reuid=65534", "--regid=65534", "--clear-groups", QStringLiteral(ZEMTRA_CLI)};
        for (const char* name : {"base.dat", "edits.json"})
            ASSERT_TRUE(QFile::setPermissions(Path(name), QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                              QFileDevice::ReadOther | QFileDevice::WriteOwner));
    } else {
        // Writable by its group only: not by its owner.
        ASSERT_TRUE(QFile::setPermissions(Path("out.dat"), QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                               QFileDevice::WriteGroup | QFileDevice::ReadOther));
    }
    for (const QStringList& arguments :
         {QStringList{"new", "-o", Path("out.dat")},
          QStringList{"apply", Path("base.dat"), Path("edits.json"), "-o", Path("out.dat")}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        QProcess process;
        if (prefix.isEmpty())
            process.start(QStringLiteral(ZEMTRA_CLI), arguments);
        else
            process.start(QStandardPaths::findExecutable("setpriv"), prefix + arguments);
        process.closeWriteChannel();
        ASSERT_TRUE(process.waitForFinished(30000));
        const QByteArray err = process.readAllStandardError();
        EXPECT_EQ(process.exitCode(), 2) << err.constData();
        EXPECT_TRUE(err.contains("cannot write " + Path("out.dat").toUtf8() + ": Permission denied"))
            << err.constData();
        EXPECT_EQ(Contents(Path("out.dat")), "keep me");
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3) << "no temporary file left";
}

} // namespace
