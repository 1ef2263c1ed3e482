#pragma once
// Everything that decides whether a radio can be reached, gathered in one
// place for the command-line tool's doctor report and the window's Check
// Connection dialog: who runs the program, the serial devices with who may
// open them and who holds them, the programs known to grab cables, and for
// one port whether it opens and whether anything answers there. Plain data;
// each caller words it.
#include <sys/types.h>

#include <string>
#include <vector>

#include "link/PortDiagnosis.h"
#include "link/RadioLink.h"

// Whether this session may open a device node, and if not, what would help.
enum class DeviceAccess {
    Root,            // root opens anything
    Owner,           // the node is the user's and the owner may read and write it
    OnlyOwner,       // its group may not read and write it (or is root's): only the owner may
    InGroup,         // this session carries the node's group
    NeedsNewSession, // the user was added to the group after this session began
    NotMember,       // the user is not in the group
};
DeviceAccess JudgeDeviceAccess(uid_t owner, gid_t group, mode_t mode, uid_t user,
                               const std::vector<gid_t>& sessionGroups, const std::vector<gid_t>& databaseGroups);

struct DeviceFacts {
    SerialDevice device;
    std::string owner; // the node's owner and group by name
    std::string group;
    DeviceAccess access = DeviceAccess::NotMember;
    std::vector<PortHolder> holders;
};

struct ConnectionFacts {
    std::string user;
    uid_t userId = 0;
    std::vector<std::string> sessionGroups; // by name
    std::vector<DeviceFacts> devices;
    std::vector<SerialGrabber> grabbers; // brltty, ModemManager running
};
ConnectionFacts GatherConnectionFacts(const SystemRoots& roots = {});

// What a probe's answer says about the port.
enum class ProbeVerdict {
    RadioAnswered,   // a radio gave its identification: the port is right
    LineLost,        // the device went away during the probe
    NothingCameBack, // radio off, not in programming mode, cable loose or wrong port
    OnlyEcho,        // the cable hears its own transmission, no radio answered
    SomethingElse,   // bytes came back, but not as a radio answers
};
ProbeVerdict JudgeProbe(const LinkProbeResult& probe);
// The model code a radio's identification carries ("" for a blank one) and
// its band as the window's title shows it.
void IdentifiedModel(const uint8_t (&ident)[ImageMap::kIdentSize], std::string& modelCode, std::string& band);

// One port checked: opened (or why not) and probed.
struct PortCheck {
    std::string device;
    int portNumber = 0;
    bool opened = false;
    PortDiagnosis failure; // when it could not be opened; error 0 when the
                           // device opened but could not be set up as a line
    std::string portErrors; // the serial layer's own failure texts, if any
    bool probed = false;
    LinkProbeResult probe;
    ProbeVerdict verdict = ProbeVerdict::NothingCameBack;
    std::string modelCode; // RadioAnswered only
    std::string band;
    std::vector<std::string> trace; // the frames sent and received
};
// Opens device as a job does and sends the opening exchange (and, when a
// radio answers, the closing one). Blocks for up to about a second when
// nothing answers: call it off the user-interface thread.
PortCheck CheckPort(const std::string& device, int portNumber, const SystemRoots& roots = {});
