#pragma once
// Why a serial port cannot be used, and the facts a remedy needs: the serial
// devices present, who may open a device and whether this session may, the
// processes that hold it, and the services known to grab programming cables.
// Results are plain data; the command-line tool and the window word them.
#include <sys/types.h>

#include <string>
#include <vector>

// What stopped an open, from its errno.
enum class PortCause {
    None,       // it opened
    Absent,     // no such device: the cable is not plugged in, or another name
    Permission, // the user may not open it
    Busy,       // another process has it open, locked or not
    Gone,       // the device node is there but its adapter is not
    Other,      // anything else (the errno says what)
};
PortCause CauseOfOpenError(int error);

// Where the system shows its devices and processes; tests point these at a
// tree of their own.
struct SystemRoots {
    std::string sys = "/sys";
    std::string dev = "/dev";
    std::string proc = "/proc";
};

enum class SerialKind { UsbSerial, UsbModem, BuiltIn };

struct SerialDevice {
    std::string path; // /dev/ttyUSB0
    SerialKind kind = SerialKind::BuiltIn;
    int portNumber = 0;            // 0 when the device has none
    std::vector<std::string> byId; // the /dev/serial/by-id names that point at it
    std::string vendorId;          // "1a86"; empty for a built-in port
    std::string productId;         // "7523"
    std::string manufacturer;      // as the adapter names itself, may be empty
    std::string product;
    std::string driver; // the kernel driver: ch341, cp210x, ftdi_sio, cdc_acm, serial ...
    // The node itself.
    bool nodeFound = false;
    uid_t ownerId = 0;
    gid_t groupId = 0;
    mode_t mode = 0;
};

// The serial devices with hardware behind them, in port-number order (ports
// without a number after, by path). Pseudo-terminals and the placeholder
// ttyS ports every PC has are left out.
std::vector<SerialDevice> FindSerialDevices(const SystemRoots& roots = {});
// "Manufacturer Product", either part left out when the adapter does not say.
std::string AdapterName(const SerialDevice& device);
// The USB programming cables the shipped udev rule gives to the dialout
// group and keeps ModemManager away from.
struct CableId {
    const char* vendorId;
    const char* productId;
    const char* chip;
};
const std::vector<CableId>& KnownProgrammingCables();
const CableId* FindKnownCable(const std::string& vendorId, const std::string& productId);

// A process that has the device open. A process that also holds the master
// side of the same pseudo-terminal is the device's other end, not a holder;
// this process never counts.
struct PortHolder {
    int pid = 0;
    std::string command;     // its name (/proc/PID/comm)
    std::string commandLine; // its arguments joined by blanks, cut to a line
};
std::vector<PortHolder> FindPortHolders(const std::string& device, const SystemRoots& roots = {});
std::vector<PortHolder> FindPortHolders(dev_t device, const SystemRoots& roots = {});

// Programs that take serial devices of their own accord, with the command
// that removes or stops them.
struct SerialGrabber {
    std::string name; // "brltty", "ModemManager"
    int pid = 0;
    std::string remedy; // e.g. "sudo apt remove brltty"
};
// The known grabbers now running.
std::vector<SerialGrabber> FindSerialGrabbers(const SystemRoots& roots = {});
// The remedy for a process name, or "" when it is not a known grabber.
std::string GrabberRemedy(const std::string& command);

// Whether this session carries the group a device belongs to.
enum class GroupStanding {
    InSession,       // the process has the group
    NeedsNewSession, // the group database lists the user, this session predates it
    NotMember,
};
GroupStanding JudgeGroup(gid_t group, const std::vector<gid_t>& sessionGroups,
                         const std::vector<gid_t>& databaseGroups);
// Whether being in a device's group lets one open it: the group may read
// and write it, and it is not root's.
bool GroupGrantsAccess(gid_t group, mode_t mode);
// The process's real group and its supplementary groups.
std::vector<gid_t> SessionGroups();
// The groups the group database gives the user uid (primary group included).
std::vector<gid_t> DatabaseGroups(uid_t uid);
// A group's or user's name, or its number when the database has none.
std::string GroupName(gid_t gid);
std::string UserName(uid_t uid);

struct AccessFacts {
    bool nodeFound = false;
    uid_t ownerId = 0;
    gid_t groupId = 0;
    mode_t mode = 0;
    std::string owner; // the device's owner and group by name
    std::string group;
    // Membership of the group helps only when the group may read and write
    // and is not root's.
    bool groupGrantsAccess = false;
    std::string user; // who runs this program
    uid_t userId = 0;
    GroupStanding standing = GroupStanding::NotMember;
};
AccessFacts CheckAccess(const std::string& device);

// Everything the remedy for one failed open needs.
struct PortDiagnosis {
    std::string device;
    int error = 0;
    PortCause cause = PortCause::None;
    std::vector<SerialDevice> present;   // filled for Absent and Gone
    AccessFacts access;                  // filled for Permission
    std::vector<PortHolder> holders;     // filled for Busy
    std::vector<SerialGrabber> grabbers; // always: brltty, ModemManager running
};
PortDiagnosis DiagnosePort(const std::string& device, int openError, const SystemRoots& roots = {});
