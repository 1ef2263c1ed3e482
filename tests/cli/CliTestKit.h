#pragma once
// Runs the built zemtra800-cli and reads and writes the files it works on.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

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

// status, stdout and stderr exactly as given.
inline void ExpectRun(const CliRun& r, int status, const QByteArray& out, const QByteArray& err = {})
{
    EXPECT_EQ(r.status, status) << r.err.constData();
    EXPECT_EQ(r.out, out);
    EXPECT_EQ(r.err, err);
}

// A pseudo-terminal; path names the program's side.
struct Pty {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    QByteArray path = (::grantpt(master), ::unlockpt(master), QByteArray(::ptsname(master)));
    ~Pty() { ::close(master); }
};

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

    // A new data file with the edits (if any) applied; raw stores them byte
    // for byte as given.
    QString Made(const char* name, const QByteArray& edits = {}, bool raw = false)
    {
        EXPECT_EQ(Cli({"new", "-o", Path(name)}).status, 0);
        if (!edits.isEmpty()) {
            const CliRun r = Apply(Path(name), edits, Path(name), raw ? QStringList{"--raw"} : QStringList());
            EXPECT_EQ(r.status, 0) << r.err.constData();
        }
        return Path(name);
    }

    // apply with the edits given, written to edits.json first.
    CliRun Apply(const QString& base, const QByteArray& edits, const QString& out, const QStringList& options = {})
    {
        WriteFile(Path("edits.json"), edits);
        return Cli(QStringList{"apply", base, Path("edits.json"), "-o", out} + options);
    }

    // Radio commands with a data folder (backups, job log) of the test's own.
    QString Home() const { return Path("data"); }
    CliRun Run(const QStringList& arguments) { return Cli(arguments, Home()); }
    // The job log, one object a line.
    std::vector<QJsonObject> Log() const
    {
        std::vector<QJsonObject> lines;
        for (const QByteArray& line : Contents(Home() + "/Halvorn/ZEMTRA800/jobs.jsonl").split('\n')) {
            QJsonParseError error;
            if (!line.isEmpty())
                lines.push_back(QJsonDocument::fromJson(line, &error).object());
            EXPECT_TRUE(line.isEmpty() || error.error == QJsonParseError::NoError) << line.constData();
        }
        return lines;
    }

    QJsonObject Dump(const QString& path)
    {
        const CliRun r = Cli({"dump", "--compact", path});
        EXPECT_EQ(r.status, 0) << r.err.constData();
        return QJsonDocument::fromJson(r.out).object();
    }

    QTemporaryDir dir;
};

// zemtra800-cli simulate (with radios > 0: --radios N), serving until the
// test ends; devices lists their ports, radio 1 first.
struct Simulator {
    explicit Simulator(const QStringList& options, int radios = 0)
    {
        QStringList arguments{QStringLiteral("simulate")};
        if (radios > 0)
            arguments << QStringLiteral("--radios") << QString::number(radios);
        process.start(QStringLiteral(ZEMTRA_CLI), arguments + options);
        while (devices.size() < std::max(radios, 1) && (process.canReadLine() || process.waitForReadyRead(5000)))
            devices << QString::fromUtf8(process.readLine()).trimmed();
        device = devices.value(0);
    }
    ~Simulator() { Stop(); }
    int Stop()
    {
        process.terminate(); // SIGTERM ends it cleanly
        process.waitForFinished(3000);
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    // Sends one command (unplug K, plug K [FILE]) and returns its confirmation.
    QByteArray Command(const QString& line)
    {
        process.write((line + QLatin1Char('\n')).toUtf8());
        while (!process.canReadLine() && process.waitForReadyRead(5000)) {
        }
        return process.readLine().trimmed();
    }
    QProcess process;
    QString device;
    QStringList devices;
};
