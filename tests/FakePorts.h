#pragma once
// Port diagnoses and a serial device as the link layer reports them, for
// the tests of their wording: the command-line tool's English and the
// window's two languages are checked against the same facts.
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "link/PortDiagnosis.h"

namespace fakeports {

// A CH340 cable as /dev/ttyUSB0 (COM1), with its stable name.
inline SerialDevice Ch340Cable()
{
    SerialDevice cable;
    cable.path = "/dev/ttyUSB0";
    cable.portNumber = 1;
    cable.kind = SerialKind::UsbSerial;
    cable.vendorId = "1a86";
    cable.productId = "7523";
    cable.manufacturer = "QinHeng Electronics";
    cable.product = "USB Serial";
    cable.driver = "ch341";
    cable.byId = {"/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0"};
    cable.mode = S_IFCHR | 0660;
    return cable;
}

// An open of device refused for cause with the system's error.
inline PortDiagnosis Refused(PortCause cause, int error, const std::string& device = "/dev/ttyUSB0")
{
    PortDiagnosis d;
    d.device = device;
    d.error = error;
    d.cause = cause;
    return d;
}

// /dev/ttyUSB0 refused for permission: a node of root and group (gid),
// opened by a session of the given standing in that group.
inline PortDiagnosis PermissionDenied(GroupStanding standing, const std::string& group = "dialout",
                                      mode_t mode = S_IFCHR | 0660, gid_t gid = 20)
{
    PortDiagnosis d = Refused(PortCause::Permission, EACCES);
    d.access.nodeFound = true;
    d.access.mode = mode;
    d.access.owner = "root";
    d.access.group = group;
    d.access.groupId = gid;
    d.access.groupGrantsAccess = gid != 0 && (mode & 060) == 060;
    d.access.standing = standing;
    return d;
}

// /dev/ttyUSB0 busy: held by brltty and minicom, brltty and ModemManager
// running.
inline PortDiagnosis HeldByBrlttyAndMinicom()
{
    PortDiagnosis d = Refused(PortCause::Busy, EBUSY);
    d.holders = {{812, "brltty", "/sbin/brltty -B"}, {900, "minicom", "minicom"}};
    d.grabbers = {{"brltty", 812, "sudo apt remove brltty"}, {"ModemManager", 77, "sudo systemctl stop ModemManager"}};
    return d;
}

} // namespace fakeports
