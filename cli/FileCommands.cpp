// The data-file commands: new, dump, apply.
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "image/CImportData.h"
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"
#include "cli/SettingsJson.h"

namespace {

// Edits are a few kilobytes; anything near this is not an edits file.
constexpr qint64 kMaxEditsSize = 1024 * 1024;

bool ReadEdits(const QString& path, QJsonObject* edits)
{
    // Only a regular file of sensible size: /dev/zero or a FIFO would be read
    // without end or wait for ever.
    QByteArray text;
    if (!ReadInputFile(path, kMaxEditsSize, &text))
        return false;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        Fail(QStringLiteral("%1: malformed JSON at byte %2: %3")
                 .arg(path)
                 .arg(parseError.offset)
                 .arg(parseError.errorString()));
        return false;
    }
    if (!document.isObject()) {
        Fail(QStringLiteral("%1: the edits must be one JSON object of member names").arg(path));
        return false;
    }
    *edits = document.object();
    return true;
}

} // namespace

int RunNewCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes the data file a new document saves: every setting at its reset value, "
                       "all other bytes 0xFF."));
    const QCommandLineOption output = OutputOption();
    parser.addOption(output);
    if (auto done = ParseCommand(parser, QStringLiteral("new"), arguments, 0))
        return *done;
    if (auto done = RequireOutput(parser, output, QStringLiteral("new")))
        return *done;

    CliDocument document;
    return EncodeAndSave(document.data, parser.value(output));
}

int RunDumpCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints every setting of a data file as one JSON object: channels (50) and autodial (9) as arrays, "
        "frequencies in MHz, texts as strings, other values as integers."));
    parser.addPositionalArgument(QStringLiteral("FILE.dat"), QStringLiteral("The data file to read."));
    const QCommandLineOption compact(QStringLiteral("compact"), QStringLiteral("Print the JSON on one line."));
    parser.addOption(compact);
    if (auto done = ParseCommand(parser, QStringLiteral("dump"), arguments, 1))
        return *done;

    CliDocument document;
    if (!LoadAndDecode(document.data, parser.positionalArguments().at(0)))
        return kBadInput;

    QByteArray json = QJsonDocument(SettingsToJson(*document.data.GetSettings()))
                          .toJson(parser.isSet(compact) ? QJsonDocument::Compact : QJsonDocument::Indented);
    if (parser.isSet(compact))
        json += '\n';
    return WriteStandardOutput(json, QStringLiteral("dump"));
}

int RunApplyCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Sets the members EDITS names on BASE and writes the result to OUT; every other byte of BASE is kept.\n"
        "EDITS is one JSON object with the names dump prints: channels as an object keyed \"1\"..\"50\" whose "
        "values name any channel fields, autodial as an object keyed \"1\"..\"9\" (whole arrays as dump prints "
        "them are accepted too). Flags take the integer given; the image stores zero as off and anything "
        "else as on; one-byte members take 0..255. Any bad member stops the command with nothing written.\n"
        "Channels are stored as the channel editor stores them: a frequency off both the 6.25 kHz and the 5 kHz raster "
        "moves down to the 6.25 kHz raster, the step flags (rxStep625, txStep625) and channelFree follow "
        "from the frequencies, rxFrequency 0 blanks the channel, and a frequency outside the band of the "
        "model (as the edits leave it) is refused."));
    const QCommandLineOption raw(QStringLiteral("raw"),
                                 QStringLiteral("Store every value as given (within what its field holds): no "
                                                "raster, band or blank-channel rules, step flags as named."));
    BaseCommandFiles files;
    if (auto done = ParseBaseCommand(parser, QStringLiteral("apply"), arguments, QStringLiteral("EDITS.json"),
                                     QStringLiteral("The members to set."), {raw}, files))
        return *done;

    CliDocument document;
    CImportData& data = document.data;
    if (!LoadAndDecode(data, files.base))
        return kBadInput;
    QJsonObject edits;
    if (!ReadEdits(files.input, &edits))
        return kBadInput;
    QString error;
    AppliedEdits applied;
    if (!ApplySettingsJson(edits, *data.GetSettings(), parser.isSet(raw) ? ApplyMode::Raw : ApplyMode::Checked,
                           &applied, &error))
        return Fail(QStringLiteral("%1: %2").arg(files.input, error));
    return EncodeAndSave(data, files.output, applied.blankFields);
}
