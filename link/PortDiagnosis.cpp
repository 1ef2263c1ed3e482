#include "link/PortDiagnosis.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "link/PortNames.h"

namespace fs = std::filesystem;

namespace {

std::string ReadLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    return line;
}

std::string LinkName(const fs::path& link)
{
    std::error_code ec;
    return fs::read_symlink(link, ec).filename().string();
}

bool IsNumber(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A symbolic link's target as a path, relative targets taken from the
// link's own folder, without asking whether the target exists.
fs::path LinkTarget(const fs::path& link)
{
    std::error_code ec;
    const fs::path target = fs::read_symlink(link, ec);
    if (ec)
        return {};
    return (target.is_absolute() ? target : link.parent_path() / target).lexically_normal();
}

// The USB facts of a tty: the interface's driver, and the device's ids and
// names a few levels up.
void ReadUsbFacts(const fs::path& deviceDir, SerialDevice& device)
{
    std::error_code ec;
    fs::path dir = fs::canonical(deviceDir, ec);
    if (ec)
        return;
    for (int up = 0; up < 5 && !dir.empty() && dir != dir.root_path(); ++up, dir = dir.parent_path()) {
        // The interface (…:1.0) names the module: ch341, cp210x, cdc_acm.
        if (fs::exists(dir / "bInterfaceNumber", ec) && fs::is_symlink(dir / "driver", ec))
            device.driver = LinkName(dir / "driver");
        if (fs::exists(dir / "idVendor", ec)) {
            device.vendorId = ReadLine(dir / "idVendor");
            device.productId = ReadLine(dir / "idProduct");
            device.manufacturer = ReadLine(dir / "manufacturer");
            device.product = ReadLine(dir / "product");
            return;
        }
    }
}

// The driver of a built-in port. Newer kernels put a port and a controller
// device of their own ("serial-base") between the tty and the UART's device.
std::string UartDriver(const fs::path& deviceDir)
{
    std::error_code ec;
    fs::path dir = fs::canonical(deviceDir, ec);
    if (ec)
        return LinkName(deviceDir / "driver");
    for (int up = 0; up < 3 && LinkName(dir / "subsystem") == "serial-base"; ++up)
        dir = dir.parent_path();
    return LinkName(dir / "driver");
}

// Legacy 8250 placeholders: ttyS0..31 exist on every PC whether or not a
// UART stands behind them. They hang off the platform device "serial8250",
// or say "type 0" (no UART found); ports found by ACPI, PnP or PCI do not.
bool PlaceholderPort(const std::string& name, const fs::path& classDir)
{
    if (name.rfind("ttyS", 0) != 0)
        return false;
    std::error_code ec;
    const fs::path deviceDir = classDir / "device";
    const std::string subsystem = LinkName(deviceDir / "subsystem");
    const std::string where = fs::canonical(deviceDir, ec).string();
    if (subsystem == "platform" || where.find("/serial8250") != std::string::npos)
        return true;
    return fs::exists(classDir / "type", ec) && ReadLine(classDir / "type") == "0";
}

// The pseudo-terminal index of a slave device, -1 for any other device.
long PtyIndex(dev_t device)
{
    const unsigned kind = major(device);
    if (kind < 136 || kind > 143)
        return -1;
    return static_cast<long>(kind - 136) * 256 + minor(device);
}

// The pseudo-terminal a master descriptor serves ("tty-index:" of its
// fdinfo), -1 when fd is no master.
long MasterIndex(const fs::path& fdInfo)
{
    std::ifstream in(fdInfo);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("tty-index:", 0) == 0)
            return std::strtol(line.c_str() + 10, nullptr, 10);
    }
    return -1;
}

std::string CommandLineOf(const fs::path& processDir)
{
    std::ifstream in(processDir / "cmdline", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    std::replace(text.begin(), text.end(), '\0', ' ');
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    }
    constexpr std::size_t kMax = 120;
    if (text.size() > kMax)
        text = text.substr(0, kMax - 3) + "...";
    return text;
}

struct KnownGrabber {
    const char* name;
    const char* remedy;
};
// brltty takes CH340 cables for Braille displays and makes them vanish or
// holds them; ModemManager probes every new serial device with AT commands.
const KnownGrabber kGrabbers[] = {
    {"brltty", "sudo apt remove brltty"},
    {"ModemManager", "sudo systemctl stop ModemManager"},
};

} // namespace

