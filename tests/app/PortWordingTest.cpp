// The window's words for a port that cannot be used, and for the connection
// report, in both languages, from fabricated diagnoses.
#include <sys/stat.h>

#include <cerrno>

#include "../FakePorts.h"
#include "AppTestKit.h"
#include "ui/PortWording.h"

namespace {

using namespace PortWording;
using namespace fakeports;

QString S(const char* utf8) { return QString::fromUtf8(utf8); }

class PortWordingTest : public ::testing::Test {
protected:
    void TearDown() override { SetLanguageFlag(1); }
    // Runs check once in English and once in Chinese.
    template <class Check>
    void InBoth(Check check)
    {
        for (int chinese : {0, 1}) {
            SCOPED_TRACE(chinese ? "Chinese" : "English");
            SetLanguageFlag(chinese);
            check(chinese == 1);
        }
    }
};

TEST_F(PortWordingTest, AnAbsentDeviceListsWhatIsPresentAndSaysToPlugIn)
{
    PortDiagnosis d = Refused(PortCause::Absent, ENOENT, "/dev/ttyUSB3");
    InBoth([&](bool zh) {
        EXPECT_EQ(FailureLines(d), zh ? QStringList({S("/dev/ttyUSB3: 没有这个设备。"), S("没有找到任何串口设备。"), S("请插上编程线。")})
                                      : QStringList({"/dev/ttyUSB3: no such device.", "No serial device is present.",
                                                     "Plug in the programming cable."}));
    });

    d.present = {Ch340Cable()};
    InBoth([&](bool zh) {
        const QStringList lines = FailureLines(d);
        ASSERT_EQ(lines.size(), 5);
        EXPECT_EQ(lines[1], zh ? S("已连接的串口设备:") : S("Serial devices present:"));
        EXPECT_EQ(lines[2], S("  /dev/ttyUSB0 (COM1): QinHeng Electronics USB Serial, USB 1a86:7523 (WCH CH340/CH341), ") +
                                (zh ? S("驱动 ch341") : S("driver ch341")));
        EXPECT_EQ(lines[3], S("    /dev/serial/by-id/usb-1a86_USB_Serial-if00-port0"));
        EXPECT_TRUE(lines[4].contains(zh ? S("设置 → 通讯端口") : S("Setup → Communication Port"))) << lines[4];
    });
}

TEST_F(PortWordingTest, PermissionNamesTheDevicesGroupAndTheSessionsStanding)
{
    // The group is the device's own, whatever it is called.
    InBoth([&](bool zh) {
        const QStringList lines = FailureLines(PermissionDenied(GroupStanding::NotMember, "uucp"));
        ASSERT_EQ(lines.size(), 2);
        EXPECT_EQ(lines[0], zh ? S("/dev/ttyUSB0: 没有打开权限;它属于 'uucp' 组(crw-rw---- root:uucp)。")
                               : S("/dev/ttyUSB0: permission denied; it belongs to group 'uucp' (crw-rw---- root:uucp)."));
        EXPECT_EQ(lines[1], zh ? S("请把自己加入 'uucp' 组:sudo usermod -aG uucp $USER,然后注销并重新登录。")
                               : S("Add yourself to group 'uucp': sudo usermod -aG uucp $USER, then log out and in again."));
    });
    // Already added, but this session is older than that; a node its group
    // may not write, where joining the group would not help; in the group
    // and still refused.
    SetLanguageFlag(0);
    const QString newer = FailureLines(PermissionDenied(GroupStanding::NeedsNewSession)).value(1);
    EXPECT_TRUE(newer.contains("in group 'dialout' already")) << newer;
    EXPECT_TRUE(newer.contains("newgrp dialout")) << newer;
    const QString rootOnly = FailureLines(PermissionDenied(GroupStanding::NotMember, "dialout", S_IFCHR | 0600)).value(1);
    EXPECT_TRUE(rootOnly.contains("only root can open it")) << rootOnly;
    EXPECT_TRUE(rootOnly.contains("60-zemtra800.rules")) << rootOnly;
    for (const QString& advice : {newer, rootOnly})
        EXPECT_FALSE(advice.contains("usermod")) << advice;
    EXPECT_TRUE(FailureLines(PermissionDenied(GroupStanding::InSession)).value(1).contains("access list or security module"));
}

TEST_F(PortWordingTest, ABusyPortNamesItsHoldersAndHowToFreeAGrabbedCable)
{
    PortDiagnosis d = HeldByBrlttyAndMinicom();
    InBoth([&](bool zh) {
        const QStringList lines = FailureLines(d);
        ASSERT_EQ(lines.size(), 4) << lines.join('\n');
        EXPECT_EQ(lines[0], zh ? S("/dev/ttyUSB0: 正被其他程序使用:进程 812 (brltty: /sbin/brltty -B), 进程 900 (minicom)。")
                               : S("/dev/ttyUSB0: in use by another program: pid 812 (brltty: /sbin/brltty -B), "
                                   "pid 900 (minicom)."));
        EXPECT_EQ(lines[1], zh ? S("brltty 占用了编程线,可用以下命令解除:sudo apt remove brltty")
                               : S("brltty holds the cable; free it with: sudo apt remove brltty"));
        // brltty once, as the holder; ModemManager as a running grabber, with its stop command.
        EXPECT_TRUE(lines[3].startsWith(zh ? S("ModemManager 正在运行(进程 77)") : S("ModemManager is running (pid 77)")));
        EXPECT_TRUE(lines[3].contains("sudo systemctl stop ModemManager"));
    });

    // Held by another user's program, which this user cannot see.
    d.holders.clear();
    d.grabbers.clear();
    SetLanguageFlag(0);
    EXPECT_TRUE(FailureLines(d).value(0).contains("could not be named"));
    EXPECT_TRUE(FailureLines(d).value(0).contains("sudo zemtra800-cli doctor --port /dev/ttyUSB0"));
}

TEST_F(PortWordingTest, AGoneAdapterIsToBeRepluggedAndOtherErrorsKeepTheSystemsWords)
{
    PortDiagnosis d = Refused(PortCause::Gone, EIO);
    d.grabbers = {{"brltty", 5, "sudo apt remove brltty"}};
    InBoth([&](bool zh) {
        const QStringList lines = FailureLines(d);
        ASSERT_EQ(lines.size(), 3);
        EXPECT_TRUE(lines[0].startsWith(zh ? S("/dev/ttyUSB0: 适配器已不在(") : S("/dev/ttyUSB0: the adapter has gone away (")));
        EXPECT_TRUE(lines[1].startsWith(zh ? S("请拔下编程线再插上") : S("Unplug the cable and plug it in again")));
        // brltty is what makes CH340 cables vanish.
        EXPECT_TRUE(lines[2].startsWith(zh ? S("brltty 正在运行(进程 5)") : S("brltty is running (pid 5)")));
    });

    // An error the diagnosis has no cause for keeps the system's words.
    d = Refused(PortCause::Other, ENOTTY, "/dev/ttyUSB2");
    SetLanguageFlag(0);
    EXPECT_EQ(FailureLines(d).size(), 1);
    EXPECT_TRUE(FailureLines(d).value(0).startsWith("/dev/ttyUSB2: "));
}

TEST_F(PortWordingTest, TheReportNamesEveryDeviceItsAccessAndItsHolders)
{
    ConnectionFacts facts;
    facts.user = "tech";
    facts.userId = 1000;
    facts.sessionGroups = {"tech", "plugdev"};
    DeviceFacts cable;
    cable.device = Ch340Cable();
    cable.owner = "root";
    cable.group = "dialout";
    cable.access = DeviceAccess::NotMember;
    cable.holders = {{4242, "ModemManager", "/usr/sbin/ModemManager"}};
    DeviceFacts uart;
    uart.device.path = "/dev/ttyS0";
    uart.device.portNumber = 17;
    uart.device.driver = "serial";
    uart.device.mode = S_IFCHR | 0660;
    uart.owner = "root";
    uart.group = "dialout";
    uart.access = DeviceAccess::NeedsNewSession;
    facts.devices = {cable, uart};
    facts.grabbers = {{"ModemManager", 4242, "sudo systemctl stop ModemManager"}};

    InBoth([&](bool zh) {
        const QString report = ReportLines(facts).join('\n');
        const QStringList expected = zh ? QStringList{
            S("用户: tech (uid 1000),本次登录所属的组: tech, plugdev\n串口设备:\n"),
            S("  /dev/ttyUSB0 (COM1): QinHeng Electronics USB Serial, USB 1a86:7523 (WCH CH340/CH341), 驱动 ch341\n"
              "    固定名称: /dev/serial/by-id/usb-1a86_USB_Serial-if00-port0\n"
              "    权限: crw-rw---- root:dialout;请把自己加入 'dialout' 组:sudo usermod -aG dialout $USER"),
            S("    占用者: 进程 4242 (ModemManager: /usr/sbin/ModemManager) (sudo systemctl stop ModemManager)\n"),
            S("  /dev/ttyS0 (COM17): 主板串口, 驱动 serial\n    权限: crw-rw---- root:dialout;您已在 'dialout' 组中"),
            S("    占用者: 没有其他程序\nbrltty: 未运行。\nModemManager: 正在运行(进程 4242)"),
        } : QStringList{
            S("User: tech (uid 1000), groups of this session: tech, plugdev\nSerial devices:\n"),
            S("  /dev/ttyUSB0 (COM1): QinHeng Electronics USB Serial, USB 1a86:7523 (WCH CH340/CH341), driver ch341\n"
              "    stable name: /dev/serial/by-id/usb-1a86_USB_Serial-if00-port0\n"
              "    access: crw-rw---- root:dialout; Add yourself to group 'dialout': sudo usermod -aG dialout $USER"),
            S("    held by: pid 4242 (ModemManager: /usr/sbin/ModemManager) (sudo systemctl stop ModemManager)\n"),
            S("  /dev/ttyS0 (COM17): built-in port, driver serial\n"
              "    access: crw-rw---- root:dialout; You are in group 'dialout' already"),
            S("    held by: no other program\nbrltty: not running.\nModemManager: running (pid 4242)"),
        };
        for (const QString& part : expected)
            EXPECT_TRUE(report.contains(part)) << report << "\n--- lacks ---\n" << part;
    });

    facts.devices.clear();
    SetLanguageFlag(0);
    EXPECT_TRUE(ReportLines(facts).join('\n').contains("Serial devices:\n  none found: plug in the programming cable"));
}

TEST_F(PortWordingTest, ThePortsPartSaysWhetherItOpensAndWhatCameBack)
{
    PortCheck c;
    c.device = "/dev/ttyUSB0";
    c.portNumber = 1;
    c.opened = true;
    c.probed = true;
    c.probe.receivedCount = 11;
    c.probe.identified = true;
    c.probe.closed = true;
    c.verdict = ProbeVerdict::RadioAnswered;
    c.modelCode = "Q7200B";
    c.band = "UHF:400-440MHz";
    InBoth([&](bool zh) {
        EXPECT_EQ(PortCheckLines(c),
                  zh ? QStringList({S("端口 /dev/ttyUSB0 (COM1):"), S("  端口可以打开;已发送联机握手。"), S("  收到 11 个字节。"),
                                    S("  对讲机已应答:型号代码 Q7200B,UHF:400-440MHz。端口正确。")})
                     : QStringList({"Port /dev/ttyUSB0 (COM1):", "  It opens; the opening exchange was sent.",
                                    "  11 byte(s) came back.",
                                    "  A radio answered: model code Q7200B, UHF:400-440MHz. The port is right."}));
        EXPECT_EQ(PortCheckSummary(c), zh ? S("对讲机在 /dev/ttyUSB0 上应答了。") : S("A radio answered on /dev/ttyUSB0."));
    });

    // Each verdict has words of its own in both languages.
    QStringList seen;
    for (ProbeVerdict v : {ProbeVerdict::LineLost, ProbeVerdict::NothingCameBack, ProbeVerdict::OnlyEcho,
                           ProbeVerdict::SomethingElse}) {
        c.verdict = v;
        InBoth([&](bool) {
            const QString last = PortCheckLines(c).last();
            EXPECT_FALSE(seen.contains(last)) << last;
            seen << last;
        });
    }

    // It could not be opened: the window's port message, indented.
    c.opened = false;
    c.failure.device = c.device;
    c.failure.error = EBUSY;
    c.failure.cause = PortCause::Busy;
    c.failure.holders = {{900, "minicom", "minicom -D /dev/ttyUSB0"}};
    InBoth([&](bool zh) {
        const QStringList lines = PortCheckLines(c);
        ASSERT_GE(lines.size(), 4);
        EXPECT_EQ(lines[1], zh ? S("  COM1初始化错误,请重新选择COM口!") : S("  Failed to open COM1,Please select COM port again!"));
        EXPECT_TRUE(lines[2].contains("minicom -D /dev/ttyUSB0")) << lines[2];
        EXPECT_EQ(PortCheckSummary(c), zh ? S("/dev/ttyUSB0 无法打开。") : S("/dev/ttyUSB0 cannot be opened."));
    });
}

} // namespace
