// zemtra800-cli doctor: everything that decides whether a radio can be
// reached, in one report, and with --port whether anything answers there.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/CliSupport.h"
#include "cli/PortAdvice.h"
#include "image/JoinedText.h"
#include "link/ConnectionCheck.h"
#include "link/PortDiagnosis.h"

namespace {

constexpr int kNothingAnswered = 1;

void Say(const std::string& line) { std::printf("%s\n", line.c_str()); }

// Who may open the node and whether this session may.
std::string AccessLine(const DeviceFacts& d)
{
    const std::string line = NodeText(d.device.mode, d.owner, d.group) + "; ";
    switch (d.access) {
    case DeviceAccess::Root: return line + "you are root.";
    case DeviceAccess::Owner: return line + "it is yours.";
    case DeviceAccess::OnlyOwner:
        return line + "only its owner may open it (the udev rule 60-zemtra800.rules gives programming cables to "
                      "group 'dialout').";
    case DeviceAccess::InGroup: return line + "you are in group '" + d.group + "'.";
    case DeviceAccess::NeedsNewSession: return line + GroupAdvice(d.group, GroupStanding::NeedsNewSession);
    case DeviceAccess::NotMember: return line + GroupAdvice(d.group, GroupStanding::NotMember);
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
    return Joined(names, ", ");
}

void ReportDevices(const std::vector<DeviceFacts>& devices)
{
    Say("Serial devices:");
    if (devices.empty())
        Say("  none found: plug in the programming cable (a USB cable shows as /dev/ttyUSB0 or /dev/ttyACM0).");
    for (const DeviceFacts& d : devices) {
        Say("  " + DeviceLine(d.device));
        for (const std::string& name : d.device.byId)
            Say("    stable name: " + name);
        Say("    access: " + AccessLine(d));
        Say("    held by: " + HoldersLine(d.holders));
    }
}

void ReportGrabbers(const std::vector<SerialGrabber>& running)
{
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
            Say(std::string(name) + ": running (pid " + Joined(pids, ", ") + "); it can take serial cables: " + remedy);
    }
}

// What came back, worded for a technician; the exit status.
int ReportProbe(const PortCheck& check)
{
    switch (check.verdict) {
    case ProbeVerdict::RadioAnswered:
        Say("  A radio answered: model code " + (check.modelCode.empty() ? std::string("(blank)") : check.modelCode) +
            ", " + check.band + ". The port is right.");
        if (!check.probe.closed)
            Say("  It did not acknowledge the closing exchange; switch it off and on before reading.");
        return 0;
    case ProbeVerdict::LineLost:
        Say("  The device went away during the probe: unplug the cable and plug it in again.");
        return kNothingAnswered;
    case ProbeVerdict::NothingCameBack:
        Say("  Nothing came back: the radio is off or not in programming mode, the cable is loose, or " +
            check.device + " is the wrong port.");
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

    const ConnectionFacts facts = GatherConnectionFacts();
    Say("User: " + facts.user + " (uid " + std::to_string(facts.userId) + "), groups of this session: " +
        Joined(facts.sessionGroups, ", "));
    ReportDevices(facts.devices);
    ReportGrabbers(facts.grabbers);
    if (device.empty()) {
        std::fflush(stdout);
        return 0;
    }

    Say("");
    Say("Port " + device + (portNumber > 0 ? " (COM" + std::to_string(portNumber) + ")" : "") + ":");
    std::fflush(stdout);
    // The check takes up to a second when nothing answers; its frames and
    // the serial layer's complaints follow the lines they belong after.
    const PortCheck check = CheckPort(device, portNumber);
    if (!check.opened) {
        std::fputs(check.portErrors.c_str(), stderr);
        Say("  " + OpenFailedLine(device, portNumber));
        // Error 0: the device opened but could not be set up as a line (the
        // serial layer's own words are on stderr).
        if (check.failure.error != 0) {
            for (const std::string& line : PortFailureAdvice(check.failure))
                Say("  " + line);
        }
        std::fflush(stdout);
        return kPortFailed;
    }
    Say("  It opens. Sending the opening exchange...");
    std::fflush(stdout);
    if (parser.isSet(trace))
        for (const std::string& line : check.trace)
            std::fprintf(stderr, "%s\n", line.c_str());
    std::fputs(check.portErrors.c_str(), stderr);
    Say("  " + std::to_string(check.probe.receivedCount) + (check.probe.receivedCount == 1 ? " byte" : " bytes") +
        " came back.");
    const int status = ReportProbe(check);
    std::fflush(stdout);
    return status;
}
