#include "ui/PortWording.h"

#include <cstring>

#include <sys/stat.h>

#include "ui/Language.h"

namespace PortWording {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QString SystemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString GrabberLine(const SerialGrabber& g)
{
    if (g.name == "brltty")
        return Lang("brltty is running (pid %1); it takes USB serial cables such as the CH340 for Braille "
                    "displays. Remove it: %2",
                    "brltty 正在运行(进程 %1);它会把 CH340 等 USB 串口线当作盲文显示器占用。请卸载它:%2")
            .arg(QString::number(g.pid), Q(g.remedy));
    return Lang("%1 is running (pid %2); it probes new serial devices. Stop it: %3 (the udev rule "
                "60-zemtra800.rules keeps it away from programming cables for good)",
                "%1 正在运行(进程 %2);它会探测新接入的串口设备。请停止它:%3(udev 规则 60-zemtra800.rules "
                "可让它永久不碰编程线)")
        .arg(Q(g.name), QString::number(g.pid), Q(g.remedy));
}

void AddGrabbers(const std::vector<SerialGrabber>& grabbers, QStringList& lines)
{
    for (const SerialGrabber& g : grabbers)
        lines << GrabberLine(g);
}

void AddPresent(const std::vector<SerialDevice>& present, QStringList& lines)
{
    if (present.empty()) {
        lines << Lang("No serial device is present.", "没有找到任何串口设备。");
        return;
    }
    lines << Lang("Serial devices present:", "已连接的串口设备:");
    for (const SerialDevice& device : present) {
        lines << QStringLiteral("  ") + DeviceLine(device);
        for (const std::string& name : device.byId)
            lines << QStringLiteral("    ") + Q(name);
    }
}

QString AccessText(const DeviceFacts& d)
{
    const QString group = Q(d.group);
    switch (d.access) {
    case DeviceAccess::Root: return Lang("you are root.", "您是 root。");
    case DeviceAccess::Owner: return Lang("it is yours.", "它属于您。");
    case DeviceAccess::OnlyOwner:
        return Lang("only its owner may open it (the udev rule 60-zemtra800.rules gives programming cables to "
                    "group 'dialout').",
                    "只有它的所有者能打开(udev 规则 60-zemtra800.rules 会把编程线交给 'dialout' 组)。");
    case DeviceAccess::InGroup: return Lang("you are in group '%1'.", "您在 '%1' 组中。").arg(group);
    case DeviceAccess::NeedsNewSession: return GroupAdvice(group, GroupStanding::NeedsNewSession);
    case DeviceAccess::NotMember: return GroupAdvice(group, GroupStanding::NotMember);
    }
    return {};
}

QString HoldersText(const std::vector<PortHolder>& holders)
{
    if (holders.empty())
        return Lang("no other program", "没有其他程序");
    QStringList names;
    for (const PortHolder& h : holders) {
        QString text = HolderText(h);
        const std::string remedy = GrabberRemedy(h.command);
        if (!remedy.empty())
            text += QStringLiteral(" (") + Q(remedy) + QLatin1Char(')');
        names << text;
    }
    return names.join(QStringLiteral(", "));
}

} // namespace

QString OpenFailedLine(int portNumber)
{
    return Lang("Failed to open COM%1,Please select COM port again!", "COM%1初始化错误,请重新选择COM口!")
        .arg(portNumber);
}

QString NodeText(mode_t mode, const QString& owner, const QString& group)
{
    QString text = S_ISCHR(mode) ? QStringLiteral("c") : (S_ISDIR(mode) ? QStringLiteral("d") : QStringLiteral("-"));
    const char letters[] = "rwx";
    for (int i = 8; i >= 0; --i)
        text += (mode & (1u << i)) ? QLatin1Char(letters[(8 - i) % 3]) : QLatin1Char('-');
    return text + QLatin1Char(' ') + owner + QLatin1Char(':') + group;
}

