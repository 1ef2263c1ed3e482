// The channel-table commands: export-csv and import-csv.
#include <cstdio>

#include "image/ChannelCsv.h"
#include "image/RadioSettings.h"
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"

namespace {

// A channel table of 50 rows is a few kilobytes; anything near this size is
// some other file given by mistake.
constexpr qint64 kLongestTable = 4 * 1024 * 1024;

void PrintLines(const QString& prefix, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        std::fprintf(stderr, "zemtra800-cli: %s%s\n", qUtf8Printable(prefix), line.c_str());
}

} // namespace

int RunExportCsvCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the channels in use of a data file as a CSV channel table in the common layout of "
        "radio-programming tools (header Location,Name,Frequency,Duplex,Offset,Tone,...), one row per channel, "
        "UTF-8, comma-separated. Blank channels are left out. A tone or DCS code the layout cannot hold, "
        "or one import-csv would refuse, is named on stderr."));
    parser.addPositionalArgument(QStringLiteral("FILE.dat"), QStringLiteral("The data file to read."));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write the table to this file (replaced whole, never left "
                                                   "half-written) instead of standard output."),
                                    QStringLiteral("OUT.csv"));
    parser.addOption(output);
    if (auto done = ParseCommand(parser, QStringLiteral("export-csv"), arguments, 1))
        return *done;

    const QString path = parser.positionalArguments().at(0);
    CliDocument document;
    if (!LoadAndDecode(document.data, path))
        return kBadInput;
    const ChannelCsv::ExportResult table = ChannelCsv::ExportAll(*document.data.GetSettings());
    PrintLines(path + QStringLiteral(": "), table.warnings);
    if (table.rows == 0)
        std::fprintf(stderr, "zemtra800-cli: %s: no channel is in use; the table holds the header only\n",
                     qUtf8Printable(path));

    const QByteArray text = QByteArray::fromStdString(table.text);
    if (parser.isSet(output))
        return SaveTextFile(parser.value(output), text);
    return WriteStandardOutput(text, QStringLiteral("export-csv"));
}

int RunImportCsvCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Puts the channels of a CSV channel table onto BASE and writes the result to OUT; every other byte of "
        "BASE is kept.\n"
        "The table is in the layout export-csv writes. Columns may come in any order, matched by the header's "
        "names (a column the layout does not have is named on stderr and ignored); a table without a header "
        "has the header's order. ';' with decimal commas, DCS codes without leading zeros, a byte-order mark, "
        "lines starting with '#', missing columns (their neutral values; a missing Power is high) and extra "
        "empty fields at the end of a row are accepted; TStep is ignored.\n"
        "Fields the layout does not carry (busy lockout, SP unmute, signalling, beat shift) keep their values "
        "on a channel in use and take a cleared channel's on a blank one. A frequency off both the 6.25 kHz and "
        "the 5 kHz raster moves down to the 6.25 kHz raster.\n"
        "Every row is checked first: Location 1..50 and given once, receive and transmit frequency inside the "
        "model's band, a CTCSS tone or DCS code the radio has. Any bad row refuses the whole table with one "
        "line per bad row, numbered as the file's lines, and nothing is written."));
    const QCommandLineOption replace(QStringLiteral("replace"),
                                     QStringLiteral("Make the channels the table does not list blank (without "
                                                    "it they keep their values)."));
    const QCommandLineOption renumber(QStringLiteral("renumber"),
                                      QStringLiteral("Ignore Location: the rows go in file order onto channel N, "
                                                     "N+1, ...; rows past channel 50 are refused."));
    const QCommandLineOption at(QStringLiteral("at"), QStringLiteral("With --renumber: the first channel (1..50, "
                                                                     "default 1)."),
                                QStringLiteral("N"));
    BaseCommandFiles files;
    if (auto done = ParseBaseCommand(parser, QStringLiteral("import-csv"), arguments, QStringLiteral("IN.csv"),
                                     QStringLiteral("The channel table."), {replace, renumber, at}, files))
        return *done;

    ChannelCsv::ImportOptions options;
    options.replace = parser.isSet(replace);
    if (parser.isSet(at) && !parser.isSet(renumber))
        return Fail(QStringLiteral("import-csv: --at needs --renumber. See 'zemtra800-cli import-csv --help'."));
    if (parser.isSet(renumber)) {
        bool number = true;
        options.startChannel = parser.isSet(at) ? parser.value(at).toInt(&number) : 1;
        if (!number || options.startChannel < 1 || options.startChannel > RadioSettings::kChannels)
            return Fail(QStringLiteral("import-csv: --at %1 is not a channel number 1..50.").arg(parser.value(at)));
    }

    const QString& tablePath = files.input;
    CliDocument document;
    CImportData& data = document.data;
    if (!LoadAndDecode(data, files.base))
        return kBadInput;
    QByteArray text;
    if (!ReadInputFile(tablePath, kLongestTable, &text))
        return kBadInput;

    RadioSettings& settings = *data.GetSettings();
    const ChannelCsv::ImportResult table =
        ChannelCsv::Import(std::string_view(text.constData(), std::size_t(text.size())), settings, options);
    PrintLines(tablePath + QStringLiteral(": "), table.warnings);
    if (!table.Ok()) {
        PrintLines(tablePath + QStringLiteral(": "), table.errors);
        return Fail(QStringLiteral("%1: the table is refused; nothing written").arg(tablePath));
    }
    if (const int status = EncodeAndSave(data, files.output); status != 0)
        return status;
    std::printf("imported %d channel%s from %s into %s\n", int(table.channels.size()),
                table.channels.size() == 1 ? "" : "s", qUtf8Printable(tablePath),
                qUtf8Printable(files.output));
    return 0;
}
