#include "cli/PortAdvice.h"

#include <cstring>

#include <sys/stat.h>

namespace {

const char kUdevRule[] = "60-zemtra800.rules";

void AddGrabbers(const PortDiagnosis& d, std::vector<std::string>& lines)
{
    for (const SerialGrabber& g : d.grabbers) {
        if (g.name == "brltty")
            lines.push_back("brltty is running (pid " + std::to_string(g.pid) +
                            "); it takes USB serial cables such as the CH340 for Braille displays. Remove it: " +
                            g.remedy);
        else
            lines.push_back(g.name + " is running (pid " + std::to_string(g.pid) +
                            "); it probes new serial devices. Stop it: " + g.remedy + " (the udev rule " + kUdevRule +
                            " keeps it away from programming cables for good)");
    }
}

void AddPresent(const PortDiagnosis& d, std::vector<std::string>& lines)
{
    if (d.present.empty()) {
        lines.push_back("No serial device is present.");
        return;
    }
    lines.push_back("Serial devices present:");
    for (const SerialDevice& device : d.present) {
        lines.push_back("  " + DeviceLine(device));
        for (const std::string& name : device.byId)
            lines.push_back("    " + name);
    }
}

} // namespace

std::string OpenFailedLine(const std::string& device, int portNumber)
{
    if (portNumber > 0)
        return "Failed to open COM" + std::to_string(portNumber) + " (" + device + "),Please select COM port again!";
    return "Failed to open " + device + ",Please select COM port again!";
}

std::string NodeText(mode_t mode, const std::string& owner, const std::string& group)
{
    std::string text = S_ISCHR(mode) ? "c" : (S_ISDIR(mode) ? "d" : (S_ISLNK(mode) ? "l" : "-"));
    const char letters[] = "rwx";
    for (int i = 8; i >= 0; --i)
        text += (mode & (1u << i)) ? letters[(8 - i) % 3] : '-';
    return text + " " + owner + ":" + group;
}

std::string DeviceLine(const SerialDevice& device)
{
    std::string line = device.path;
    if (device.portNumber > 0)
        line += " (COM" + std::to_string(device.portNumber) + ")";
    std::vector<std::string> parts;
    const std::string name = AdapterName(device);
    if (!name.empty())
        parts.push_back(name);
    if (!device.vendorId.empty()) {
        std::string ids = "USB " + device.vendorId + ":" + device.productId;
        if (const CableId* cable = FindKnownCable(device.vendorId, device.productId))
            ids += std::string(" (") + cable->chip + ")";
        parts.push_back(ids);
    } else {
        parts.push_back("built-in port");
    }
    if (!device.driver.empty())
        parts.push_back("driver " + device.driver);
    for (std::size_t i = 0; i < parts.size(); ++i)
        line += (i == 0 ? ": " : ", ") + parts[i];
    return line;
}

std::string HolderText(const PortHolder& holder)
{
    std::string text = "pid " + std::to_string(holder.pid) + " (" + holder.command;
    if (!holder.commandLine.empty() && holder.commandLine != holder.command)
        text += ": " + holder.commandLine;
    return text + ")";
}

std::string GroupAdvice(const std::string& group, GroupStanding standing)
{
    switch (standing) {
    case GroupStanding::InSession: return {};
    case GroupStanding::NeedsNewSession:
        return "You are in group '" + group +
               "' already, but this session began before you were added: log out and in again "
               "(or run 'newgrp " + group + "' in this terminal).";
    case GroupStanding::NotMember:
        return "Add yourself to group '" + group + "': sudo usermod -aG " + group +
               " $USER, then log out and in again.";
    }
    return {};
}

std::vector<std::string> PortFailureAdvice(const PortDiagnosis& d)
{
    std::vector<std::string> lines;
    const std::string& device = d.device;
    switch (d.cause) {
    case PortCause::None: return lines;
    case PortCause::Absent:
        lines.push_back(device + ": no such device.");
        AddPresent(d, lines);
        lines.push_back("Plug in the programming cable, or choose one of the devices present.");
        break;
    case PortCause::Permission: {
        const AccessFacts& a = d.access;
        if (!a.nodeFound) {
            lines.push_back(device + ": permission denied (" + std::strerror(d.error) + ").");
            break;
        }
        lines.push_back(device + ": permission denied; it belongs to group '" + a.group + "' (" +
                        NodeText(a.mode, a.owner, a.group) + ").");
        if (!a.groupGrantsAccess) {
            lines.push_back("Its group may not read and write it, so only " + a.owner +
                            " can open it. The udev rule " + kUdevRule +
                            " gives the usual programming cables to group 'dialout'.");
        } else if (a.standing == GroupStanding::InSession) {
            lines.push_back("You are in group '" + a.group + "' and still may not open it: an access list or "
                            "security module refuses it.");
        } else {
            lines.push_back(GroupAdvice(a.group, a.standing));
        }
        break;
    }
    case PortCause::Busy:
        if (d.holders.empty()) {
            lines.push_back(device + ": in use by another program, which could not be named (another user's: "
                            "sudo zemtra800-cli doctor --port " + device + " names it).");
        } else {
            std::string who;
            for (const PortHolder& h : d.holders)
                who += (who.empty() ? "" : ", ") + HolderText(h);
            lines.push_back(device + ": in use by another program: " + who + ".");
            for (const PortHolder& h : d.holders) {
                const std::string remedy = GrabberRemedy(h.command);
                if (!remedy.empty())
                    lines.push_back(h.command + " holds the cable; " + remedy);
            }
        }
        lines.push_back("Close that program and try again; nothing was sent.");
        break;
    case PortCause::Gone:
        lines.push_back(device + ": the adapter has gone away (" + std::strerror(d.error) + ").");
        lines.push_back("Unplug the cable and plug it in again; 'zemtra800-cli ports' shows the name it comes back as.");
        break;
    case PortCause::Other: lines.push_back(device + ": " + std::strerror(d.error)); break;
    }
    // A grabber already named as the holder is not named twice.
    if (d.cause == PortCause::Busy) {
        PortDiagnosis rest = d;
        std::erase_if(rest.grabbers, [&](const SerialGrabber& g) {
            for (const PortHolder& h : d.holders)
                if (h.pid == g.pid)
                    return true;
            return false;
        });
        AddGrabbers(rest, lines);
    } else if (d.cause == PortCause::Absent || d.cause == PortCause::Gone) {
        AddGrabbers(d, lines);
    }
    return lines;
}
