// End-to-end tests of zemtra800-cli read, write, info and simulate: a
// simulated radio runs as its own process and the commands talk to it.
#include <sys/resource.h>

#include "CliTestKit.h"

namespace {

using RadioCommands = CliTest;

TEST_F(RadioCommands, WriteAsksAboutTheModelThenReadGetsItBack)
{
    Simulator radio({"--model", "Q80104", "--save", Path("saved.dat")});
    ASSERT_TRUE(radio.device.startsWith("/dev/")) << radio.device.toStdString();
    const QByteArray image = Contents(Made("new.dat")); // model Q80103

    CliRun r = Cli({"write", "--port", radio.device, Path("new.dat")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Model type is wrong,are you sure to overwrite?"));
    EXPECT_TRUE(r.out.isEmpty()) << r.out.constData();
    EXPECT_FALSE(QFile::exists(Path("saved.dat"))); // nothing was written

    // One line on stdout although stderr is no terminal; no trace, no bar on the read's.
    r = Cli({"write", "--port", radio.device, Path("new.dat"), "--yes"});
    EXPECT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(r.out, "wrote 2000 bytes to " + radio.device.toUtf8() + "\n");
    EXPECT_EQ(Contents(Path("saved.dat")).left(2000), image.left(2000));
    // The write gave the radio the file's model code with the rest.
    ExpectRun(Cli({"read", "--port", radio.device, "-o", Path("out.dat")}), 0,
              "read 2048 bytes from " + radio.device.toUtf8() + " (Q80103, UHF:450-470MHz) into " +
                  Path("out.dat").toUtf8() + "\n");
    const QByteArray read = Contents(Path("out.dat"));
    EXPECT_EQ(read.left(2000), image.left(2000));
    EXPECT_EQ(read.mid(2000), Contents(Path("saved.dat")).mid(2000));
    EXPECT_EQ(radio.Stop(), 0);
}

// A pulled cable: the line closes mid-job. After the job's failure message
// one line names the device; no port warning, never "Port: 0".
TEST_F(RadioCommands, PortThatGoesAwayMidJobIsNamedOnce)
{
    Made("new.dat");
    WriteFile(Path("keep.dat"), "keep me");
    const struct {
        QStringList arguments;
        QByteArray said;
    } jobs[] = {
        {{"read", "-o", Path("keep.dat")}, ": the port went away during the read.\n"},
        {{"write", Path("new.dat")}, ": the port went away during the write; the radio may be half-programmed.\n"},
    };
    for (const auto& job : jobs) {
        SCOPED_TRACE(job.arguments.first().toStdString());
        Simulator radio({"--hang-up-after", "3", "--close-line"});
        ExpectRun(Cli(job.arguments + QStringList{"--port", radio.device}), 1, {},
                  "Communication failed,please try again!\n" + radio.device.toUtf8() + job.said);
        EXPECT_EQ(Contents(Path("keep.dat")), QByteArray("keep me"));
    }
}

// The wake-up never goes to a console or to the user's own terminal.
TEST_F(RadioCommands, TheProgramsOwnTerminalIsRefused)
{
    // Run as from a terminal: the pseudo-terminal is the program's
    // controlling terminal, under its own name (/dev/tty and links to it are
    // the port rule's own test). Other pseudo-terminals pass: every
    // simulated radio is one.
    const Pty pty;
    const QByteArray own = pty.path;
    QProcess process;
    process.setChildProcessModifier([&own] {
        if (::setsid() >= 0)
            ::open(own.constData(), O_RDWR); // becomes the controlling terminal
    });
    process.start(QStringLiteral(ZEMTRA_CLI), {"info", "--port", QString::fromUtf8(own)});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_EQ(process.readAllStandardError(),
              "zemtra800-cli: info: " + own + " is the terminal this program runs in, not the radio's serial port.\n");
}

// Exit 3 when the simulator cannot make its pseudo-terminal, as for any port
// that cannot be had (1 would mean the radio did not answer).
TEST_F(RadioCommands, SimulateThatCannotMakeItsTerminalExits3)
{
    // Too few descriptors for the pseudo-terminal. Qt itself needs a few to
    // start; count up until the simulator gets as far as its terminal.
    bool reached = false;
    for (rlim_t files = 4; files <= 12 && !reached; ++files) {
        QProcess process;
        process.setChildProcessModifier([files] {
            const rlimit limit{files, files};
            ::setrlimit(RLIMIT_NOFILE, &limit);
        });
        process.start(QStringLiteral(ZEMTRA_CLI), {"simulate"});
        ASSERT_TRUE(process.waitForStarted());
        if (process.waitForFinished(1000)) {
            const QByteArray err = process.readAllStandardError();
            if (!err.startsWith("zemtra800-cli: simulate: "))
                continue; // stopped before the simulator ran
            reached = true;
            EXPECT_EQ(process.exitCode(), 3) << err.constData();
            EXPECT_EQ(err.count('\n'), 1) << err.constData();
            EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
        } else {
            process.terminate(); // enough descriptors: it serves
            process.waitForFinished(3000);
            break;
        }
    }
    EXPECT_TRUE(reached) << "no descriptor limit made the pseudo-terminal fail";
}

TEST_F(RadioCommands, PortsThatCannotBeOpenedExit3)
{
    const CliRun r = Cli({"read", "--port", "/dev/zemtra-no-such-port", "-o", Path("x.dat")});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.err.startsWith("Failed to open /dev/zemtra-no-such-port,Please select COM port again!\n"))
        << r.err.constData();
    EXPECT_FALSE(QFile::exists(Path("x.dat")));

    EXPECT_EQ(Cli({"ports"}).status, 0);
}

} // namespace