PortCause CauseOfOpenError(int error)
{
    switch (error) {
    case 0: return PortCause::None;
    case ENOENT:
    case ENOTDIR: return PortCause::Absent;
    case EACCES:
    case EPERM:
    case EROFS: return PortCause::Permission;
    case EBUSY: return PortCause::Busy;
    case EIO:
    case ENXIO:
    case ENODEV: return PortCause::Gone;
    default: return PortCause::Other;
    }
}

const std::vector<CableId>& KnownProgrammingCables()
{
    static const std::vector<CableId> cables = {
        {"1a86", "7523", "WCH CH340/CH341"}, {"1a86", "5523", "WCH CH341"},
        {"067b", "2303", "Prolific PL2303"}, {"067b", "23a3", "Prolific PL2303"},
        {"10c4", "ea60", "Silicon Labs CP210x"}, {"0403", "6001", "FTDI FT232R"},
        {"0403", "6015", "FTDI FT231X"},
    };
    return cables;
}

const CableId* FindKnownCable(const std::string& vendorId, const std::string& productId)
{
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        return s;
    };
    for (const CableId& cable : KnownProgrammingCables()) {
        if (lower(vendorId) == cable.vendorId && lower(productId) == cable.productId)
            return &cable;
    }
    return nullptr;
}

std::string AdapterName(const SerialDevice& device)
{
    std::string name = device.manufacturer;
    if (!device.product.empty())
        name += (name.empty() ? "" : " ") + device.product;
    return name;
}

std::vector<SerialDevice> FindSerialDevices(const SystemRoots& roots)
{
    std::vector<SerialDevice> devices;
    std::error_code ec;
    const fs::path devRoot(roots.dev);
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(roots.sys) / "class/tty", ec)) {
        const std::string name = entry.path().filename().string();
        const fs::path deviceDir = entry.path() / "device";
        if (!fs::exists(deviceDir, ec) || PlaceholderPort(name, entry.path()))
            continue; // virtual terminals, ptys, UART placeholders
        SerialDevice device;
        device.path = (devRoot / name).string();
        struct stat st {};
        if (::stat(device.path.c_str(), &st) != 0)
            continue; // no node (yet): nothing to open
        device.nodeFound = true;
        device.ownerId = st.st_uid;
        device.groupId = st.st_gid;
        device.mode = st.st_mode;
        device.portNumber = PortNumberOf("/dev/" + name);
        ReadUsbFacts(deviceDir, device);
        if (device.driver.empty())
            device.driver = UartDriver(deviceDir);
        if (device.vendorId.empty())
            device.kind = SerialKind::BuiltIn;
        else if (name.rfind("ttyACM", 0) == 0 || device.driver == "cdc_acm")
            device.kind = SerialKind::UsbModem;
        else
            device.kind = SerialKind::UsbSerial;
        devices.push_back(device);
    }
    // The stable names udev makes for USB adapters.
    const fs::path byIdDir = devRoot / "serial/by-id";
    std::vector<fs::path> links;
    for (const fs::directory_entry& entry : fs::directory_iterator(byIdDir, ec))
        links.push_back(entry.path());
    std::sort(links.begin(), links.end());
    for (const fs::path& link : links) {
        const fs::path target = LinkTarget(link);
        for (SerialDevice& device : devices) {
            if (target == fs::path(device.path).lexically_normal())
                device.byId.push_back(link.string());
        }
    }
    std::sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
        const int na = a.portNumber ? a.portNumber : INT_MAX;
        const int nb = b.portNumber ? b.portNumber : INT_MAX;
        return na != nb ? na < nb : a.path < b.path;
    });
    return devices;
}

std::vector<PortHolder> FindPortHolders(const std::string& device, const SystemRoots& roots)
{
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return {};
    return FindPortHolders(st.st_rdev, roots);
}

std::vector<PortHolder> FindPortHolders(dev_t device, const SystemRoots& roots)
{
    std::vector<PortHolder> holders;
    const long ptyIndex = PtyIndex(device);
    const std::string self = std::to_string(::getpid());
    std::error_code ec;
    for (const fs::directory_entry& process : fs::directory_iterator(roots.proc, ec)) {
        const std::string pid = process.path().filename().string();
        if (!IsNumber(pid) || pid == self)
            continue;
        bool holdsDevice = false;
        bool holdsMaster = false;
        std::error_code fdError;
        // Another user's processes cannot be looked into without privilege;
        // they are passed over.
        for (const fs::directory_entry& fd : fs::directory_iterator(process.path() / "fd", fdError)) {
            struct stat target {};
            if (::stat(fd.path().c_str(), &target) != 0 || !S_ISCHR(target.st_mode))
                continue;
            if (target.st_rdev == device) {
                holdsDevice = true;
            } else if (ptyIndex >= 0 && major(target.st_rdev) == 5 && minor(target.st_rdev) == 2 &&
                       MasterIndex(process.path() / "fdinfo" / fd.path().filename()) == ptyIndex) {
                holdsMaster = true;
            }
        }
        if (!holdsDevice || holdsMaster)
            continue;
        PortHolder holder;
        holder.pid = std::atoi(pid.c_str());
        holder.command = ReadLine(process.path() / "comm");
        holder.commandLine = CommandLineOf(process.path());
        holders.push_back(holder);
    }
    std::sort(holders.begin(), holders.end(), [](const PortHolder& a, const PortHolder& b) { return a.pid < b.pid; });
    return holders;
}

