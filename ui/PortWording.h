#pragma once
// The window's words, in its current language, for why a port cannot be
// used and what to do about it, and for the connection report of Setup →
// Check Connection. The facts come from link/ (PortDiagnosis, ConnectionCheck).
#include <QString>
#include <QStringList>

#include "link/ConnectionCheck.h"
#include "link/PortDiagnosis.h"

namespace PortWording {

// "Failed to open COM3,Please select COM port again!" (or its Chinese twin).
QString OpenFailedLine(int portNumber);
// The cause and the remedy of a failed open, one line each; empty when the
// diagnosis has no cause (the device opened but was no usable line).
QStringList FailureLines(const PortDiagnosis& diagnosis);
// The first line, then the cause and the remedy: the window's port message.
QString FailureMessage(int portNumber, const PortDiagnosis& diagnosis);

// "/dev/ttyUSB0 (COM1): QinHeng USB Serial, USB 1a86:7523 (WCH CH340/CH341), driver ch341"
QString DeviceLine(const SerialDevice& device);
// "pid 812 (minicom: minicom -D /dev/ttyUSB0)"
QString HolderText(const PortHolder& holder);
// "crw-rw---- root:dialout"
QString NodeText(mode_t mode, const QString& owner, const QString& group);
// What this session must do to open a device of group (empty when nothing).
QString GroupAdvice(const QString& group, GroupStanding standing);

// The report of the user, the serial devices (stable names, USB ids,
// adapter, driver, access, holders) and brltty and ModemManager.
QStringList ReportLines(const ConnectionFacts& facts);
// The port's part of the report: opened or why not, and what came back.
QStringList PortCheckLines(const PortCheck& check);
// One line on what the port check found, for a status line.
QString PortCheckSummary(const PortCheck& check);

} // namespace PortWording
