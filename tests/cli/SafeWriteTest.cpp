// End-to-end tests of write --verify, the backups and the job log: the
// command-line tool against a simulated radio in its own process, each test
// with an XDG_DATA_HOME of its own.
#include <QCryptographicHash>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "CliTestKit.h"

namespace {

class SafeWrite : public CliTest {
protected:
    QString Archive() const { return Home() + "/Halvorn/ZEMTRA800"; }

    // A file with channel 18 in use at 455.125 MHz: byte 0x123 holds 0x45.
    QString Programmed()
    {
        const QString in = Made("in.dat", R"({"channels":{"18":{"rxFrequency":455.125}}})");
        EXPECT_EQ(Contents(in).at(0x123), '\x45');
        return in;
    }
    static QByteArray Wrote(const Simulator& radio) { return "wrote 2000 bytes to " + radio.device.toUtf8() + "\n"; }
    static constexpr const char* kVerified = "verified: the radio holds the 2000 bytes written\n";

    // Each line's job, result and whether it kept a backup.
    static std::string Jobs(const std::vector<QJsonObject>& log)
    {
        QStringList jobs;
        for (const QJsonObject& line : log)
            jobs << line["job"].toString() + " " + line["result"].toString() + (line.contains("backup") ? " +" : "");
        return jobs.join(", ").toStdString();
    }

    // The line's backup exists, is named by job and model, holds the bytes
    // given and carries their SHA-256.
    void ExpectBackup(const QJsonObject& line, const char* job, const QByteArray& bytes)
    {
        const QString backup = line["backup"].toString();
        EXPECT_EQ(QFileInfo(backup).path(), Archive() + "/backups");
        const QRegularExpression name(QStringLiteral("^\\d{8}-\\d{6}-%1-Q80103\\.dat$").arg(job));
        EXPECT_TRUE(name.match(QFileInfo(backup).fileName()).hasMatch()) << backup.toStdString();
        EXPECT_EQ(Contents(backup), bytes);
        EXPECT_EQ(line["sha256"].toString(),
                  QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
    }
};

TEST_F(SafeWrite, WronglyStoredByteFailsTheVerifyNamingAddressAndField)
{
    Simulator radio({"--corrupt-write", "0x123"});
    const CliRun r = Run({"write", "--port", radio.device, Programmed(), "--verify"});
    // Every block was taken.
    ExpectRun(r, 1, Wrote(radio),
              "verify failed at 0x0123 (channel 18 rxFrequency): wrote 0x45, the radio holds 0x44 (1 byte differs)\n");

    const std::vector<QJsonObject> log = Log();
    ASSERT_EQ(Jobs(log), "write failed +, verify failed +");
    for (const QJsonObject& line : log)
        EXPECT_EQ(line["reason"].toString(), QString::fromUtf8(r.err.trimmed()));
    EXPECT_EQ(log[0]["verified"], QJsonValue(false));
    // What the radio gave back is kept too: the wrong byte is in it.
    EXPECT_EQ(Contents(log[1]["backup"].toString()).at(0x123), '\x44');
}

TEST_F(SafeWrite, ReadBackThatStopsIsAFailedVerify)
{
    // The write is connection 1; the radio falls silent 5 blocks into the read-back.
    Simulator radio({"--hang-up-after", "5", "--hang-up-connection", "2"});
    ExpectRun(Run({"write", "--port", radio.device, Programmed(), "--verify"}), 1, Wrote(radio),
              "verify failed: the radio could not be read back after the write; nothing was verified\n");

    // The image as sent is kept; nothing whole came back.
    EXPECT_EQ(Jobs(Log()), "write failed +, verify failed");
    EXPECT_EQ(Log()[0]["verified"], QJsonValue(false));
}

// Every job is logged, a failed one too, and every image that went to or
// came from a radio is kept, unless --no-backup.
TEST_F(SafeWrite, EveryJobIsLoggedWithTheImagesItMoved)
{
    Simulator radio({"--save", Path("radio.dat")});
    const QString in = Programmed();
    ExpectRun(Run({"write", "--port", radio.device, in, "--verify"}), 0, Wrote(radio) + kVerified);
    ASSERT_EQ(Run({"read", "--port", radio.device, "-o", Path("read.dat")}).status, 0);
    ASSERT_EQ(Run({"info", "--port", radio.device}).status, 0);
    const CliRun r = Run({"write", "--port", "/dev/zemtra-no-such-port", in});
    EXPECT_EQ(r.status, 3);

    // Nothing reached a radio in the info and the failed write.
    const std::vector<QJsonObject> log = Log();
    ASSERT_EQ(Jobs(log), "write ok +, verify ok +, read ok +, info ok, write failed");
    EXPECT_EQ(log[0]["port"].toString(), radio.device);
    EXPECT_EQ(log[0]["verified"], QJsonValue(true));
    EXPECT_FALSE(log[1].contains("verified")); // on the write's line only
    ExpectBackup(log[0], "write", Contents(in));
    ExpectBackup(log[2], "read", Contents(Path("read.dat")));
    // The message shown, its cause and remedy included, on one line.
    EXPECT_EQ(log[4]["reason"].toString(), QString::fromUtf8(r.err.trimmed()).replace('\n', ' '));
    EXPECT_TRUE(r.err.contains("\n/dev/zemtra-no-such-port: no such device.\n")) << r.err.constData();

    // --no-backup keeps neither (every radio command takes its archive from one place).
    ASSERT_EQ(Run({"read", "--port", radio.device, "-o", Path("read.dat"), "--no-backup"}).status, 0);
    EXPECT_EQ(Log().size(), 5u);
    EXPECT_EQ(QDir(Archive() + "/backups").entryList(QDir::Files).size(), 3);
    // The verify's read-back is the radio's whole memory.
    radio.Stop();
    ExpectBackup(log[1], "verify", Contents(Path("radio.dat")));
}

// What the encoder sends differently from the file is named before
// anything is sent; the verify then checks what was sent.
TEST_F(SafeWrite, FieldsTheEncoderChangesAreNamedBeforeSending)
{
    Simulator radio({});
    QByteArray file = Contents(Programmed());
    file.replace(1072, 6, QByteArray::fromHex("0102ffffffff")); // a stun code of two digits
    WriteFile(Path("short.dat"), file);
    const CliRun r = Run({"write", "--port", radio.device, Path("short.dat"), "--verify", "--trace"});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    const QByteArray warning = "zemtra800-cli: warning: " + Path("short.dat").toUtf8() +
                               ": stunCode is sent as ff ff ff ff ff ff; the file holds 01 02 ff ff ff ff\n";
    EXPECT_TRUE(r.err.startsWith(warning + "Tr : 50 52 4F 47 52 41 4D \n")) << r.err.constData();
    EXPECT_EQ(r.err.count("warning"), 1);
    EXPECT_EQ(Contents(Path("short.dat")), file); // the user's file stays as it was
}

} // namespace
