#pragma once
// Runs the built zemtra800-cli and reads and writes the files it works on.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

struct CliRun {
    int status = -1;
    QByteArray out, err;
};

inline CliRun Cli(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(ZEMTRA_CLI), arguments);
    process.closeWriteChannel(); // no terminal: the model question is answered No
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

inline QByteArray Contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A failed command: status 2, nothing on stdout, one line on stderr that
// names what was wrong, and the output file as it was.
inline void ExpectBadInput(const CliRun& r, const QByteArray& named, const QString& out)
{
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.constData();
    EXPECT_TRUE(r.err.endsWith('\n'));
    EXPECT_TRUE(r.err.contains(named)) << r.err.constData();
    EXPECT_EQ(Contents(out), "keep me");
}

class CliTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};
