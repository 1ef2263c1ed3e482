// Several radios at once and the production line, end to end: the
// command-line tool against `simulate --radios N`, whose radios are plugged
// in, taken off and swapped through its stdin while the tool runs.
#include <QSet>

#include <signal.h>

#include "CliTestKit.h"

namespace {

class ManyRadios : public CliTest {
protected:
    // A data file with channel 18 in use, or of another model.
    QString Image(const char* name, const char* modelCode = nullptr)
    {
        return Made(name, modelCode ? QByteArray("{\"modelCode\":\"") + modelCode + "\"}"
                                    : QByteArray(R"({"channels":{"18":{"rxFrequency":455.125}}})"));
    }
    QString Member(const QString& file, const char* name) { return Dump(file)[QLatin1String(name)].toString(); }
    static QStringList Ports(const QStringList& devices)
    {
        QStringList arguments;
        for (const QString& d : devices)
            arguments << "--port" << d;
        return arguments;
    }
};

TEST_F(ManyRadios, ASilentRadioOrAMissingPortFailsAloneWithTheWorstStatus)
{
    Simulator radios({"--save", Path("radio-{n}.dat")}, 2);
    Simulator silent({"--silent"});
    const QString in = Image("in.dat");
    CliRun r = Run({"write", in, "--verify", "--port", radios.devices[0], "--port", silent.device, "--port",
                    radios.devices[1]});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, (radios.devices[0] + ": ok, verified\n" + silent.device +
                      ": failed: Communication failed,please try again!\n" + radios.devices[1] + ": ok, verified\n")
                         .toUtf8());
    EXPECT_EQ(Contents(Path("radio-1.dat")).left(2000), Contents(in).left(2000));
    EXPECT_EQ(Contents(Path("radio-2.dat")).left(2000), Contents(in).left(2000));
    // Each port's jobs are logged under its own name (that their backups
    // never collide is the archive's test).
    QSet<QString> ports;
    for (const QJsonObject& line : Log())
        ports.insert(line["port"].toString());
    EXPECT_EQ(ports, (QSet<QString>{radios.devices[0], silent.device, radios.devices[1]}));

    // A port that cannot be opened: 3 beats 1; its reasons go to stderr.
    r = Run({"info", "--port", silent.device, "--port", "/dev/zemtra-no-such-port", "--port", radios.devices[0]});
    EXPECT_EQ(r.status, 3);
    // The radio's block under its line.
    EXPECT_TRUE(r.out.startsWith(silent.device.toUtf8() + ": failed: Communication failed,please try again!\n"
                                 "/dev/zemtra-no-such-port: failed: Failed to open /dev/zemtra-no-such-port,Please "
                                 "select COM port again!\n" + radios.devices[0].toUtf8() + ": ok\nType: HX8100L1\n"
                                 "Frequency: UHF:450-470MHz\nModel code: Q80103\n"))
        << r.out.constData();
    EXPECT_TRUE(r.err.startsWith("/dev/zemtra-no-such-port: no such device.\n")) << r.err.constData();
}

// Radio 2 is of another model: a read names a file for each port; a write
// fails on radio 2 alone unless --yes.
TEST_F(ManyRadios, ReadNamesAFileForEachPortAndAWriteFailsAloneOnAnotherModel)
{
    Simulator radios({"--save", Path("radio-{n}.dat")}, 2);
    // Taken off, the radio answers nothing; another one is plugged in its place.
    EXPECT_EQ(radios.Command("unplug 2"), "radio 2 unplugged");
    EXPECT_EQ(Run({"info", "--port", radios.devices[1]}).status, 1);
    EXPECT_EQ(radios.Command("plug 2 " + Image("other.dat", "Q80104")), "radio 2 plugged in");
    CliRun r = Run(QStringList{"read", "-o", Path("unit-{n}.dat")} + Ports(radios.devices));
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(r.out, (radios.devices[0] + ": ok\n" + radios.devices[1] + ": ok\n").toUtf8());
    EXPECT_EQ(Contents(Path("unit-2.dat")).left(2000), Contents(Path("other.dat")).left(2000));

    const QString base = radios.devices[1].mid(radios.devices[1].lastIndexOf('/') + 1);
    r = Run(QStringList{"read", "-o", Path("by-{port}.dat")} + Ports(radios.devices));
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(Contents(Path("by-" + base.toUtf8() + ".dat")), Contents(Path("unit-2.dat")));

    const QString in = Image("in.dat");
    r = Run(QStringList{"write", in} + Ports(radios.devices));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, (radios.devices[0] + ": ok\n" + radios.devices[1] +
                      ": failed: Model type is wrong,are you sure to overwrite? no (--yes overwrites)\n")
                         .toUtf8());
    EXPECT_FALSE(QFile::exists(Path("radio-2.dat")));
    r = Run(QStringList{"write", in, "--yes"} + Ports(radios.devices));
    EXPECT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(Contents(Path("radio-2.dat")).left(2000), Contents(in).left(2000));
}

