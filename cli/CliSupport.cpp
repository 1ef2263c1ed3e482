#include "cli/CliSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "image/FileAccess.h"

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

std::optional<int> ParseBaseCommand(QCommandLineParser& parser, const QString& command, const QStringList& arguments,
                                    const QString& inputName, const QString& inputHelp,
                                    const QList<QCommandLineOption>& options, BaseCommandFiles& files)
{
    parser.addPositionalArgument(QStringLiteral("BASE.dat"), QStringLiteral("The data file to start from."));
    parser.addPositionalArgument(inputName, inputHelp);
    const QCommandLineOption output = OutputOption();
    parser.addOption(output);
    parser.addOptions(options);
    if (auto done = ParseCommand(parser, command, arguments, 2))
        return done;
    if (auto done = RequireOutput(parser, output, command))
        return done;
    files.base = parser.positionalArguments().at(0);
    files.input = parser.positionalArguments().at(1);
    files.output = parser.value(output);
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

int EncodeAndSave(CImportData& data, const QString& path, const std::vector<std::size_t>& blankFields)
{
    if (const int code = data.EncodeAll(); code != 0)
        return Fail(QStringLiteral("%1: the settings cannot be encoded (error %2); nothing written")
                        .arg(path)
                        .arg(code));
    static const uint8_t kBlank[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    for (const std::size_t offset : blankFields)
        data.SetBytes(kBlank, offset, sizeof kBlank);
    return SaveImageFile(data, path);
}

bool ReadInputFile(const QString& path, qint64 limit, QByteArray* bytes)
{
    // A FIFO or a device would block or never end: regular files only.
    std::vector<uint8_t> read;
    DataFileError reason;
    if (!FileAccess::ReadRegularFile(path.toStdString(), std::size_t(std::max<qint64>(limit, 0)),
                                     FileAccess::Longer::Refuse, read, &reason)) {
        Fail(FileError(path, reason.Text()));
        return false;
    }
    *bytes = QByteArray(reinterpret_cast<const char*>(read.data()), qsizetype(read.size()));
    return true;
}

int SaveTextFile(const QString& path, const QByteArray& bytes)
{
    // The rules of saving a data file: never over a directory, a device
    // (/dev/null would become a plain file), a FIFO or a read-only file;
    // through a link, the file it names.
    DataFileError reason;
    const std::string target = FileAccess::SaveTarget(path.toStdString(), &reason);
    if (target.empty())
        return Fail(FileError(path, reason.Text()) + QStringLiteral("; nothing written"));
    QSaveFile file(QString::fromStdString(target));
    if (!file.open(QIODevice::WriteOnly))
        return Fail(QStringLiteral("%1: cannot write: %2").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        return Fail(QStringLiteral("%1: cannot write: %2; the file is unchanged").arg(path, file.errorString()));
    return 0;
}

int WriteStandardOutput(const QByteArray& bytes, const QString& command)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return Fail(QStringLiteral("%1: cannot write to standard output").arg(command));
    return 0;
}
