#include "link/PortNames.h"

#include "link/PortDiagnosis.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

struct Family {
    const char* prefix; // device path without the index
    int firstNumber;
};

// Eight numbers each, in the order of the mapping documented in PortNames.h.
const Family kFamilies[] = {
    {"/dev/ttyUSB", 1},
    {"/dev/ttyACM", 9},
    {"/dev/ttyS", 17},
};
constexpr int kPerFamily = 8;

bool ParseIndex(const std::string& digits, int& value)
{
    if (digits.empty() || digits.size() > 4)
        return false;
    value = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// The device number of this process's controlling terminal, 0 for none:
// field 7 of /proc/self/stat, after the command name in parentheses.
dev_t ControllingTerminal()
{
    std::ifstream in("/proc/self/stat");
    std::string text;
    std::getline(in, text);
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(text.substr(close + 1));
    std::string state;
    long parent = 0, group = 0, session = 0;
    unsigned long tty = 0;
    if (!(fields >> state >> parent >> group >> session >> tty) || tty == 0)
        return 0;
    return makedev((tty >> 8) & 0xfff, (tty & 0xff) | ((tty >> 12) & 0xfff00));
}

} // namespace

std::string PortDevice(int portNumber)
{
    for (const Family& f : kFamilies) {
        if (portNumber >= f.firstNumber && portNumber < f.firstNumber + kPerFamily)
            return f.prefix + std::to_string(portNumber - f.firstNumber);
    }
    return {};
}

int PortNumberOf(const std::string& device)
{
    std::string path = device;
    if (char* real = ::realpath(device.c_str(), nullptr)) {
        path = real; // /dev/serial/by-id/... names the same device
        std::free(real);
    }
    for (const Family& f : kFamilies) {
        std::string prefix = f.prefix;
        int index;
        if (path.compare(0, prefix.size(), prefix) == 0 && ParseIndex(path.substr(prefix.size()), index) &&
            index < kPerFamily)
            return f.firstNumber + index;
    }
    return 0;
}

std::vector<SerialPortInfo> ListSerialPorts()
{
    std::vector<SerialPortInfo> ports;
    for (const SerialDevice& device : FindSerialDevices()) {
        SerialPortInfo info;
        info.device = device.path;
        info.portNumber = device.portNumber;
        if (!device.vendorId.empty()) {
            const std::string name = AdapterName(device);
            info.description = name + (name.empty() ? "(" : " (") + device.vendorId + ":" + device.productId + ")";
        }
        ports.push_back(info);
    }
    return ports;
}

PortRefusal RefusedPort(const std::string& device)
{
    std::string path = device;
    if (char* real = ::realpath(device.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }
    // By name too: in a container /dev/console may stand for some other terminal.
    if (path == "/dev/console")
        return PortRefusal::VirtualConsole;
    if (path == "/dev/tty")
        return PortRefusal::OwnTerminal;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return PortRefusal::None;
    const unsigned kind = major(st.st_rdev);
    const unsigned index = minor(st.st_rdev);
    if ((kind == 4 && index < 64) || (kind == 5 && index == 1)) // tty0..tty63, the console
        return PortRefusal::VirtualConsole;
    if (kind == 5 && index == 0) // the controlling terminal, whichever it is
        return PortRefusal::OwnTerminal;
    const dev_t own = ControllingTerminal();
    if (own != 0 && st.st_rdev == own)
        return PortRefusal::OwnTerminal;
    // Also the terminal the program reads from or writes to, should it have
    // no controlling terminal of its own.
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        struct stat standard {};
        if (::isatty(fd) == 1 && ::fstat(fd, &standard) == 0 && standard.st_rdev == st.st_rdev)
            return PortRefusal::OwnTerminal;
    }
    return PortRefusal::None;
}

bool ResolvePort(const std::string& argument, std::string& device, int& portNumber)
{
    if (argument.empty())
        return false;
    if (argument.find('/') != std::string::npos) {
        device = argument;
        portNumber = PortNumberOf(argument);
        return true;
    }
    std::string digits = argument;
    if (digits.size() > 3 && (digits[0] == 'C' || digits[0] == 'c') && (digits[1] == 'O' || digits[1] == 'o') &&
        (digits[2] == 'M' || digits[2] == 'm'))
        digits = digits.substr(3);
    int number;
    if (ParseIndex(digits, number)) {
        device = PortDevice(number);
        if (device.empty())
            return false;
        portNumber = number;
        return true;
    }
    // A bare device name such as ttyUSB0.
    if (argument.rfind("tty", 0) == 0 || argument.rfind("rfcomm", 0) == 0) {
        device = "/dev/" + argument;
        portNumber = PortNumberOf(device);
        return true;
    }
    return false;
}
