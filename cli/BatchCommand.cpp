// batch: the production line on the command line. One golden image into
// radio after radio on one or more ports, with per-unit fields from a units
// file; one line per radio, a total at the end.
#include <QByteArray>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/CliCommands.h"
#include "cli/CliSupport.h"
#include "cli/RadioSupport.h"
#include "image/CImportData.h"
#include "image/UnitsFile.h"
#include "link/ProductionLine.h"

namespace {

// Prints what the line reports: a radio's result on stdout as it comes,
// everything else on stderr, one lock for both so lines never mix.
class BatchObserver : public ProductionObserver {
public:
    BatchObserver(const std::vector<RadioPort>& ports, bool trace) : ports_(ports), trace_(trace) {}

    void OnPortFailed(std::size_t port, int error) override
    {
        const RadioPort& p = ports_[port];
        const std::vector<std::string> lines = PortFailureLines(p.device, p.portNumber, error);
        std::lock_guard<std::mutex> lock(mutex_);
        std::printf("%s: failed: %s\n", Name(port).c_str(), lines.front().c_str());
        std::fflush(stdout);
        for (std::size_t i = 1; i < lines.size(); ++i)
            std::fprintf(stderr, "%s: %s\n", Name(port).c_str(), lines[i].c_str());
    }
    void OnRadio(const ProductionLine::RadioResult& result) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::printf("%s\n", result.Line().c_str());
        std::fflush(stdout);
        for (std::size_t i = 1; i < result.reasons.size(); ++i)
            std::fprintf(stderr, "%s\n", result.reasons[i].c_str());
        if (!result.ok && !modelHinted_ && result.reasons.front().rfind(ProductionLine::kModelWrong, 0) == 0) {
            std::fputs("zemtra800-cli: batch: --yes writes radios of another model too\n", stderr);
            modelHinted_ = true;
        }
    }
    void OnPortLost(std::size_t port) override
    {
        Say(Name(port) + ": the port went away; it is tried again about once a second");
    }
    void OnTrace(std::size_t port, const std::string& line) override
    {
        if (trace_)
            Say(Name(port) + ": " + line);
    }
    void OnArchiveProblem(std::size_t port, const std::string& text) override
    {
        Say("zemtra800-cli: warning: " + Name(port) + ": " + text);
    }
    void OnPortError(std::size_t port, const std::string& text) override { Say(Name(port) + ": " + OneLine(text)); }

    void Say(const std::string& line)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::fprintf(stderr, "%s\n", line.c_str());
    }

private:
    std::string Name(std::size_t port) const { return ports_[port].argument.toStdString(); }

    const std::vector<RadioPort>& ports_;
    const bool trace_;
    std::mutex mutex_;
    bool modelHinted_ = false;
};

// Waits for the line to end; the first Ctrl+C (or SIGTERM, SIGHUP) stops it
// after the radios under way, a second one ends the program at once.
void RunUntilEnded(ProductionLine& line, const sigset_t& stopSignals, BatchObserver& observer)
{
    bool stopping = false;
    while (!line.Finished()) {
        const timespec tick{0, 200 * 1000 * 1000};
        const int signal = sigtimedwait(&stopSignals, nullptr, &tick);
        if (signal <= 0)
            continue;
        if (stopping) {
            observer.Say("zemtra800-cli: batch: stopped at once; a radio being written may be half-programmed");
            std::fflush(stdout);
            ::_exit(128 + signal);
        }
        stopping = true;
        observer.Say("zemtra800-cli: batch: stopping after the radios being programmed (again to stop at once)");
        line.Stop();
    }
    line.Wait();
}

} // namespace