std::string GrabberRemedy(const std::string& command)
{
    for (const KnownGrabber& grabber : kGrabbers) {
        if (command == grabber.name)
            return grabber.remedy;
    }
    return {};
}

std::vector<SerialGrabber> FindSerialGrabbers(const SystemRoots& roots)
{
    std::vector<SerialGrabber> found;
    std::error_code ec;
    for (const fs::directory_entry& process : fs::directory_iterator(roots.proc, ec)) {
        const std::string pid = process.path().filename().string();
        if (!IsNumber(pid))
            continue;
        // Every process's name is readable by every user.
        const std::string command = ReadLine(process.path() / "comm");
        const std::string remedy = GrabberRemedy(command);
        if (!remedy.empty())
            found.push_back({command, std::atoi(pid.c_str()), remedy});
    }
    std::sort(found.begin(), found.end(), [](const SerialGrabber& a, const SerialGrabber& b) { return a.pid < b.pid; });
    return found;
}

GroupStanding JudgeGroup(gid_t group, const std::vector<gid_t>& sessionGroups,
                         const std::vector<gid_t>& databaseGroups)
{
    if (std::find(sessionGroups.begin(), sessionGroups.end(), group) != sessionGroups.end())
        return GroupStanding::InSession;
    if (std::find(databaseGroups.begin(), databaseGroups.end(), group) != databaseGroups.end())
        return GroupStanding::NeedsNewSession;
    return GroupStanding::NotMember;
}

bool GroupGrantsAccess(gid_t group, mode_t mode)
{
    return group != 0 && (mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
}

std::vector<gid_t> SessionGroups()
{
    std::vector<gid_t> groups{::getgid(), ::getegid()};
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> more(static_cast<std::size_t>(count));
        const int got = ::getgroups(count, more.data());
        if (got > 0)
            groups.insert(groups.end(), more.begin(), more.begin() + got);
    }
    std::sort(groups.begin(), groups.end());
    groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
    return groups;
}

std::vector<gid_t> DatabaseGroups(uid_t uid)
{
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* user = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &user) != 0 || user == nullptr)
        return {};
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0)
            return {user->pw_gid};
    }
    groups.resize(static_cast<std::size_t>(count));
    return groups;
}

std::string GroupName(gid_t gid)
{
    std::vector<char> buffer(16384);
    group entry {};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
        return found->gr_name;
    return std::to_string(gid);
}

std::string UserName(uid_t uid)
{
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
        return found->pw_name;
    return std::to_string(uid);
}

AccessFacts CheckAccess(const std::string& device)
{
    AccessFacts facts;
    facts.userId = ::getuid();
    facts.user = UserName(facts.userId);
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0)
        return facts;
    facts.nodeFound = true;
    facts.ownerId = st.st_uid;
    facts.groupId = st.st_gid;
    facts.mode = st.st_mode;
    facts.owner = UserName(st.st_uid);
    facts.group = GroupName(st.st_gid);
    facts.groupGrantsAccess = GroupGrantsAccess(st.st_gid, st.st_mode);
    facts.standing = JudgeGroup(st.st_gid, SessionGroups(), DatabaseGroups(facts.userId));
    return facts;
}

PortDiagnosis DiagnosePort(const std::string& device, int openError, const SystemRoots& roots)
{
    PortDiagnosis diagnosis;
    diagnosis.device = device;
    diagnosis.error = openError;
    diagnosis.cause = CauseOfOpenError(openError);
    switch (diagnosis.cause) {
    case PortCause::Absent:
    case PortCause::Gone: diagnosis.present = FindSerialDevices(roots); break;
    case PortCause::Permission: diagnosis.access = CheckAccess(device); break;
    case PortCause::Busy: diagnosis.holders = FindPortHolders(device, roots); break;
    case PortCause::None:
    case PortCause::Other: break;
    }
    diagnosis.grabbers = FindSerialGrabbers(roots);
    return diagnosis;
}
