#pragma once
// What every command of zemtra800-cli shares: exit statuses, the one-line
// error report, argument parsing and loading and saving data files.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>

#include <optional>
#include <string>
#include <vector>

#include "image/CImportData.h"
#include "image/CodecMessageSink.h"

constexpr int kLinkFailed = 1;
constexpr int kBadInput = 2;
constexpr int kPortFailed = 3;

// Prints "zemtra800-cli: text" on stderr; returns kBadInput.
int Fail(const QString& text);

// A codec failure has no window to show it in; it goes to stderr.
class StderrSink : public CodecMessageSink {
public:
    void ShowCodecMessage(const std::string& text) override;
};

// A memory image and its settings that report codec failures on stderr.
struct CliDocument {
    CliDocument() { data.SetMessageSink(&sink); }
    CliDocument(const CliDocument&) = delete;
    CliDocument& operator=(const CliDocument&) = delete;
    StderrSink sink;
    CImportData data;
};

// Adds --help and parses a command's arguments. Returns an exit status when
// the command is already done (--help, or a usage error), nothing when it
// should run.
std::optional<int> ParseCommand(QCommandLineParser& parser, const QString& command, const QStringList& arguments,
                                int positionals);

// -o OUT.dat, and the usage error when it is missing.
QCommandLineOption OutputOption();
std::optional<int> RequireOutput(const QCommandLineParser& parser, const QCommandLineOption& output,
                                 const QString& command);

// The files of a command that lays a second file over BASE.dat and writes
// the result to OUT.dat (apply, import-csv).
struct BaseCommandFiles {
    QString base, input, output;
};
// Adds BASE.dat, the second file (its name and help), -o OUT.dat and then
// the command's own options, and parses; as ParseCommand, with the output
// file required too.
std::optional<int> ParseBaseCommand(QCommandLineParser& parser, const QString& command, const QStringList& arguments,
                                    const QString& inputName, const QString& inputHelp,
                                    const QList<QCommandLineOption>& options, BaseCommandFiles& files);

// Loads a whole data file; a failure is reported naming the file.
bool LoadImageFile(CImportData& data, const QString& path);
// Loads a data file and decodes it, as opening a file in the window does.
bool LoadAndDecode(CImportData& data, const QString& path);
// Saves the image as it stands (replaced whole); 0 or kBadInput.
int SaveImageFile(const CImportData& data, const QString& path);
// Encodes the settings into the image, sets the given 8-byte fields to
// 0xFF, and saves; nothing is written when encoding fails. 0 or kBadInput.
int EncodeAndSave(CImportData& data, const QString& path, const std::vector<std::size_t>& blankFields = {});

// Reads a whole input file of at most limit bytes; a failure is reported
// naming the file.
bool ReadInputFile(const QString& path, qint64 limit, QByteArray* bytes);
// Writes bytes as the whole new content of path, through a temporary file
// put in place only when everything is written; 0 or kBadInput.
int SaveTextFile(const QString& path, const QByteArray& bytes);
// Writes bytes to standard output and flushes; 0, or kBadInput naming the
// command when they could not all be written (a full disk, a closed pipe).
int WriteStandardOutput(const QByteArray& bytes, const QString& command);
