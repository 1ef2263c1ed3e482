// Files that are not regular files, as input or output of zemtra800-cli:
// refused at once with status 2 and a line naming them, and never replaced.
#include <QFileInfo>

#include <sys/stat.h>
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
    // (Device nodes and links in other folders are the data file's own tests.)
    for (const QString& target : {pipe, Path("link-to-pipe.dat")}) {
        // new saves as apply does; read refuses before the port is even
        // opened (that would be status 3).
        for (const QStringList& arguments : {QStringList{"apply", Path("base.dat"), Path("edits.json"), "-o", target},
                                             QStringList{"read", "--port", Path("no-port"), "-o", target}}) {
            SCOPED_TRACE(arguments.join(' ').toStdString());
            const CliRun r = Cli(arguments);
            ExpectBadInput(r, "not a regular file", Path("out.dat"));
        }
    }
    EXPECT_TRUE(IsFifo(pipe));
    EXPECT_TRUE(QFileInfo(Path("link-to-pipe.dat")).isSymLink());
}

} // namespace