QString DeviceLine(const SerialDevice& device)
{
    QString line = Q(device.path);
    if (device.portNumber > 0)
        line += QStringLiteral(" (COM%1)").arg(device.portNumber);
    QStringList parts;
    const std::string name = AdapterName(device);
    if (!name.empty())
        parts << Q(name);
    if (!device.vendorId.empty()) {
        QString ids = QStringLiteral("USB %1:%2").arg(Q(device.vendorId), Q(device.productId));
        if (const CableId* cable = FindKnownCable(device.vendorId, device.productId))
            ids += QStringLiteral(" (%1)").arg(QString::fromLatin1(cable->chip));
        parts << ids;
    } else {
        parts << Lang("built-in port", "主板串口");
    }
    if (!device.driver.empty())
        parts << Lang("driver %1", "驱动 %1").arg(Q(device.driver));
    for (int i = 0; i < parts.size(); ++i)
        line += (i == 0 ? QStringLiteral(": ") : QStringLiteral(", ")) + parts[i];
    return line;
}

QString HolderText(const PortHolder& holder)
{
    QString text = Lang("pid %1 (%2", "进程 %1 (%2").arg(QString::number(holder.pid), Q(holder.command));
    if (!holder.commandLine.empty() && holder.commandLine != holder.command)
        text += QStringLiteral(": ") + Q(holder.commandLine);
    return text + QLatin1Char(')');
}

QString GroupAdvice(const QString& group, GroupStanding standing)
{
    switch (standing) {
    case GroupStanding::InSession: return {};
    case GroupStanding::NeedsNewSession:
        return Lang("You are in group '%1' already, but this session began before you were added: log out and "
                    "in again (or run 'newgrp %1' in a terminal and start the program from there).",
                    "您已在 '%1' 组中,但本次登录早于加入该组:请注销后重新登录(或在终端中运行 'newgrp %1',"
                    "再从该终端启动本程序)。")
            .arg(group);
    case GroupStanding::NotMember:
        return Lang("Add yourself to group '%1': sudo usermod -aG %1 $USER, then log out and in again.",
                    "请把自己加入 '%1' 组:sudo usermod -aG %1 $USER,然后注销并重新登录。")
            .arg(group);
    }
    return {};
}

QStringList FailureLines(const PortDiagnosis& d)
{
    QStringList lines;
    const QString device = Q(d.device);
    switch (d.cause) {
    case PortCause::None: return lines;
    case PortCause::Absent:
        lines << Lang("%1: no such device.", "%1: 没有这个设备。").arg(device);
        AddPresent(d.present, lines);
        if (d.present.empty())
            lines << Lang("Plug in the programming cable.", "请插上编程线。");
        else
            lines << Lang("Plug in the programming cable, or choose one of the devices present in Setup → "
                          "Communication Port.",
                          "请插上编程线,或在 设置 → 通讯端口 中选择已连接的设备。");
        AddGrabbers(d.grabbers, lines);
        break;
    case PortCause::Permission: {
        const AccessFacts& a = d.access;
        if (!a.nodeFound) {
            lines << Lang("%1: permission denied (%2).", "%1: 没有打开权限(%2)。").arg(device, SystemText(d.error));
            break;
        }
        const QString group = Q(a.group);
        lines << Lang("%1: permission denied; it belongs to group '%2' (%3).", "%1: 没有打开权限;它属于 '%2' 组(%3)。")
                     .arg(device, group, NodeText(a.mode, Q(a.owner), group));
        if (!a.groupGrantsAccess)
            lines << Lang("Its group may not read and write it, so only %1 can open it. The udev rule "
                          "60-zemtra800.rules gives the usual programming cables to group 'dialout'.",
                          "它的组没有读写权限,只有 %1 能打开它。udev 规则 60-zemtra800.rules 会把常用的编程线交给 "
                          "'dialout' 组。")
                         .arg(Q(a.owner));
        else if (a.standing == GroupStanding::InSession)
            lines << Lang("You are in group '%1' and still may not open it: an access list or security module "
                          "refuses it.",
                          "您已在 '%1' 组中,仍然无法打开:访问控制列表或安全模块拒绝了它。")
                         .arg(group);
        else
            lines << GroupAdvice(group, a.standing);
        break;
    }
    case PortCause::Busy: {
        if (d.holders.empty()) {
            lines << Lang("%1: in use by another program, which could not be named (another user's: "
                          "sudo zemtra800-cli doctor --port %1 names it).",
                          "%1: 正被其他程序使用,但无法得知是哪个程序(若属于其他用户,"
                          "运行 sudo zemtra800-cli doctor --port %1 可查到)。")
                         .arg(device);
        } else {
            QStringList who;
            for (const PortHolder& h : d.holders)
                who << HolderText(h);
            lines << Lang("%1: in use by another program: %2.", "%1: 正被其他程序使用:%2。")
                         .arg(device, who.join(QStringLiteral(", ")));
            for (const PortHolder& h : d.holders) {
                const std::string remedy = GrabberRemedy(h.command);
                if (!remedy.empty())
                    lines << Lang("%1 holds the cable; free it with: %2", "%1 占用了编程线,可用以下命令解除:%2")
                                 .arg(Q(h.command), Q(remedy));
            }
        }
        lines << Lang("Close that program and try again; nothing was sent.", "请关闭该程序后重试;没有发送任何数据。");
        // A grabber already named as the holder is not named twice.
        std::vector<SerialGrabber> others;
        for (const SerialGrabber& g : d.grabbers) {
            bool holds = false;
            for (const PortHolder& h : d.holders)
                holds = holds || h.pid == g.pid;
            if (!holds)
                others.push_back(g);
        }
        AddGrabbers(others, lines);
        break;
    }
    case PortCause::Gone:
        lines << Lang("%1: the adapter has gone away (%2).", "%1: 适配器已不在(%2)。").arg(device, SystemText(d.error));
        lines << Lang("Unplug the cable and plug it in again; Setup → Communication Port shows the name it comes "
                      "back as.",
                      "请拔下编程线再插上;设置 → 通讯端口 中可以看到它重新出现时的名称。");
        AddGrabbers(d.grabbers, lines);
        break;
    case PortCause::Other: lines << QStringLiteral("%1: %2").arg(device, SystemText(d.error)); break;
    }
    return lines;
}

