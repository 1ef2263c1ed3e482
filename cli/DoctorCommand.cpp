// zemtra800-cli doctor: everything that decides whether a radio can be
// reached, in one report, and with --port whether anything answers there.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "cli/CliCommands.h"
#include "cli/CliSupport.h"
#include "cli/PortAdvice.h"
#include "link/ConnectionCheck.h"
#include "link/PortDiagnosis.h"
#include "link/PortNames.h"
#include "link/RadioLink.h"

namespace {

constexpr int kNothingAnswered = 1;

// The probe's frames, on stderr with --trace; nothing else of a job happens.
class ProbeObserver : public JobObserver {
public:
    explicit ProbeObserver(bool trace) : trace_(trace) {}
    void OnTrace(const std::string& line) override
    {
        if (trace_)
            std::fprintf(stderr, "%s\n", line.c_str());
    }
    void OnProgress(int) override {}
    void OnBeep(int, int) override {}
    bool AskModelOverwrite() override { return false; }
    void OnIdentification(const uint8_t*) override {}
    void OnReadComplete(const uint8_t*) override {}
    void OnInfoComplete(const uint8_t*) override {}
    void OnJobEnded(LinkJobMode, bool) override {}
    void OnPortError(const std::string& text) override { std::fprintf(stderr, "%s", text.c_str()); }

private:
    const bool trace_;
};

void Say(const std::string& line) { std::printf("%s\n", line.c_str()); }

std::string Join(const std::vector<std::string>& parts, const char* between)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : between) + part;
    return text;
}

// Who may open the node and whether this session may.
std::string AccessLine(uid_t owner, gid_t group, mode_t mode)
{
    const std::string groupName = GroupName(group);
    const std::string line = NodeText(mode, UserName(owner), groupName) + "; ";
    switch (JudgeDeviceAccess(owner, group, mode)) {
    case DeviceAccess::Root: return line + "you are root.";
    case DeviceAccess::Owner: return line + "it is yours.";
    case DeviceAccess::OnlyOwner:
        return line + "only its owner may open it (the udev rule 60-zemtra800.rules gives programming cables to "
                      "group 'dialout').";
    case DeviceAccess::InGroup: return line + "you are in group '" + groupName + "'.";
    case DeviceAccess::NeedsNewSession: return line + GroupAdvice(groupName, GroupStanding::NeedsNewSession);
    case DeviceAccess::NotMember: return line + GroupAdvice(groupName, GroupStanding::NotMember);
    }
    return line;
}

std::string HoldersLine(const std::vector<PortHolder>& holders)
{
    if (holders.empty())
        return "no other program";
    std::vector<std::string> names;
    for (const PortHolder& h : holders) {
        std::string text = HolderText(h);
        const std::string remedy = GrabberRemedy(h.command);
        if (!remedy.empty())
            text += " (" + remedy + ")";
        names.push_back(text);
    }
    return Join(names, ", ");
}

void ReportDevices(const std::vector<SerialDevice>& devices)
{
    Say("Serial devices:");
    if (devices.empty())
        Say("  none found: plug in the programming cable (a USB cable shows as /dev/ttyUSB0 or /dev/ttyACM0).");
    for (const SerialDevice& device : devices) {
        Say("  " + DeviceLine(device));
        for (const std::string& name : device.byId)
            Say("    stable name: " + name);
        Say("    access: " + AccessLine(device.ownerId, device.groupId, device.mode));
        Say("    held by: " + HoldersLine(FindPortHolders(device.path)));
    }
}

void ReportGrabbers()
{
    const std::vector<SerialGrabber> running = FindSerialGrabbers();
    for (const char* name : {"brltty", "ModemManager"}) {
        std::vector<std::string> pids;
        std::string remedy;
        for (const SerialGrabber& g : running) {
            if (g.name == name) {
                pids.push_back(std::to_string(g.pid));
                remedy = g.remedy;
            }
        }
        if (pids.empty())
            Say(std::string(name) + ": not running.");
        else
            Say(std::string(name) + ": running (pid " + Join(pids, ", ") + "); it can take serial cables: " + remedy);
    }
}

