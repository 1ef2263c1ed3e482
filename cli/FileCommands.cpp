// The data-file commands: new, dump, apply.
#include <QCommandLineParser>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cstdio>
#include <optional>
#include <string>

#include "CImportData.h"
#include "CliCommands.h"
#include "CodecMessageSink.h"
#include "SettingsJson.h"

namespace {

constexpr int kBadInput = 2;

int Fail(const QString& text)
{
    std::fprintf(stderr, "zemtra800-cli: %s\n", qUtf8Printable(text));
    return kBadInput;
}

// A codec failure has no window to show it in; it goes to stderr.
class StderrSink : public CodecMessageSink {
public:
    void ShowCodecMessage(const std::string& text) override
    {
        std::fprintf(stderr, "zemtra800-cli: %s\n", text.c_str());
    }
};

// The library's reason names the file in some cases only; name it once.
QString FileError(const QString& path, const std::string& reason)
{
    const QString text = QString::fromUtf8(reason.data(), qsizetype(reason.size()));
    return text.contains(path) ? text : QStringLiteral("%1: %2").arg(path, text);
}

// Parses a command's arguments. Returns an exit status when the command is
// already done (--help, or a usage error), nothing when it should run.
std::optional<int> Parse(QCommandLineParser& parser, const QString& command, const QStringList& arguments,
                         int positionals)
{
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(QStringList{QStringLiteral("zemtra800-cli")} + arguments))
        return Fail(QStringLiteral("%1: %2 See 'zemtra800-cli %1 --help'.").arg(command, parser.errorText()));
    if (parser.isSet(help)) {
        // The parser names the program by its path; show the command word too.
        QString text = parser.helpText();
        const qsizetype options = text.indexOf(QLatin1String(" [options]"));
        if (text.startsWith(QLatin1String("Usage: ")) && options > 0)
            text.replace(0, options, QStringLiteral("Usage: zemtra800-cli ") + command);
        std::fputs(qUtf8Printable(text), stdout);
        return 0;
    }
    const QStringList given = parser.positionalArguments();
    if (given.size() != positionals)
        return Fail(QStringLiteral("%1: expected %2 file argument%3, got %4. See 'zemtra800-cli %1 --help'.")
                        .arg(command)
                        .arg(positionals)
                        .arg(positionals == 1 ? "" : "s")
                        .arg(given.size()));
    return std::nullopt;
}

QCommandLineOption OutputOption()
{
    return QCommandLineOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("The data file to write (replaced whole, never left half-written)."),
                              QStringLiteral("OUT.dat"));
}

std::optional<int> RequireOutput(const QCommandLineParser& parser, const QCommandLineOption& output,
                                 const QString& command)
{
    if (parser.value(output).isEmpty())
        return Fail(
            QStringLiteral("%1: the output file is missing: -o OUT.dat. See 'zemtra800-cli %1 --help'.").arg(command));
    return std::nullopt;
}

// Loads a data file and decodes it, as opening a file in the window does.
bool LoadAndDecode(CImportData& data, const QString& path)
{
    std::string reason;
    if (!data.LoadFile(path.toStdString(), &reason)) {
        Fail(FileError(path, reason));
        return false;
    }
    data.ResetSettings();
    if (const int code = data.DecodeAll(); code != 0) {
        Fail(QStringLiteral("%1: the image cannot be decoded (error %2)").arg(path).arg(code));
        return false;
    }
    return true;
}

int EncodeAndSave(CImportData& data, const QString& path)
{
    if (const int code = data.EncodeAll(); code != 0)
        return Fail(QStringLiteral("%1: the settings cannot be encoded (error %2); nothing written")
                        .arg(path)
                        .arg(code));
    std::string reason;
    if (!data.SaveFile(path.toStdString(), &reason))
        return Fail(FileError(path, reason));
    return 0;
}

bool ReadEdits(const QString& path, QJsonObject* edits)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(QStringLiteral("%1: cannot read: %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        Fail(QStringLiteral("%1: cannot read: %2").arg(path, file.errorString()));
        return false;
    }
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
    if (auto done = Parse(parser, QStringLiteral("new"), arguments, 0))
        return *done;
    if (auto done = RequireOutput(parser, output, QStringLiteral("new")))
        return *done;

    StderrSink sink;
    CImportData data;
    data.SetMessageSink(&sink);
    return EncodeAndSave(data, parser.value(output));
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
    if (auto done = Parse(parser, QStringLiteral("dump"), arguments, 1))
        return *done;

    const QString path = parser.positionalArguments().at(0);
    StderrSink sink;
    CImportData data;
    data.SetMessageSink(&sink);
    if (!LoadAndDecode(data, path))
        return kBadInput;

    const QByteArray json = QJsonDocument(SettingsToJson(*data.GetSettings()))
                                .toJson(parser.isSet(compact) ? QJsonDocument::Compact : QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, std::size_t(json.size()), stdout);
    if (parser.isSet(compact))
        std::fputc('\n', stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return Fail(QStringLiteral("dump: cannot write to standard output"));
    return 0;
}

int RunApplyCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Sets the members EDITS names on BASE and writes the result to OUT; every other byte of BASE is kept.\n"
        "EDITS is one JSON object with the names dump prints: channels as an object keyed \"1\"..\"50\" whose "
        "values name any channel fields, autodial as an object keyed \"1\"..\"9\" (whole arrays as dump prints "
        "them are accepted too). Flags take the integer given; the image stores zero as off and anything "
        "else as on. Any bad member stops the command with nothing written."));
    parser.addPositionalArgument(QStringLiteral("BASE.dat"), QStringLiteral("The data file to start from."));
    parser.addPositionalArgument(QStringLiteral("EDITS.json"), QStringLiteral("The members to set."));
    const QCommandLineOption output = OutputOption();
    parser.addOption(output);
    if (auto done = Parse(parser, QStringLiteral("apply"), arguments, 2))
        return *done;
    if (auto done = RequireOutput(parser, output, QStringLiteral("apply")))
        return *done;

    const QString basePath = parser.positionalArguments().at(0);
    const QString editsPath = parser.positionalArguments().at(1);
    StderrSink sink;
    CImportData data;
    data.SetMessageSink(&sink);
    if (!LoadAndDecode(data, basePath))
        return kBadInput;
    QJsonObject edits;
    if (!ReadEdits(editsPath, &edits))
        return kBadInput;
    QString error;
    if (!ApplySettingsJson(edits, *data.GetSettings(), &error))
        return Fail(QStringLiteral("%1: %2").arg(editsPath, error));
    return EncodeAndSave(data, parser.value(output));
}