QString FailureMessage(int portNumber, const PortDiagnosis& diagnosis)
{
    QStringList lines = FailureLines(diagnosis);
    lines.prepend(OpenFailedLine(portNumber));
    return lines.join(QLatin1Char('\n'));
}

QStringList ReportLines(const ConnectionFacts& facts)
{
    QStringList lines;
    QStringList groups;
    for (const std::string& g : facts.sessionGroups)
        groups << Q(g);
    lines << Lang("User: %1 (uid %2), groups of this session: %3", "用户: %1 (uid %2),本次登录所属的组: %3")
                 .arg(Q(facts.user), QString::number(facts.userId), groups.join(QStringLiteral(", ")));
    lines << Lang("Serial devices:", "串口设备:");
    if (facts.devices.empty())
        lines << Lang("  none found: plug in the programming cable (a USB cable shows as /dev/ttyUSB0 or "
                      "/dev/ttyACM0).",
                      "  未找到:请插上编程线(USB 编程线会显示为 /dev/ttyUSB0 或 /dev/ttyACM0)。");
    for (const DeviceFacts& d : facts.devices) {
        lines << QStringLiteral("  ") + DeviceLine(d.device);
        for (const std::string& name : d.device.byId)
            lines << Lang("    stable name: %1", "    固定名称: %1").arg(Q(name));
        lines << Lang("    access: %1; %2", "    权限: %1;%2")
                     .arg(NodeText(d.device.mode, Q(d.owner), Q(d.group)), AccessText(d));
        lines << Lang("    held by: %1", "    占用者: %1").arg(HoldersText(d.holders));
    }
    for (const char* name : {"brltty", "ModemManager"}) {
        QStringList pids;
        QString remedy;
        for (const SerialGrabber& g : facts.grabbers) {
            if (g.name == name) {
                pids << QString::number(g.pid);
                remedy = Q(g.remedy);
            }
        }
        if (pids.isEmpty())
            lines << Lang("%1: not running.", "%1: 未运行。").arg(QString::fromLatin1(name));
        else
            lines << Lang("%1: running (pid %2); it can take serial cables: %3",
                          "%1: 正在运行(进程 %2);它可能占用串口线:%3")
                         .arg(QString::fromLatin1(name), pids.join(QStringLiteral(", ")), remedy);
    }
    return lines;
}