// What came back, worded for a technician; the exit status.
int ReportProbe(const LinkProbeResult& probe, const std::string& device)
{
    switch (JudgeProbe(probe)) {
    case ProbeVerdict::RadioAnswered: {
        std::string code, band;
        IdentifiedModel(probe.ident, code, band);
        Say("  A radio answered: model code " + (code.empty() ? std::string("(blank)") : code) + ", " + band +
            ". The port is right.");
        if (!probe.closed)
            Say("  It did not acknowledge the closing exchange; switch it off and on before reading.");
        return 0;
    }
    case ProbeVerdict::LineLost:
        Say("  The device went away during the probe: unplug the cable and plug it in again.");
        return kNothingAnswered;
    case ProbeVerdict::NothingCameBack:
        Say("  Nothing came back: the radio is off or not in programming mode, the cable is loose, or " + device +
            " is the wrong port.");
        return kNothingAnswered;
    case ProbeVerdict::OnlyEcho:
        Say("  Only what was sent came back (the cable echoes it): the cable is on this port, but no radio "
            "answered. Switch the radio on and check its plug.");
        return 0;
    case ProbeVerdict::SomethingElse:
        Say("  Something answers on this port, so the port is right, but not as the radio does: check that "
            "the radio is on and the plug is fully in.");
        return 0;
    }
    return kNothingAnswered;
}

} // namespace

int RunDoctorCommand(const QStringList& arguments)
{
    const QString command = QStringLiteral("doctor");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Report what decides whether a radio can be reached: the serial devices present, who may open them, "
        "what holds them, brltty and ModemManager. With --port, open that port and send the opening exchange. "
        "Exit status: 0 the port opens and something answered, 1 it opens but nothing answered, 3 it cannot "
        "be opened."));
    const QCommandLineOption port(QStringList{QStringLiteral("p"), QStringLiteral("port")},
                                  QStringLiteral("The port to check and probe (a device path or a port number)."),
                                  QStringLiteral("PORT"));
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   QStringLiteral("Print the probe's frames (Tr sent, Re received) on stderr."));
    parser.addOption(port);
    parser.addOption(trace);
    if (auto done = ParseCommand(parser, command, arguments, 0))
        return *done;
    std::string device;
    int portNumber = 0;
    if (parser.isSet(port)) {
        if (int status = ResolveRadioPort(command, parser.value(port), device, portNumber))
            return status;
    }

    const uid_t me = ::getuid();
    std::vector<std::string> groups;
    for (gid_t g : SessionGroups())
        groups.push_back(GroupName(g));
    Say("User: " + UserName(me) + " (uid " + std::to_string(me) + "), groups of this session: " + Join(groups, ", "));
    ReportDevices(FindSerialDevices());
    ReportGrabbers();
    if (device.empty()) {
        std::fflush(stdout);
        return 0;
    }

    Say("");
    Say("Port " + device + (portNumber > 0 ? " (COM" + std::to_string(portNumber) + ")" : "") + ":");
    ProbeObserver observer(parser.isSet(trace));
    RadioLink link(observer);
    if (!link.OpenPort(device, portNumber)) {
        const int error = link.OpenErrorCode();
        if (portNumber > 0)
            Say("  Failed to open COM" + std::to_string(portNumber) + " (" + device +
                "),Please select COM port again!");
        else
            Say("  Failed to open " + device + ",Please select COM port again!");
        if (error != 0) {
            for (const std::string& line : PortFailureAdvice(DiagnosePort(device, error)))
                Say("  " + line);
        }
        std::fflush(stdout);
        return kPortFailed;
    }
    Say("  It opens. Sending the opening exchange...");
    std::fflush(stdout);
    LinkProbeResult probe;
    link.Probe(probe);
    Say("  " + std::to_string(probe.receivedCount) + (probe.receivedCount == 1 ? " byte" : " bytes") +
        " came back.");
    const int status = ReportProbe(probe, device);
    std::fflush(stdout);
    return status;
}
