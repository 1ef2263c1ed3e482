#pragma once
#include <string>
#include <vector>

// Port numbers and Linux serial devices. A port number N names a fixed device:
//   COM1..COM8    -> /dev/ttyUSB0..7  (USB serial adapters, the usual cable)
//   COM9..COM16   -> /dev/ttyACM0..7  (USB modem-class adapters)
//   COM17..COM24  -> /dev/ttyS0..7    (built-in serial ports)
// Anything else (a pseudo-terminal, /dev/rfcomm0, ...) is used by its path.
std::string PortDevice(int portNumber); // "" outside 1..24
// The port number of a device path, or 0 when the path has none.
int PortNumberOf(const std::string& device);

struct SerialPortInfo {
    std::string device;      // e.g. /dev/ttyUSB0
    int portNumber = 0;      // 0 when the device has no number
    std::string description; // adapter's description where known, else empty
};
// The serial devices present on this machine, in port-number order.
std::vector<SerialPortInfo> ListSerialPorts();

// Terminals that are never a radio's port, whatever name they are given:
// a virtual console or the system console (a wake-up written there lands on
// the screen), and the terminal this program itself runs in (/dev/tty, or
// its own /dev/pts/N). Other pseudo-terminals and serial devices pass, and
// so does a path that does not exist (opening it reports that).
enum class PortRefusal { None, VirtualConsole, OwnTerminal };
PortRefusal RefusedPort(const std::string& device);

// A user's PORT argument: a device path, or a port number ("3", "COM3").
// Returns false when it is neither.
bool ResolvePort(const std::string& argument, std::string& device, int& portNumber);