QStringList PortCheckLines(const PortCheck& c)
{
    QStringList lines;
    const QString device = Q(c.device);
    if (c.portNumber > 0)
        lines << Lang("Port %1 (COM%2):", "端口 %1 (COM%2):").arg(device, QString::number(c.portNumber));
    else
        lines << Lang("Port %1:", "端口 %1:").arg(device);
    if (!c.opened) {
        lines << QStringLiteral("  ") + OpenFailedLine(c.portNumber);
        for (const QString& line : FailureLines(c.failure))
            lines << QStringLiteral("  ") + line;
        // Opened but refused as a serial line: the serial layer says why.
        for (const QString& line : Q(c.portErrors).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            lines << QStringLiteral("  ") + line.trimmed();
        return lines;
    }
    if (!c.probed) {
        lines << Lang("  It opens, but the opening exchange could not be sent.", "  端口可以打开,但无法发送联机握手。");
        return lines;
    }
    lines << Lang("  It opens; the opening exchange was sent.", "  端口可以打开;已发送联机握手。");
    lines << Lang("  %1 byte(s) came back.", "  收到 %1 个字节。").arg(QString::number(c.probe.receivedCount));
    switch (c.verdict) {
    case ProbeVerdict::RadioAnswered:
        lines << Lang("  A radio answered: model code %1, %2. The port is right.", "  对讲机已应答:型号代码 %1,%2。端口正确。")
                     .arg(c.modelCode.empty() ? Lang("(blank)", "(空白)") : Q(c.modelCode), Q(c.band));
        if (!c.probe.closed)
            lines << Lang("  It did not acknowledge the closing exchange; switch it off and on before reading.",
                          "  它没有确认结束握手;读数据前请关掉对讲机再打开。");
        break;
    case ProbeVerdict::LineLost:
        lines << Lang("  The device went away during the probe: unplug the cable and plug it in again.",
                      "  探测过程中设备消失了:请拔下编程线再插上。");
        break;
    case ProbeVerdict::NothingCameBack:
        lines << Lang("  Nothing came back: the radio is off or not in programming mode, the cable is loose, or %1 "
                      "is the wrong port.",
                      "  没有收到任何数据:对讲机未开机或未进入编程状态、编程线松动,或 %1 不是正确的端口。")
                     .arg(device);
        break;
    case ProbeVerdict::OnlyEcho:
        lines << Lang("  Only what was sent came back (the cable echoes it): the cable is on this port, but no radio "
                      "answered. Switch the radio on and check its plug.",
                      "  只收到了发送出去的数据(编程线回送):编程线在这个端口上,但对讲机没有应答。"
                      "请打开对讲机并检查插头。");
        break;
    case ProbeVerdict::SomethingElse:
        lines << Lang("  Something answers on this port, so the port is right, but not as the radio does: check "
                      "that the radio is on and the plug is fully in.",
                      "  这个端口上有设备应答,端口正确,但应答方式与对讲机不同:请检查对讲机已开机且插头完全插好。");
        break;
    }
    return lines;
}

QString PortCheckSummary(const PortCheck& c)
{
    const QString device = Q(c.device);
    if (!c.opened)
        return Lang("%1 cannot be opened.", "%1 无法打开。").arg(device);
    if (!c.probed)
        return Lang("%1 opens, but nothing could be sent.", "%1 可以打开,但无法发送数据。").arg(device);
    switch (c.verdict) {
    case ProbeVerdict::RadioAnswered: return Lang("A radio answered on %1.", "对讲机在 %1 上应答了。").arg(device);
    case ProbeVerdict::LineLost: return Lang("%1 went away during the probe.", "探测过程中 %1 消失了。").arg(device);
    case ProbeVerdict::NothingCameBack: return Lang("Nothing came back on %1.", "%1 上没有收到任何数据。").arg(device);
    case ProbeVerdict::OnlyEcho:
        return Lang("Only the cable's echo came back on %1.", "%1 上只收到了编程线的回送。").arg(device);
    case ProbeVerdict::SomethingElse:
        return Lang("Something answered on %1, not as a radio does.", "%1 上有应答,但不像对讲机。").arg(device);
    }
    return {};
}

} // namespace PortWording
