// run.sh: builds in the source tree but starts the program in the folder the
// user is in, with the arguments as given. The real run.sh and tools/setup.sh
// run in a copy of the tree, with stand-ins for the package query, CMake and
// the built programs, so nothing is installed or built.
#include <QDir>

#include "CliTestKit.h"

namespace {

void WriteScript(const QString& path, const QByteArray& text)
{
    WriteFile(path, text);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void CopyFromSource(const char* name, const QString& to)
{
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZEMTRA_SOURCE_DIR "/") + QLatin1String(name), to)) << name;
}

class Launcher : public CliTest {
protected:
    void SetUp() override
    {
        // Spaces in both folders: every path must be quoted on its way.
        source = Path("source tree");
        user = Path("user folder");
        fakes = Path("fakes");
        for (const QString& folder : {source + "/tools", source + "/build", user, fakes})
            ASSERT_TRUE(QDir().mkpath(folder));
        CopyFromSource("run.sh", source + "/run.sh");
        CopyFromSource("tools/setup.sh", source + "/tools/setup.sh");
        // Every package counts as installed; CMake only notes how it was called.
        WriteScript(fakes + "/dpkg-query", "#!/bin/sh\nprintf 'install ok installed'\n");
        WriteScript(fakes + "/cmake", "#!/bin/sh\nprintf '%s|' \"$@\" >> \"$CMAKE_LOG\"\necho >> \"$CMAKE_LOG\"\n");
        // The programs tell where they were started and with what.
        const QByteArray program = "#!/bin/sh\nprintf '%s\\n' \"$(basename \"$0\")\" \"$PWD\"\n"
                                   "for a in \"$@\"; do printf 'arg:%s\\n' \"$a\"; done\n";
        WriteScript(source + "/build/zemtra800", program);
        WriteScript(source + "/build/zemtra800-cli", program);
    }

    // Runs run.sh from the user's folder, named as the user would type it.
    std::string Run(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", fakes + ":" + environment.value("PATH"));
        environment.insert("CMAKE_LOG", Path("cmake.log"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(user);
        process.start("bash", QStringList{"../source tree/run.sh"} + arguments);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
        // One line a value, joined for a readable comparison.
        return QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).join(" | ").toStdString();
    }

    QString source, user, fakes;
};

TEST_F(Launcher, StartsTheProgramInTheUsersFolderWithTheArgumentsAsGiven)
{
    const std::string here = QDir(user).canonicalPath().toStdString();
    EXPECT_EQ(Run({"radio.dat", "two words", "--simulate"}),
              "zemtra800 | " + here + " | arg:radio.dat | arg:two words | arg:--simulate");

    // ... and builds into build/ of the source tree, not of the user's folder.
    const QString tree = QDir(source).canonicalPath();
    const QStringList calls = QString::fromUtf8(Contents(Path("cmake.log"))).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(calls.size(), 2);
    EXPECT_TRUE(calls[0].startsWith("-S|" + tree + "|-B|" + tree + "/build|")) << calls[0].toStdString();
    EXPECT_TRUE(calls[1].startsWith("--build|" + tree + "/build|")) << calls[1].toStdString();
    EXPECT_FALSE(QFileInfo::exists(user + "/build"));
}

} // namespace
