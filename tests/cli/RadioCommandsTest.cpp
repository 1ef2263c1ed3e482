// End-to-end tests of zemtra800-cli read, write, info and simulate: a
// simulated radio runs as its own process and the commands talk to it.
#include "CliTestKit.h"

namespace {

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

using RadioCommands = CliTest;

TEST_F(RadioCommands, WriteAsksAboutTheModelThenReadGetsItBack)
{
    Simulator radio({"--model", "Q80104", "--save", Path("saved.dat")});
    ASSERT_TRUE(radio.device.startsWith("/dev/")) << radio.device.toStdString();
    ASSERT_EQ(Cli({"new", "-o", Path("new.dat")}).status, 0); // model Q80103
    const QByteArray image = Contents(Path("new.dat"));

    CliRun r = Cli({"write", "--port", radio.device, Path("new.dat")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Model type is wrong,are you sure to overwrite?"));
    EXPECT_TRUE(r.err.contains("Communication failed,please try again!\n"));
    EXPECT_FALSE(QFile::exists(Path("saved.dat"))); // nothing was written

    r = Cli({"write", "--port", radio.device, Path("new.dat"), "--yes"});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(Contents(Path("saved.dat")).left(2000), image.left(2000));

    r = Cli({"read", "--port", radio.device, "-o", Path("out.dat")});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    const QByteArray read = Contents(Path("out.dat"));
    ASSERT_EQ(read.size(), 2048);
    EXPECT_EQ(read.left(2000), image.left(2000));
    EXPECT_EQ(read.mid(2000), Contents(Path("saved.dat")).mid(2000));
    EXPECT_TRUE(r.err.isEmpty()) << r.err.constData(); // no trace, no bar off a terminal
    EXPECT_EQ(radio.Stop(), 0);
}

TEST_F(RadioCommands, HangUpMidReadLeavesTheOutputAsItWas)
{
    Simulator radio({"--hang-up-after", "3"});
    WriteFile(Path("keep.dat"), "keep me");

    CliRun r = Cli({"read", "--port", radio.device, "-o", Path("keep.dat"), "--trace"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.endsWith("Communication failed,please try again!\n")) << r.err.constData();
    EXPECT_TRUE(r.err.startsWith("Tr : 50 52 4F 47 52 41 4D \nRe : 06 \nTr : 02 \n")) << r.err.constData();
    EXPECT_EQ(Contents(Path("keep.dat")), QByteArray("keep me"));
}

TEST_F(RadioCommands, InfoPrintsTypeAndBand)
{
    Simulator radio({"--model", "Q7200B", "--stray-bytes", "1"});
    CliRun r = Cli({"info", "--port", radio.device});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_TRUE(r.out.startsWith("Type: HX7200L2\nFrequency: UHF:400-440MHz\n")) << r.out.constData();
}

TEST_F(RadioCommands, PortAndUsageErrors)
{
    CliRun r = Cli({"read", "--port", "/dev/zemtra-no-such-port", "-o", Path("x.dat")});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.err.startsWith("Failed to open /dev/zemtra-no-such-port,Please select COM port again!\n"))
        << r.err.constData();
    EXPECT_FALSE(QFile::exists(Path("x.dat")));

    r = Cli({"info", "--port", "/dev/null"}); // not a serial line
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.err.startsWith("WARNING:  tcgetattr() Failed with the following error: \n")) << r.err.constData();

    EXPECT_EQ(Cli({"ports"}).status, 0);

    const QString out = Path("out.dat");
    WriteFile(out, "keep me");
    const struct {
        QStringList arguments;
        QByteArray named;
    } cases[] = {
        {{"read", "--port", "99", "-o", out}, "'99'"},
        {{"read", "-o", out}, "--port"},
        {{"read", "--port", "1"}, "-o OUT.dat"},
        {{"read", "--port", "1", "-o", Path("no/such/folder/x.dat")}, "no/such/folder"},
        {{"write", "--port", "1", Path("missing.dat")}, "missing.dat"},
        {{"simulate", "--hang-up-after", "soon"}, "count"},
        {{"simulate", "--image", Path("missing.dat")}, "missing.dat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        ExpectBadInput(Cli(c.arguments), c.named, out);
    }
}

} // namespace
