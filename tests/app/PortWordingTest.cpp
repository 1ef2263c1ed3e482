// The window's words for a port that cannot be used, and for the connection
// report, from fabricated diagnoses (in English: the Chinese goes through the
// same Lang() calls).
#include <sys/stat.h>

#include <cerrno>

#include "../FakePorts.h"
#include "AppTestKit.h"
#include "ui/PortWording.h"

namespace {

using namespace PortWording;
using namespace fakeports;

QString S(const char* utf8) { return QString::fromUtf8(utf8); }

// The parts expected in a text; "!" before a part: it must not be there.
using Wording = std::vector<const char*>;

class PortWordingTest : public ::testing::Test {
protected:
    void TearDown() override { SetLanguageFlag(1); }
    // text() in the language holds the parts.
    template <class Text>
    static void ExpectSaid(Text text, const Wording& parts, int chinese = 0)
    {
        SetLanguageFlag(chinese);
        const QString said = text();
        for (const char* part : parts) {
            if (part[0] == '!')
                EXPECT_FALSE(said.contains(S(part + 1))) << said << "\n--- has ---\n" << part + 1;
            else
                EXPECT_TRUE(said.contains(S(part))) << said << "\n--- lacks ---\n" << part;
        }
    }
};

TEST_F(PortWordingTest, EachCauseIsNamedWithWhatToDo)
{
    PortDiagnosis absentWithCable = Refused(PortCause::Absent, ENOENT, "/dev/ttyUSB3");
    absentWithCable.present = {Ch340Cable()};
    PortDiagnosis gone = Refused(PortCause::Gone, EIO);
    gone.grabbers = {{"brltty", 5, "sudo apt remove brltty"}};
    const struct {
        const char* what;
        PortDiagnosis d;
        Wording w;
    } cases[] = {
        {"absent, nothing present", Refused(PortCause::Absent, ENOENT, "/dev/ttyUSB3"),
         {"/dev/ttyUSB3: no such device.\nNo serial device is present.\nPlug in the programming cable."}},
        {"absent, a cable present", absentWithCable,
         {"Serial devices present:\n  /dev/ttyUSB0 (COM1): QinHeng Electronics USB Serial, USB 1a86:7523 "
          "(WCH CH340/CH341), driver ch341\n    /dev/serial/by-id/usb-1a86_USB_Serial-if00-port0\n",
          "Setup → Communication Port"}},
        // The group is the device's own, whatever it is called.
        {"not in the group", PermissionDenied(GroupStanding::NotMember, "uucp"),
         {"/dev/ttyUSB0: permission denied; it belongs to group 'uucp' (crw-rw---- root:uucp).\n"
          "Add yourself to group 'uucp': sudo usermod -aG uucp $USER, then log out and in again."}},
        {"added, session older", PermissionDenied(GroupStanding::NeedsNewSession),
         {"in group 'dialout' already", "newgrp dialout", "!usermod"}},
        // brltty once, as the holder; ModemManager as a running grabber.
        {"busy", HeldByBrlttyAndMinicom(),
         {"/dev/ttyUSB0: in use by another program: pid 812 (brltty: /sbin/brltty -B), pid 900 (minicom).\n"
          "brltty holds the cable; free it with: sudo apt remove brltty\n",
          "ModemManager is running (pid 77)", "sudo systemctl stop ModemManager", "!brltty is running"}},
        // brltty is what makes CH340 cables vanish.
        {"adapter gone", gone,
         {"/dev/ttyUSB0: the adapter has gone away (", "\nUnplug the cable and plug it in again",
          "\nbrltty is running (pid 5)"}},
        {"no known cause: the system's words", Refused(PortCause::Other, ENOTTY, "/dev/ttyUSB2"),
         {"/dev/ttyUSB2: ", "!\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectSaid([&] { return FailureLines(c.d).join('\n'); }, c.w);
    }
}

TEST_F(PortWordingTest, TheReportNamesEveryDeviceItsAccessAndItsHolders)
{
    ConnectionFacts facts;
    facts.user = "tech";
    facts.userId = 1000;
    facts.sessionGroups = {"tech", "plugdev"};
    facts.devices = {{Ch340Cable(), "root", "dialout", DeviceAccess::NotMember,
                      {{4242, "ModemManager", "/usr/sbin/ModemManager"}}}};
    facts.grabbers = {{"ModemManager", 4242, "sudo systemctl stop ModemManager"}};
    ExpectSaid([&] { return ReportLines(facts).join('\n'); },
               {"User: tech (uid 1000), groups of this session: tech, plugdev\nSerial devices:\n",
                "  /dev/ttyUSB0 (COM1): QinHeng Electronics USB Serial, USB 1a86:7523 (WCH CH340/CH341), driver ch341\n"
                "    stable name: /dev/serial/by-id/usb-1a86_USB_Serial-if00-port0\n"
                "    access: crw-rw---- root:dialout; Add yourself to group 'dialout': sudo usermod -aG dialout $USER",
                "    held by: pid 4242 (ModemManager: /usr/sbin/ModemManager) (sudo systemctl stop ModemManager)\n",
                "\nbrltty: not running.\nModemManager: running (pid 4242)"});
    facts.devices.clear();
    ExpectSaid([&] { return ReportLines(facts).join('\n'); },
               {"Serial devices:\n  none found: plug in the programming cable"});
}

TEST_F(PortWordingTest, ThePortsPartSaysWhetherItOpensAndWhatCameBack)
{
    PortCheck c;
    c.device = "/dev/ttyUSB0";
    c.portNumber = 1;
    c.opened = c.probed = c.probe.identified = c.probe.closed = true;
    c.probe.receivedCount = 11;
    c.verdict = ProbeVerdict::RadioAnswered;
    c.modelCode = "Q7200B";
    c.band = "UHF:400-440MHz";
    // The English is the check dialog's (tested with it).
    ExpectSaid([&] { return (PortCheckLines(c) << PortCheckSummary(c)).join('\n'); },
               {"端口 /dev/ttyUSB0 (COM1):\n  端口可以打开;已发送联机握手。\n  收到 11 个字节。\n"
                "  对讲机已应答:型号代码 Q7200B,UHF:400-440MHz。端口正确。\n对讲机在 /dev/ttyUSB0 上应答了。"}, 1);

    // It could not be opened: the window's port message, indented.
    c.opened = false;
    c.failure = Refused(PortCause::Busy, EBUSY);
    c.failure.holders = {{900, "minicom", "minicom -D /dev/ttyUSB0"}};
    ExpectSaid([&] { return (PortCheckLines(c) << PortCheckSummary(c)).join('\n'); },
               {"\n  Failed to open COM1,Please select COM port again!\n", "minicom -D /dev/ttyUSB0",
                "\n/dev/ttyUSB0 cannot be opened."});
}

} // namespace
