#include "cli/CliSupport.h"

#include <cstdio>

int Fail(const QString& text)
{
    std::fprintf(stderr, "zemtra800-cli: %s\n", qUtf8Printable(text));
    return kBadInput;
}

void StderrSink::ShowCodecMessage(const std::string& text)
{
    std::fprintf(stderr, "zemtra800-cli: %s\n", text.c_str());
}

namespace {

// The library's reason names the file in some cases only; name it once.
QString FileError(const QString& path, const std::string& reason)
{
    const QString text = QString::fromUtf8(reason.data(), qsizetype(reason.size()));
    return text.contains(path) ? text : QStringLiteral("%1: %2").arg(path, text);
}

} // namespace

std::optional<int> ParseCommand(QCommandLineParser& parser, const QString& command, const QStringList& arguments,
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
    const qsizetype given = parser.positionalArguments().size();
    if (given != positionals)
        return Fail(QStringLiteral("%1: expected %2 file argument%3, got %4. See 'zemtra800-cli %1 --help'.")
                        .arg(command)
                        .arg(positionals)
                        .arg(positionals == 1 ? "" : "s")
                        .arg(given));
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

bool LoadImageFile(CImportData& data, const QString& path)
{
    std::string reason;
    if (data.LoadFile(path.toStdString(), &reason))
        return true;
    Fail(FileError(path, reason));
    return false;
}

bool LoadAndDecode(CImportData& data, const QString& path)
{
    if (!LoadImageFile(data, path))
        return false;
    data.ResetSettings();
    if (const int code = data.DecodeAll(); code != 0) {
        Fail(QStringLiteral("%1: the image cannot be decoded (error %2)").arg(path).arg(code));
        return false;
    }
    return true;
}

int SaveImageFile(const CImportData& data, const QString& path)
{
    std::string reason;
    if (!data.SaveFile(path.toStdString(), &reason))
        return Fail(FileError(path, reason));
    return 0;
}
