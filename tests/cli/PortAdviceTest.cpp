// What the command-line tool says when a port cannot be opened, and the
// doctor's report, from fabricated diagnoses and on pseudo-terminals.
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "../FakePorts.h"
#include "CliTestKit.h"
#include "cli/PortAdvice.h"

namespace {

using namespace fakeports;

// The advice (joined, a line end after each line) holds every part given and
// none of the parts after "!" (those would send the user the wrong way).
::testing::AssertionResult Says(const PortDiagnosis& d, std::initializer_list<std::string> parts)
{
    std::string text;
    for (const std::string& line : PortFailureAdvice(d))
        text += line + "\n";
    for (const std::string& part : parts) {
        const bool absent = part.front() == '!';
        if ((text.find(absent ? part.substr(1) : part) == std::string::npos) != absent)
            return ::testing::AssertionFailure() << (absent ? "has " : "lacks ") << part << " in:\n" << text;
    }
    return ::testing::AssertionSuccess();
}

TEST(PortAdvice, PermissionNamesTheGroupAndWhatToDo)
{
    EXPECT_TRUE(Says(PermissionDenied(GroupStanding::NeedsNewSession),
                     {"in group 'dialout' already, but this session began before you were added", "!usermod"}));
    // A node only root may open: joining its group would not help.
    EXPECT_TRUE(Says(PermissionDenied(GroupStanding::NotMember, "root", S_IFCHR | 0600, 0),
                     {"only root can open it", "60-zemtra800.rules", "!usermod"}));
}

TEST(PortAdvice, BusyNamesTheHolderAndRemovesAKnownGrabber)
{
    const PortDiagnosis d = HeldByBrlttyAndMinicom();
    // brltty once, as the holder; ModemManager as a running grabber.
    EXPECT_TRUE(Says(d, {"in use by another program: pid 812 (brltty: /sbin/brltty -B), pid 900 (minicom).\n",
                         "brltty holds the cable; sudo apt remove brltty\n", "nothing was sent",
                         "ModemManager is running (pid 77)", "!brltty is running"}));
}

TEST(PortAdvice, AbsentListsTheDevicesAndGoneSaysReplug)
{
    PortDiagnosis d = Refused(PortCause::Absent, ENOENT, "/dev/ttyUSB1");
    EXPECT_TRUE(Says(d, {"/dev/ttyUSB1: no such device.\nNo serial device is present.\nPlug in the programming cable"}));
    // brltty is what makes CH340 cables vanish.
    d.present = {Ch340Cable()};
    d.grabbers = {{"brltty", 5, "sudo apt remove brltty"}};
    EXPECT_TRUE(Says(d, {"Serial devices present:\n  /dev/ttyUSB0 (COM1): QinHeng Electronics USB Serial, USB "
                         "1a86:7523 (WCH CH340/CH341), driver ch341\n    /dev/serial/by-id/usb-1a86_USB_Serial-if00-port0\n",
                         "brltty is running (pid 5)"}));
    d.cause = PortCause::Gone;
    d.error = ENXIO;
    EXPECT_TRUE(Says(d, {"/dev/ttyUSB1: the adapter has gone away (No such device or address).\n", "plug it in again"}));
}

// What reached the master side: the line hands bytes on a moment after they
// were written, so wait that moment for the first of them.
QByteArray Arrived(int master)
{
    pollfd p{master, POLLIN, 0};
    char buf[256];
    const ssize_t n = ::poll(&p, 1, 100) > 0 ? ::read(master, buf, sizeof buf) : 0;
    return n > 0 ? QByteArray(buf, n) : QByteArray();
}

TEST(Doctor, ReportsWhetherAnythingAnswersOnThePort)
{
    CliRun r;
    {
        Simulator radio({"--model", "Q7200B"});
        r = Cli({"doctor", "--port", radio.device});
        EXPECT_EQ(r.status, 0) << r.out.constData();
        EXPECT_TRUE(r.out.contains("\nPort " + radio.device.toUtf8() + ":\n  It opens.")) << r.out.constData();
        EXPECT_TRUE(r.out.contains("  11 bytes came back.\n  A radio answered: model code Q7200B, UHF:400-440MHz."))
            << r.out.constData();
    }
    {
        Simulator radio({"--silent"});
        r = Cli({"doctor", "--port", radio.device, "--trace"});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.contains("  0 bytes came back.\n  Nothing came back: the radio is off")) << r.out.constData();
        EXPECT_EQ(r.err.count("Tr : 50 52 4F 47 52 41 4D \n"), 3) << r.err.constData();
    }

    r = Cli({"doctor", "--port", "/dev/zemtra-no-such-port"});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.out.contains("  Failed to open /dev/zemtra-no-such-port,Please select COM port again!\n"
                               "  /dev/zemtra-no-such-port: no such device.\n"))
        << r.out.constData();
    EXPECT_EQ(Cli({"doctor", "--port", "/dev/tty0"}).status, 2); // a console is never probed
}

// Another program holds the line without locking it: the read is refused
// with its name, and not one byte reaches the line.
TEST(PortFailures, ABusyPortNamesItsHolderAndGetsNothing)
{
    Pty pty;
    ::fcntl(pty.master, F_SETFL, O_NONBLOCK);
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::open(pty.path.constData(), O_RDWR | O_NOCTTY);
        ::execl("/bin/sleep", "sleep", "30", static_cast<char*>(nullptr));
        ::_exit(9);
    }
    ::usleep(100000);
    QTemporaryDir dir;
    const CliRun r = Cli({"read", "--port", QString::fromUtf8(pty.path), "-o", dir.filePath("x.dat")});
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ExpectRun(r, 3, {},
              "Failed to open " + pty.path + ",Please select COM port again!\n" + pty.path +
                  ": in use by another program: pid " + QByteArray::number(holder) +
                  " (sleep: sleep 30).\nClose that program and try again; nothing was sent.\n");
    EXPECT_TRUE(Arrived(pty.master).isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("x.dat")));
}

// Run as user nobody on a line of group dialout: the real open's refusal is
// judged a permission fault, and the group is named with the command that
// adds the user to it; the exit status stays 3.
TEST(PortFailures, AUserOutsideTheDevicesGroupIsToldToJoinIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "switching to an unprivileged user needs root";
    Pty pty;
    const group* dialout = ::getgrnam("dialout");
    ASSERT_NE(dialout, nullptr);
    ASSERT_EQ(::chown(pty.path.constData(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(pty.path.constData(), 0660), 0);
    QProcess process;
    process.setChildProcessModifier([] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(100);
    });
    process.setWorkingDirectory(QStringLiteral("/"));
    // The user's home is not nobody's: no archive (it would only add a warning).
    process.start(QStringLiteral(ZEMTRA_CLI), {"info", "--port", QString::fromUtf8(pty.path), "--no-backup"});
    ASSERT_TRUE(process.waitForFinished(10000));
    const QByteArray err = process.readAllStandardError();
    EXPECT_EQ(process.exitCode(), 3) << err.constData();
    EXPECT_EQ(err, "Failed to open " + pty.path + ",Please select COM port again!\n" + pty.path +
                       ": permission denied; it belongs to group 'dialout' (crw-rw---- root:dialout).\n"
                       "Add yourself to group 'dialout': sudo usermod -aG dialout $USER, then log out and in again.\n");
}

} // namespace
