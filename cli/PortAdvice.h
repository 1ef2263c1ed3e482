#pragma once
// The command-line tool's English for what the port diagnosis found.
#include <string>
#include <vector>

#include "link/PortDiagnosis.h"

// "Failed to open COM3 (/dev/ttyUSB2),Please select COM port again!", the
// port number left out when the device has none.
std::string OpenFailedLine(const std::string& device, int portNumber);
// The lines that follow it: the cause and the remedy.
std::vector<std::string> PortFailureAdvice(const PortDiagnosis& diagnosis);

// "/dev/ttyUSB0 (COM1): QinHeng USB Serial, USB 1a86:7523, driver ch341"
std::string DeviceLine(const SerialDevice& device);
// "pid 812 (minicom: minicom -D /dev/ttyUSB0)"
std::string HolderText(const PortHolder& holder);
// "crw-rw---- root:dialout"
std::string NodeText(mode_t mode, const std::string& owner, const std::string& group);
// What a session must do to open a device of this group (empty when nothing).
std::string GroupAdvice(const std::string& group, GroupStanding standing);