int RunBatchCommand(const QStringList& arguments)
{
    const QString command = QStringLiteral("batch");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Program radio after radio with GOLDEN.dat. On each --port, over and over: wait until a radio answers "
        "(tried about once a second), read it (backed up), check its model, lay the next unit's fields over "
        "GOLDEN, write it, read it back with --verify, print 'PORT unit LABEL: ok' (or 'ok, verified', or "
        "'failed: why'), then wait until the radio is removed. The last line is 'programmed N, failed M'. "
        "Ctrl+C stops after the radios being programmed. Exit 0 when no radio failed, 1 when one did, 2 on bad "
        "input, 3 when no port could be opened."));
    const QCommandLineOption units(
        QStringLiteral("units"),
        QStringLiteral("What each radio gets on top of GOLDEN: a CSV file (UTF-8) with a header naming 'unit' (the "
                       "label) and radio-wide or DTMF members as dump names them (idCode, stunCode, message1, ...), "
                       "then one row per radio, used in order across the ports; a failed radio's row goes to the "
                       "next radio. An empty cell keeps GOLDEN's value. When the rows run out the run ends with "
                       "'no units left'."),
        QStringLiteral("UNITS.csv"));
    const QCommandLineOption verify(QStringLiteral("verify"),
                                    QStringLiteral("Read every radio back after its write and compare every byte "
                                                   "sent; a radio is ok only when it holds them all."));
    const QCommandLineOption yes(QStringLiteral("yes"),
                                 QStringLiteral("Write radios whose model differs from GOLDEN's too (otherwise "
                                                "they fail)."));
    const QCommandLineOption count(QStringLiteral("count"),
                                   QStringLiteral("Stop once N radios have been programmed."), QStringLiteral("N"));
    parser.addOption(units);
    parser.addOption(verify);
    parser.addOption(yes);
    parser.addOption(count);
    parser.addPositionalArgument(QStringLiteral("GOLDEN.dat"), QStringLiteral("The image every radio gets."));
    if (auto done = ParseRadioCommand(parser, command, arguments, 1))
        return *done;

    // Everything is checked before any port is opened.
    std::vector<RadioPort> ports;
    if (int status = ResolveRadioPorts(parser, command, ports))
        return status;
    int most = 0;
    if (parser.isSet(count)) {
        bool ok = false;
        most = parser.value(count).toInt(&ok);
        if (!ok || most < 1)
            return Fail(QStringLiteral("batch: --count takes a number of radios, 1 or more."));
    }

    CliDocument document;
    CImportData& golden = document.data;
    ProductionLine::Settings settings;
    uint8_t encoded[ImageMap::kSize];
    if (!EncodeForRadio(golden, command, parser.positionalArguments().first(), "no radio was touched", encoded))
        return kBadInput;
    std::copy(std::begin(encoded), std::end(encoded), settings.golden.begin());
    settings.modelCode = std::string(GetText(golden.GetSettings()->modelCode));

    if (parser.isSet(units)) {
        const QString path = parser.value(units);
        QByteArray text;
        if (!ReadInputFile(path, qint64(UnitsFile::kMostBytes), &text))
            return kBadInput;
        const UnitsFile::Result read =
            UnitsFile::Read(std::string_view(text.constData(), std::size_t(text.size())), golden, Utf8ToGbk);
        if (!read.Ok()) {
            for (const std::string& error : read.errors)
                std::fprintf(stderr, "zemtra800-cli: %s: %s\n", qUtf8Printable(path), error.c_str());
            return kBadInput;
        }
        for (const UnitsFile::Unit& unit : read.units)
            settings.units.push_back({unit.label, unit.image});
    }

    for (const RadioPort& port : ports)
        settings.ports.push_back({port.argument.toStdString(), port.device, port.portNumber});
    settings.verify = parser.isSet(verify);
    settings.assumeYes = parser.isSet(yes);
    settings.count = most;
    const std::unique_ptr<JobArchive> archive = ArchiveFor(parser);
    settings.archive = archive.get();

    // The ports' threads inherit the blocked signals, which then wait for
    // the main thread's sigtimedwait.
    const sigset_t stopSignals = BlockStopSignals();

    BatchObserver observer(ports, TraceRequested(parser));
    ProductionLine line(std::move(settings), observer);
    if (!line.Start()) {
        std::printf("programmed 0, failed 0\n");
        return kPortFailed;
    }
    if (::isatty(STDERR_FILENO) == 1)
        observer.Say("zemtra800-cli: batch: waiting for radios (Ctrl+C stops)");
    RunUntilEnded(line, stopSignals, observer);

    const ProductionLine::Totals totals = line.GetTotals();
    if (line.Ended() == ProductionLine::End::NoUnitsLeft)
        std::printf("%s\n", ProductionLine::kNoUnitsLeft);
    std::printf("programmed %d, failed %d\n", totals.programmed, totals.failed);
    if (std::fflush(stdout) != 0)
        return kBadInput;
    return totals.failed > 0 ? kLinkFailed : 0;
}
