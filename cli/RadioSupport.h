#pragma once
// What the radio commands share: read, write and info on one port or
// several, and the production line (batch).
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <csignal>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "image/CImportData.h"
#include "image/ImageMap.h"
#include "link/JobArchive.h"

// A --port as given and the device it names.
struct RadioPort {
    QString argument;
    std::string device;
    int portNumber = 0;
};

// Adds --port (which may be given several times), --trace and --no-backup,
// and parses; a radio command cannot run without a port.
std::optional<int> ParseRadioCommand(QCommandLineParser& parser, const QString& command, const QStringList& arguments,
                                     int positionals);
bool TraceRequested(const QCommandLineParser& parser);
// The archive a radio command keeps its jobs in, or null with --no-backup.
std::unique_ptr<JobArchive> ArchiveFor(const QCommandLineParser& parser);
// Every --port in the order given, resolved. A port that names no device,
// a terminal that is no radio's port, or one device given twice is refused
// (0 or the exit status), before any port is opened.
int ResolveRadioPorts(const QCommandLineParser& parser, const QString& command, std::vector<RadioPort>& ports);

// "Failed to open ...,Please select COM port again!" and the lines that say
// why and what to do about it.
std::vector<std::string> PortFailureLines(const std::string& device, int portNumber, int error);

// The messages of the message fields as GBK bytes, from UTF-8: false when
// GBK cannot write the text (or it is not UTF-8).
bool Utf8ToGbk(std::string_view utf8, std::string* gbk);

// The image a write sends: the data file loaded and decoded as the window
// opens it, then encoded into encoded. Every field the encoder stores
// differently from the file is named on stderr before anything is sent, so
// that "verified" never hides a difference. false once the failure is said
// ("COMMAND: PATH could not be encoded (error N); UNTOUCHED.").
bool EncodeForRadio(CImportData& data, const QString& command, const QString& path, const char* untouched,
                    uint8_t (&encoded)[ImageMap::kSize]);

// Blocks Ctrl+C, SIGTERM and SIGHUP and returns them: threads started after
// this inherit the mask, so the signals wait for the main thread's sigwait.
sigset_t BlockStopSignals();

// A port error as one line (the serial layer ends its texts with line ends).
std::string OneLine(std::string text);