// Both radios on their ports at the start; two units; each radio holds the
// unit its line names, and the run ends when the units are used up.
TEST_F(ManyRadios, BatchGivesEachRadioItsUnitAndEndsWhenTheUnitsAreUsedUp)
{
    Simulator radios({"--save", Path("radio-{n}.dat")}, 2);
    WriteFile(Path("units.csv"), "unit,idCode,message1\nU1,111,FIRST\nU2,222,\"SECOND, TOO\"\n");
    const CliRun r = Run(QStringList{"batch", Image("golden.dat"), "--units", Path("units.csv"), "--verify"} +
                         Ports(radios.devices));
    ASSERT_EQ(r.status, 0) << r.err.constData();
    const QStringList lines = QString::fromUtf8(r.out).split('\n');
    ASSERT_EQ(lines.size(), 5) << r.out.constData();
    EXPECT_EQ(lines.mid(2), (QStringList{"no units left", "programmed 2, failed 0", ""}));
    // Which radio took which unit depends on which answered first.
    QSet<QString> ids;
    for (int n = 1; n <= 2; ++n) {
        const QString saved = Path(QStringLiteral("radio-%1.dat").arg(n).toUtf8().constData());
        const bool first = Member(saved, "idCode") == "111";
        ids.insert(Member(saved, "idCode"));
        EXPECT_EQ(Member(saved, "message1"), first ? "FIRST" : "SECOND, TOO");
        EXPECT_TRUE(lines.contains(radios.devices[n - 1] + (first ? " unit U1" : " unit U2") + ": ok, verified"));
    }
    EXPECT_EQ(ids, (QSet<QString>{"111", "222"})) << r.out.constData();
    // Read, write and verify of each radio are in the job log.
    EXPECT_EQ(Log().size(), 6u);
}

// A radio of another model is refused and left as it was; Ctrl+C then ends
// the run with its total. With --yes the same radio is written.
TEST_F(ManyRadios, BatchRefusesARadioOfAnotherModelAndStopsOnInterrupt)
{
    Simulator radios({"--save", Path("radio-{n}.dat"), "--model", "Q80104"}, 1);
    const QString golden = Image("golden.dat");
    QProcess batch;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), Home());
    batch.setProcessEnvironment(environment);
    batch.start(QStringLiteral(ZEMTRA_CLI), {"batch", golden, "--port", radios.devices[0]});
    while (!batch.canReadLine() && batch.waitForReadyRead(20000)) {
    }
    EXPECT_EQ(batch.readLine(), radios.devices[0].toUtf8() +
                                    " unit 1: failed: Model type is wrong: the radio is Q80104, the golden image "
                                    "Q80103\n");
    ::kill(pid_t(batch.processId()), SIGINT);
    ASSERT_TRUE(batch.waitForFinished(10000));
    EXPECT_EQ(batch.exitCode(), 1);
    EXPECT_EQ(batch.readAllStandardOutput(), "programmed 0, failed 1\n");
    EXPECT_TRUE(batch.readAllStandardError().contains("--yes writes radios of another model too"));
    EXPECT_FALSE(QFile::exists(Path("radio-1.dat")));

    const CliRun r = Run({"batch", golden, "--port", radios.devices[0], "--yes", "--count", "1"});
    EXPECT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(r.out, radios.devices[0].toUtf8() + " unit 1: ok\nprogrammed 1, failed 0\n");
    EXPECT_EQ(Contents(Path("radio-1.dat")).left(2000), Contents(golden).left(2000));
}

} // namespace
