#pragma once
// Runs the built zemtra800-cli and reads and writes the files it works on.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

struct CliRun {
    int status = -1;
    QByteArray out, err;
};

// Radio commands keep backups and a job log under XDG_DATA_HOME; a test's
// runs keep them here, never in the real home.
inline QString TestDataHome()
{
    static QTemporaryDir dir;
    return dir.path();
}

// dataHome: XDG_DATA_HOME for this run (default TestDataHome()).
inline CliRun Cli(const QStringList& arguments, const QString& dataHome = QString())
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome.isEmpty() ? TestDataHome() : dataHome);
    process.setProcessEnvironment(environment);
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

// zemtra800-cli simulate, serving until the test ends.
struct Simulator {
    explicit Simulator(const QStringList& options)
    {
        process.start(QStringLiteral(ZEMTRA_CLI), QStringList{QStringLiteral("simulate")} + options);
        while (!process.canReadLine() && process.waitForReadyRead(5000)) {
        }
        device = QString::fromUtf8(process.readLine()).trimmed();
    }
    ~Simulator() { Stop(); }
    int Stop()
    {
        process.terminate(); // SIGTERM ends it cleanly
        process.waitForFinished(3000);
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    QProcess process;
    QString device;
};
