// The radio commands: ports, read, write, info, simulate.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QStringDecoder>
#include <QStringEncoder>

#include "image/CImportData.h"
#include "image/FileAccess.h"
#include "image/JobResults.h"
#include "image/JoinedText.h"
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"
#include "image/ModelTable.h"
#include "cli/PortAdvice.h"
#include "cli/RadioSupport.h"
#include "link/PortDiagnosis.h"
#include "image/ImageCompare.h"
#include "link/JobArchive.h"
#include "link/JobRecorder.h"
#include "link/PortNames.h"
#include "link/RadioLink.h"
#include "sim/SimulatedRadio.h"

namespace {

const char* const kCommunicationFailed = JobRecorder::kCommunicationFailed;

const QCommandLineOption kPort(QStringList{QStringLiteral("p"), QStringLiteral("port")},
                               QStringLiteral("The serial device (/dev/ttyUSB0, a pseudo-terminal) or a port "
                                              "number (1..8 /dev/ttyUSB0..7, 9..16 /dev/ttyACM0..7, "
                                              "17..24 /dev/ttyS0..7). Given several times: one radio on each "
                                              "port, all at once."),
                               QStringLiteral("PORT"));
const QCommandLineOption kTrace(QStringLiteral("trace"),
                                QStringLiteral("Print every frame sent (Tr) and received (Re) on stderr."));

// Reports a job on stderr: trace lines, a progress bar on a terminal, the
// model question, what could not be kept in the archive. Calls come from the
// job thread (port errors also from the port's watch thread) while the main
// thread waits for the job. What the job produced is kept by its JobRecorder.
class CliJobObserver : public JobObserver {
public:
    CliJobObserver(bool trace, bool assumeYes, int total)
        : trace_(trace), assumeYes_(assumeYes), total_(total), bar_(::isatty(STDERR_FILENO) == 1)
    {
    }

    void OnTrace(const std::string& line) override
    {
        if (!trace_)
            return;
        std::lock_guard<std::mutex> lock(mutex_);
        ClearBar();
        std::fprintf(stderr, "%s\n", line.c_str());
        DrawBar();
    }
    void OnProgress(int position) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const int before = total_ > 0 ? position_ * 100 / total_ : 0;
        position_ = std::min(position, total_);
        if (!drawn_ || (total_ > 0 && position_ * 100 / total_ != before))
            DrawBar();
    }
    // On a terminal the bell stands for the beeps; a script hears nothing.
    void OnBeep(int, int) override
    {
        if (bar_) {
            std::lock_guard<std::mutex> lock(mutex_);
            std::fputc('\a', stderr);
            std::fflush(stderr);
        }
    }
    bool AskModelOverwrite() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ClearBar();
        std::fputs("Model type is wrong,are you sure to overwrite?", stderr);
        bool yes = false;
        if (assumeYes_) {
            std::fputs(" yes (--yes)\n", stderr);
            yes = true;
        } else if (::isatty(STDIN_FILENO) != 1) {
            std::fputs(" no (no terminal to ask; --yes overwrites)\n", stderr);
        } else {
            std::fputs(" [y/N] ", stderr);
            std::fflush(stderr);
            char answer[64] = {};
            if (std::fgets(answer, sizeof answer, stdin) != nullptr) {
                const char* p = answer;
                while (*p == ' ' || *p == '\t')
                    ++p;
                yes = (p[0] == 'y' || p[0] == 'Y') &&
                      (p[1] == '\n' || p[1] == '\0' || std::strncmp(p + 1, "es", 2) == 0 ||
                       std::strncmp(p + 1, "ES", 2) == 0);
            } else {
                std::fputc('\n', stderr);
            }
        }
        DrawBar();
        return yes;
    }
    void OnIdentification(const uint8_t*) override {}
    void OnReadComplete(const uint8_t*) override {}
    void OnInfoComplete(const uint8_t*) override {}
    void OnJobEnded(LinkJobMode, bool success) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (success)
            position_ = total_;
        DrawBar();
        if (bar_ && drawn_)
            std::fputc('\n', stderr);
        drawn_ = false;
    }
    void OnPortError(const std::string& text) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ClearBar();
        std::fprintf(stderr, "%s", text.c_str());
        DrawBar();
    }
    void OnArchiveProblem(const std::string& text) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ClearBar();
        std::fprintf(stderr, "zemtra800-cli: warning: %s\n", text.c_str());
        DrawBar();
    }

private:
    void ClearBar()
    {
        if (bar_ && drawn_)
            std::fputs("\r\033[K", stderr);
    }
    void DrawBar()
    {
        if (!bar_ || total_ <= 0)
            return;
        constexpr int kWidth = 40;
        const int filled = position_ * kWidth / total_;
        char text[kWidth + 32];
        std::snprintf(text, sizeof text, "\r[%-*s] %3d%%", kWidth, std::string(filled, '#').c_str(),
                      position_ * 100 / total_);
        std::fputs(text, stderr);
        std::fflush(stderr);
        drawn_ = true;
    }

    std::mutex mutex_;
    const bool trace_;
    const bool assumeYes_;
    const int total_;
    const bool bar_;
    bool drawn_ = false;
    int position_ = 0;
};

} // namespace

// The lines said when the port cannot be opened: the message, then why and
// what to do about it.
std::vector<std::string> PortFailureLines(const std::string& device, int portNumber, int error)
{
    std::vector<std::string> lines{OpenFailedLine(device, portNumber)};
    for (const std::string& line : PortFailureAdvice(DiagnosePort(device, error)))
        lines.push_back(line);
    return lines;
}

namespace {

void PrintLines(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        std::fprintf(stderr, "%s\n", line.c_str());
}

} // namespace

int ResolveRadioPort(const QString& command, const QString& portArgument, std::string& device, int& portNumber)
{
    if (!ResolvePort(portArgument.toStdString(), device, portNumber))
        return Fail(QStringLiteral("%1: '%2' is neither a device path nor a port number 1..24.")
                        .arg(command, portArgument));
    const QString name = QString::fromStdString(device);
    switch (RefusedPort(device)) {
    case PortRefusal::VirtualConsole:
        return Fail(QStringLiteral("%1: %2 is a console, not the radio's serial port.").arg(command, name));
    case PortRefusal::OwnTerminal:
        return Fail(QStringLiteral("%1: %2 is the terminal this program runs in, not the radio's serial port.")
                        .arg(command, name));
    case PortRefusal::None: break;
    }
    return 0;
}

namespace {

struct JobRequest {
    explicit JobRequest(LinkJobMode m) : mode(m) {}
    LinkJobMode mode;
    const uint8_t* image = nullptr; // a write: the 2048 bytes as encoded
    std::string modelCode;          // a write: the file's model code
    bool readBack = false;          // a write: read back and compare
};

// Opens the port and runs one job to its end, recorded (backed up and
// logged unless --no-backup). 0, or the exit status; device is the device
// opened. A failed job's lines are on stderr already.
int RunJob(const QString& command, const QString& portArgument, const JobRequest& request, JobRecorder& recorder,
           std::string& device)
{
    int portNumber = 0;
    if (int status = ResolveRadioPort(command, portArgument, device, portNumber))
        return status;
    recorder.Begin(request.mode, portArgument.toStdString(), device, request.readBack, request.image,
                   request.modelCode);
    RadioLink link(recorder);
    if (!link.OpenPort(device, portNumber)) {
        const std::vector<std::string> lines = PortFailureLines(device, portNumber, link.OpenErrorCode());
        PrintLines(lines);
        recorder.RecordNotStarted(Joined(lines, " "));
        return kPortFailed;
    }
    if (!link.StartJob(request.mode, request.image, request.modelCode, request.readBack)) {
        PrintLines({kCommunicationFailed});
        recorder.RecordNotStarted(kCommunicationFailed);
        return kLinkFailed;
    }
    link.WaitForJob();
    if (!recorder.Result().success) {
        PrintLines(recorder.FailureLines());
        return kLinkFailed;
    }
    return 0;
}

const QCommandLineOption kNoBackup(QStringLiteral("no-backup"),
                                   QStringLiteral("Keep no backup of the image and no line in the job log "
                                                  "($XDG_DATA_HOME/Halvorn/ZEMTRA800)."));

} // namespace

std::unique_ptr<JobArchive> ArchiveFor(const QCommandLineParser& parser)
{
    if (parser.isSet(kNoBackup))
        return nullptr;
    return std::make_unique<JobArchive>(JobArchive::DefaultFolder());
}

bool TraceRequested(const QCommandLineParser& parser)
{
    return parser.isSet(kTrace);
}

std::optional<int> ParseRadioCommand(QCommandLineParser& parser, const QString& command,
                                     const QStringList& arguments, int positionals)
{
    parser.addOption(kPort);
    parser.addOption(kTrace);
    parser.addOption(kNoBackup);
    if (auto done = ParseCommand(parser, command, arguments, positionals))
        return done;
    if (parser.value(kPort).isEmpty())
        return Fail(QStringLiteral("%1: the port is missing: --port PORT. See 'zemtra800-cli %1 --help'.")
                        .arg(command));
    return std::nullopt;
}

int ResolveRadioPorts(const QCommandLineParser& parser, const QString& command, std::vector<RadioPort>& ports)
{
    ports.clear();
    std::set<std::string> devices;
    for (const QString& argument : parser.values(kPort)) {
        RadioPort port;
        port.argument = argument;
        if (int status = ResolveRadioPort(command, argument, port.device, port.portNumber))
            return status;
        // Two links on one device would each take half of the radio's answers.
        if (!devices.insert(port.device).second)
            return Fail(QStringLiteral("%1: %2 is given twice as --port.").arg(command, QString::fromStdString(port.device)));
        ports.push_back(port);
    }
    return 0;
}

bool Utf8ToGbk(std::string_view utf8, std::string* gbk)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(QByteArrayView(utf8.data(), qsizetype(utf8.size())));
    if (decoder.hasError())
        return false;
    QStringEncoder encoder("GBK");
    const QByteArray bytes = encoder(text);
    if (encoder.hasError() || !encoder.isValid())
        return false;
    gbk->assign(bytes.constData(), std::size_t(bytes.size()));
    return true;
}

bool EncodeForRadio(CImportData& data, const QString& command, const QString& path, const char* untouched,
                    uint8_t (&encoded)[ImageMap::kSize])
{
    if (!LoadAndDecode(data, path))
        return false;
    uint8_t given[ImageMap::kSize];
    data.GetBytes(given, 0, ImageMap::kSize);
    if (int code = data.EncodeAll()) {
        Fail(QStringLiteral("%1: %2 could not be encoded (error %3); %4.").arg(command, path).arg(code).arg(untouched));
        return false;
    }
    data.GetBytes(encoded, 0, ImageMap::kSize);
    for (const ImageCompare::FieldChange& change : ImageCompare::EncoderChanges(given, encoded))
        std::fprintf(stderr, "zemtra800-cli: warning: %s: %s\n", qUtf8Printable(path),
                     ImageCompare::ChangeText(change).c_str());
    return true;
}

sigset_t BlockStopSignals()
{
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    return stopSignals;
}

std::string OneLine(std::string text)
{
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

namespace {

// A file that can't be written is found before the radio is read, not after:
// the rules of saving, and a folder the new file can be made in.
bool CanWrite(const std::string& path, std::string& reason)
{
    DataFileError why;
    const std::string target = FileAccess::SaveTarget(path, &why);
    if (target.empty()) {
        reason = why.Text();
        return false;
    }
    std::string dir = target;
    const std::size_t slash = dir.rfind('/');
    dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : dir.substr(0, slash));
    if (::access(dir.c_str(), W_OK) != 0) {
        reason = "cannot write " + dir + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool ParseCount(const QCommandLineParser& parser, const QCommandLineOption& option, int& out)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < 0)
        return false;
    out = value;
    return true;
}

// ---- several ports at once -------------------------------------------------

// The jobs of several ports write to one terminal: one lock for all their
// lines, and on a terminal one progress bar for all the radios together.
class SharedOutput {
public:
    SharedOutput(std::size_t ports, int totalEach)
        : positions_(ports, 0), totalEach_(totalEach), bar_(::isatty(STDERR_FILENO) == 1)
    {
    }
    void Progress(std::size_t port, int position)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const int before = Percent();
        positions_[port] = std::clamp(position, 0, totalEach_);
        if (!drawn_ || Percent() != before)
            DrawBar();
    }
    void Line(const std::string& text)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (bar_ && drawn_)
            std::fputs("\r\033[K", stderr);
        std::fprintf(stderr, "%s\n", text.c_str());
        if (drawn_)
            DrawBar();
    }
    void Finish()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (bar_ && drawn_)
            std::fputc('\n', stderr);
        drawn_ = false;
    }

private:
    int Percent() const
    {
        long sum = 0;
        for (int p : positions_)
            sum += p;
        const long total = long(totalEach_) * long(positions_.size());
        return total > 0 ? int(sum * 100 / total) : 0;
    }
    void DrawBar()
    {
        if (!bar_)
            return;
        constexpr int kWidth = 40;
        const int percent = Percent();
        char text[kWidth + 64];
        std::snprintf(text, sizeof text, "\r[%-*s] %3d%% (%zu radios)", kWidth,
                      std::string(std::size_t(percent * kWidth / 100), '#').c_str(), percent, positions_.size());
        std::fputs(text, stderr);
        std::fflush(stderr);
        drawn_ = true;
    }

    std::mutex mutex_;
    std::vector<int> positions_;
    const int totalEach_;
    const bool bar_;
    bool drawn_ = false;
};

// One port's job among several: nothing is asked (the model question is
// answered by --yes alone, so a radio of another model fails on its own),
// trace lines carry the port.
class PortJobObserver : public JobObserver {
public:
    PortJobObserver(SharedOutput& out, std::size_t index, const std::string& port, bool trace, bool assumeYes,
                    int total)
        : out_(out), index_(index), port_(port), trace_(trace), assumeYes_(assumeYes), total_(total)
    {
    }
    void OnTrace(const std::string& line) override
    {
        if (trace_)
            out_.Line(port_ + ": " + line);
    }
    void OnProgress(int position) override { out_.Progress(index_, position); }
    void OnBeep(int, int) override {}
    bool AskModelOverwrite() override { return assumeYes_; }
    void OnIdentification(const uint8_t*) override {}
    void OnReadComplete(const uint8_t*) override {}
    void OnInfoComplete(const uint8_t*) override {}
    void OnJobEnded(LinkJobMode, bool success) override
    {
        if (success)
            out_.Progress(index_, total_);
    }
    void OnPortError(const std::string& text) override { out_.Line(port_ + ": " + OneLine(text)); }
    void OnArchiveProblem(const std::string& text) override
    {
        out_.Line("zemtra800-cli: warning: " + port_ + ": " + text);
    }

private:
    SharedOutput& out_;
    const std::size_t index_;
    const std::string port_;
    const bool trace_, assumeYes_;
    const int total_;
};

// The first line of a write refused for its model, as the single-port
// write says it without a terminal to ask.
const char* const kModelRefused = "Model type is wrong,are you sure to overwrite? no (--yes overwrites)";

struct PortRun {
    RadioPort port;
    std::unique_ptr<PortJobObserver> observer;
    std::unique_ptr<JobRecorder> recorder;
    int status = 0;
    std::vector<std::string> lines; // a failure's lines, the first for the port's line
};

// One port's job, recorded; the lines of a failure are kept, not printed.
int RunPortJob(PortRun& run, const JobRequest& request)
{
    JobRecorder& recorder = *run.recorder;
    recorder.Begin(request.mode, run.port.argument.toStdString(), run.port.device, request.readBack, request.image,
                   request.modelCode);
    RadioLink link(recorder);
    if (!link.OpenPort(run.port.device, run.port.portNumber)) {
        run.lines = PortFailureLines(run.port.device, run.port.portNumber, link.OpenErrorCode());
        recorder.RecordNotStarted(Joined(run.lines, " "));
        return kPortFailed;
    }
    if (!link.StartJob(request.mode, request.image, request.modelCode, request.readBack)) {
        run.lines = {kCommunicationFailed};
        recorder.RecordNotStarted(kCommunicationFailed);
        return kLinkFailed;
    }
    link.WaitForJob();
    if (recorder.Result().success)
        return 0;
    run.lines = recorder.FailureLines();
    if (recorder.Result().modelRefused)
        run.lines.insert(run.lines.begin(), kModelRefused);
    return kLinkFailed;
}

// Runs one job per port, each on its own link and thread (so that their
// settling pauses overlap too), and waits until all have ended.
std::vector<PortRun> RunOnEveryPort(const std::vector<RadioPort>& ports, const JobRequest& request, bool trace,
                                    bool assumeYes, JobArchive* archive)
{
    const int total = RadioLink::ProgressTotal(request.mode, request.readBack);
    SharedOutput out(ports.size(), total);
    std::vector<PortRun> runs(ports.size());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        runs[i].port = ports[i];
        runs[i].observer = std::make_unique<PortJobObserver>(out, i, ports[i].argument.toStdString(), trace,
                                                             assumeYes, total);
        runs[i].recorder = std::make_unique<JobRecorder>(*runs[i].observer, archive);
    }
    std::vector<std::thread> threads;
    for (PortRun& run : runs)
        threads.emplace_back([&run, &request] { run.status = RunPortJob(run, request); });
    for (std::thread& thread : threads)
        thread.join();
    out.Finish();
    return runs;
}

// "PORT: failed: FIRST LINE" on stdout and the failure's further lines on
// stderr, each naming the port.
void PrintFailure(const PortRun& run)
{
    const std::string port = run.port.argument.toStdString();
    std::printf("%s: failed: %s\n", port.c_str(),
                run.lines.empty() ? kCommunicationFailed : run.lines.front().c_str());
    for (std::size_t i = 1; i < run.lines.size(); ++i) {
        const std::string& line = run.lines[i];
        const bool named = line.rfind(port + ":", 0) == 0 || line.rfind(run.port.device + ":", 0) == 0;
        std::fprintf(stderr, "%s%s\n", named ? "" : (port + ": ").c_str(), line.c_str());
    }
}

// 0 when every port's job succeeded, else the highest status among them.
int WorstStatus(const std::vector<PortRun>& runs)
{
    int worst = 0;
    for (const PortRun& run : runs)
        worst = std::max(worst, run.status);
    return worst;
}

// The output file of the nth port (1-based): {n} and {port} (the device's
// base name) replaced.
QString OutputFor(const QString& pattern, std::size_t n, const RadioPort& port)
{
    const std::size_t slash = port.device.rfind('/');
    const std::string base = slash == std::string::npos ? port.device : port.device.substr(slash + 1);
    QString out = pattern;
    out.replace(QLatin1String("{n}"), QString::number(n));
    out.replace(QLatin1String("{port}"), QString::fromStdString(base));
    return out;
}

// The radio information as the info dialog shows it, one line each.
void PrintRadioInfo(const JobRecorder::Outcome& outcome)
{
    CliDocument document;
    CImportData& data = document.data;
    JobResults::LayIdentification(data, *outcome.ident);
    JobResults::LayRadioInfo(data, *outcome.info);
    data.DecodeAll();
    const RadioSettings& settings = *data.GetSettings();
    const std::string code(GetText(settings.modelCode));
    const ModelRow* row = ModelTable::Find(code);
    std::printf("Type: %s\n", row ? row->modelName : "");
    std::printf("Frequency: %s\n", row ? row->bandText : "");
    std::printf("Model code: %s\n", code.c_str());
    std::printf("Information 1: %s\n", std::string(GetText(settings.infoText1)).c_str());
    std::printf("Information 2: %s\n", std::string(GetText(settings.infoText2)).c_str());
}

int ReadSeveral(const QCommandLineParser& parser, const QString& pattern)
{
    const QString command = QStringLiteral("read");
    std::vector<RadioPort> ports;
    if (int status = ResolveRadioPorts(parser, command, ports))
        return status;
    if (!pattern.contains(QLatin1String("{n}")) && !pattern.contains(QLatin1String("{port}")))
        return Fail(QStringLiteral("read: with several ports -o names a file for each: put {n} (1, 2, ...) or "
                                   "{port} (the device's name) in it, e.g. -o unit-{n}.dat."));
    // Every file is checked before any radio is read.
    std::vector<QString> outs;
    std::set<QString> seen;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        outs.push_back(OutputFor(pattern, i + 1, ports[i]));
        if (!seen.insert(outs.back()).second)
            return Fail(QStringLiteral("read: -o %1 gives two ports the same file %2; use {n}.").arg(pattern, outs.back()));
        std::string reason;
        if (!CanWrite(outs.back().toStdString(), reason))
            return Fail(QStringLiteral("read: %1").arg(QString::fromStdString(reason)));
    }
    const std::unique_ptr<JobArchive> archive = ArchiveFor(parser);
    std::vector<PortRun> runs =
        RunOnEveryPort(ports, JobRequest(JobRead), parser.isSet(kTrace), false, archive.get());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        PortRun& run = runs[i];
        if (run.status == 0) {
            CImportData data;
            JobResults::LayReadImage(data, *run.recorder->Result().image);
            run.status = SaveImageFile(data, outs[i]);
            if (run.status != 0)
                run.lines = {"the image read could not be saved in " + outs[i].toStdString()};
        }
        if (run.status == 0)
            std::printf("%s: ok\n", qUtf8Printable(run.port.argument));
        else
            PrintFailure(run);
    }
    return WorstStatus(runs);
}

int WriteSeveral(const QCommandLineParser& parser, const uint8_t* encoded, const std::string& modelCode,
                 bool readBack, bool assumeYes)
{
    std::vector<RadioPort> ports;
    if (int status = ResolveRadioPorts(parser, QStringLiteral("write"), ports))
        return status;
    JobRequest request(JobWrite);
    request.image = encoded;
    request.modelCode = modelCode;
    request.readBack = readBack;
    const std::unique_ptr<JobArchive> archive = ArchiveFor(parser);
    const std::vector<PortRun> runs =
        RunOnEveryPort(ports, request, parser.isSet(kTrace), assumeYes, archive.get());
    for (const PortRun& run : runs) {
        if (run.status == 0)
            std::printf("%s: %s\n", qUtf8Printable(run.port.argument), readBack ? "ok, verified" : "ok");
        else
            PrintFailure(run);
    }
    return WorstStatus(runs);
}

int InfoSeveral(const QCommandLineParser& parser)
{
    std::vector<RadioPort> ports;
    if (int status = ResolveRadioPorts(parser, QStringLiteral("info"), ports))
        return status;
    const std::unique_ptr<JobArchive> archive = ArchiveFor(parser);
    const std::vector<PortRun> runs =
        RunOnEveryPort(ports, JobRequest(JobInfo), parser.isSet(kTrace), false, archive.get());
    for (const PortRun& run : runs) {
        if (run.status != 0) {
            PrintFailure(run);
            continue;
        }
        std::printf("%s: ok\n", qUtf8Printable(run.port.argument));
        PrintRadioInfo(run.recorder->Result());
    }
    return WorstStatus(runs);
}

constexpr int kMostSimulatedRadios = 64;

// One command of simulate --radios from stdin: "unplug K" or "plug K [FILE.dat]".
void RadioCommand(const std::vector<std::unique_ptr<SimulatedRadio>>& radios, const std::string& line)
{
    const QString text = QString::fromLocal8Bit(line.data(), qsizetype(line.size())).trimmed();
    if (text.isEmpty())
        return;
    const QString word = text.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    const QString number = text.section(QLatin1Char(' '), 1, 1, QString::SectionSkipEmpty);
    bool ok = false;
    const int k = number.toInt(&ok);
    const bool plug = word == QLatin1String("plug");
    if ((!plug && word != QLatin1String("unplug")) || !ok || k < 1 || k > int(radios.size())) {
        std::fprintf(stderr, "zemtra800-cli: simulate: '%s' is not a command: unplug K or plug K [FILE.dat], K 1..%zu\n",
                     qUtf8Printable(text), radios.size());
        return;
    }
    SimulatedRadio& radio = *radios[std::size_t(k - 1)];
    if (!plug) {
        radio.SetPlugged(false);
        std::printf("radio %d unplugged\n", k);
        std::fflush(stdout);
        return;
    }
    // The file is everything after the number, spaces and all.
    const qsizetype at = text.indexOf(number, text.indexOf(word) + word.size()) + number.size();
    const QString file = text.mid(at).trimmed();
    if (!file.isEmpty()) {
        CImportData data;
        if (!LoadImageFile(data, file))
            return; // said on stderr; the radio stays as it was
        SimulatedRadio::Memory memory;
        data.GetBytes(memory.data(), 0, memory.size());
        radio.SetPlugged(false); // the radio on the cable is another one
        radio.SetMemory(memory);
    }
    radio.SetPlugged(true);
    std::printf("radio %d plugged in\n", k);
    std::fflush(stdout);
}

// Reads stdin line by line until it ends or wakeFd becomes readable.
void ServeRadioCommands(const std::vector<std::unique_ptr<SimulatedRadio>>& radios, int wakeFd)
{
    std::string pending;
    for (;;) {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        char buffer[512];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // stdin closed: the radios serve on until interrupted.
            pollfd wait{wakeFd, POLLIN, 0};
            while (::poll(&wait, 1, -1) < 0 && errno == EINTR) {
            }
            return;
        }
        pending.append(buffer, std::size_t(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            RadioCommand(radios, pending.substr(0, end));
            pending.erase(0, end + 1);
        }
    }
}

} // namespace

int RunPortsCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("List the serial devices present, one a line: the device, "
                                                    "its port number where it has one, and the adapter."));
    if (auto done = ParseCommand(parser, QStringLiteral("ports"), arguments, 0))
        return *done;
    const std::vector<SerialPortInfo> ports = ListSerialPorts();
    if (ports.empty())
        std::fputs("zemtra800-cli: no serial devices found\n", stderr);
    for (const SerialPortInfo& port : ports) {
        std::string line = port.device;
        if (port.portNumber > 0)
            line += "\tCOM" + std::to_string(port.portNumber);
        if (!port.description.empty())
            line += "\t" + port.description;
        std::printf("%s\n", line.c_str());
    }
    return 0;
}

int RunReadCommand(const QStringList& arguments)
{
    const QString command = QStringLiteral("read");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Read the radio's 2048-byte memory into OUT.dat. OUT is written only when the whole read succeeded. With "
        "several --port, one radio on each is read at once into the file OUT names with {n} (1, 2, ... in the "
        "order of the --port options) or {port} (the device's name, e.g. ttyUSB0), e.g. -o unit-{n}.dat, and "
        "one line per port says 'PORT: ok' or 'PORT: failed: why'."));
    const QCommandLineOption output = OutputOption();
    parser.addOption(output);
    if (auto done = ParseRadioCommand(parser, command, arguments, 0))
        return *done;
    if (auto bad = RequireOutput(parser, output, command))
        return *bad;
    if (parser.values(kPort).size() > 1)
        return ReadSeveral(parser, parser.value(output));
    const QString out = parser.value(output);
    std::string reason;
    if (!CanWrite(out.toStdString(), reason))
        return Fail(QStringLiteral("read: %1").arg(QString::fromStdString(reason)));

    CliJobObserver observer(parser.isSet(kTrace), false, RadioLink::ProgressTotal(JobRead));
    const std::unique_ptr<JobArchive> archive = ArchiveFor(parser);
    JobRecorder recorder(observer, archive.get());
    std::string device;
    if (int status = RunJob(command, parser.value(kPort), JobRequest(JobRead), recorder, device))
        return status;
    CliDocument document;
    CImportData& data = document.data;
    JobResults::LayReadImage(data, *recorder.Result().image);
    if (int status = SaveImageFile(data, out))
        return status;
    // The model as the window's title would show it after this read.
    data.DecodeAll();
    ModelState model;
    ModelIdentify(model, *data.GetSettings());
    std::string radio(GetText(data.GetSettings()->modelCode));
    radio += (radio.empty() ? "" : ", ") + TitleBandText(model);
    std::printf("read %zu bytes from %s (%s) into %s\n", ImageMap::kSize, device.c_str(), radio.c_str(),
                qUtf8Printable(out));
    return 0;
}

int RunWriteCommand(const QStringList& arguments)
{
    const QString command = QStringLiteral("write");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Write IN.dat into the radio (image bytes 0..1999). Fields the encoder stores differently from the "
        "file (a stun code of fewer than six digits is sent as none, for example) are named on stderr before "
        "anything is sent. With several --port, one radio on each is written at once and one line per port "
        "says 'PORT: ok', 'PORT: ok, verified' or 'PORT: failed: why'; a radio of another model fails unless "
        "--yes is given."));
    const QCommandLineOption yes(QStringLiteral("yes"),
                                 QStringLiteral("Answer Yes when the radio's model differs from the file's."));
    const QCommandLineOption verify(QStringLiteral("verify"),
                                    QStringLiteral("Read the radio back at once after the write and compare "
                                                   "every byte sent; a difference or a failed read-back "
                                                   "exits 1."));
    parser.addOption(yes);
    parser.addOption(verify);
    parser.addPositionalArgument(QStringLiteral("IN.dat"), QStringLiteral("The data file to write."));
    if (auto done = ParseRadioCommand(parser, command, arguments, 1))
        return *done;

    // As the window opens a file, then as its write command starts. A model
    // that could not be decoded whole would be written back with reset values
    // in the fields after the failure.
    CliDocument document;
    CImportData& data = document.data;
    uint8_t encoded[ImageMap::kSize];
    if (!EncodeForRadio(data, command, parser.positionalArguments().first(), "nothing was sent", encoded))
        return kBadInput;
    const std::string modelCode(GetText(data.GetSettings()->modelCode));

    const bool readBack = parser.isSet(verify);
    if (parser.values(kPort).size() > 1)
        return WriteSeveral(parser, encoded, modelCode, readBack, parser.isSet(yes));
    CliJobObserver observer(parser.isSet(kTrace), parser.isSet(yes), RadioLink::ProgressTotal(JobWrite, readBack));
    const std::unique_ptr<JobArchive> archive = ArchiveFor(parser);
    JobRecorder recorder(observer, archive.get());
    JobRequest request(JobWrite);
    request.image = encoded;
    request.modelCode = modelCode;
    request.readBack = readBack;
    std::string device;
    const int status = RunJob(command, parser.value(kPort), request, recorder, device);
    // A write whose read-back failed has still written every block.
    if (status == 0 || recorder.Result().writeClosed)
        std::printf("wrote %zu bytes to %s\n", ImageMap::kWritableSize, device.c_str());
    if (status == 0 && readBack)
        std::printf("%s\n", ImageCompare::VerifyText(*recorder.Result().verify).c_str());
    return status;
}

int RunInfoCommand(const QStringList& arguments)
{
    const QString command = QStringLiteral("info");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Ask the radio for its model and information texts. With several --port, every radio is asked at once "
        "and each one's lines follow a line 'PORT: ok' (or 'PORT: failed: why')."));
    if (auto done = ParseRadioCommand(parser, command, arguments, 0))
        return *done;
    if (parser.values(kPort).size() > 1)
        return InfoSeveral(parser);

    CliJobObserver observer(parser.isSet(kTrace), false, RadioLink::ProgressTotal(JobInfo));
    const std::unique_ptr<JobArchive> archive = ArchiveFor(parser);
    JobRecorder recorder(observer, archive.get());
    std::string device;
    if (int status = RunJob(command, parser.value(kPort), JobRequest(JobInfo), recorder, device))
        return status;
    PrintRadioInfo(recorder.Result());
    return 0;
}

int RunSimulateCommand(const QStringList& arguments)
{
    const QString command = QStringLiteral("simulate");
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serve a simulated radio on a pseudo-terminal until interrupted. The first line on "
                       "stdout is the device to give as --port (with --radios N, the first N lines)."));
    const QCommandLineOption image(QStringLiteral("image"),
                                   QStringLiteral("The radio's memory (default: the file 'new' writes)."),
                                   QStringLiteral("FILE.dat"));
    const QCommandLineOption model(QStringLiteral("model"), QStringLiteral("The model code the radio reports."),
                                   QStringLiteral("CODE"));
    const QCommandLineOption lineTiming(QStringLiteral("line-timing"),
                                        QStringLiteral("Pace every byte as a 9600 baud 8N2 line does."));
    const QCommandLineOption save(QStringLiteral("save"),
                                  QStringLiteral("Write the memory to FILE after every completed write."),
                                  QStringLiteral("FILE.dat"));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Answer nothing."));
    const QCommandLineOption stray(QStringLiteral("stray-bytes"),
                                   QStringLiteral("Send N stray bytes before every acknowledge."),
                                   QStringLiteral("N"));
    const QCommandLineOption badSum(QStringLiteral("bad-checksum-from"),
                                    QStringLiteral("Wrong checksum from read block N (0 = first) on."),
                                    QStringLiteral("N"));
    const QCommandLineOption badLength(QStringLiteral("bad-length-from"),
                                       QStringLiteral("Wrong length byte from read block N on."),
                                       QStringLiteral("N"));
    const QCommandLineOption hangUp(QStringLiteral("hang-up-after"),
                                    QStringLiteral("Stop answering after N blocks."), QStringLiteral("N"));
    const QCommandLineOption closeLine(QStringLiteral("close-line"),
                                       QStringLiteral("At the hang-up also close the line, as a pulled cable."));
    const QCommandLineOption hangUpConnection(
        QStringLiteral("hang-up-connection"),
        QStringLiteral("Count --hang-up-after in connection K only (1 = the first; a verified write's read-back "
                       "is the second)."),
        QStringLiteral("K"));
    const QCommandLineOption delay(QStringLiteral("answer-delay"),
                                   QStringLiteral("Wait MS milliseconds before every answer."),
                                   QStringLiteral("MS"));
    const QCommandLineOption corrupt(QStringLiteral("corrupt-write"),
                                     QStringLiteral("Store the byte at ADDR (0..2047, or 0x7F0) wrongly whenever "
                                                    "it is written, and acknowledge as usual."),
                                     QStringLiteral("ADDR"));
    const QCommandLineOption radios(
        QStringLiteral("radios"),
        QStringLiteral("Serve N radios, each on a pseudo-terminal of its own (the devices printed one a line, radio 1 "
                       "first), and take commands on stdin, one a line: 'unplug K' (radio K stops answering, as "
                       "when taken off its cable) and 'plug K [FILE.dat]' (radio K answers again, with FILE's memory "
                       "when given: another radio). Each command is confirmed on stdout. --save then names a file "
                       "for each radio with {n}."),
        QStringLiteral("N"));
    for (const QCommandLineOption* o : {&image, &model, &lineTiming, &save, &silent, &stray, &badSum, &badLength,
                                        &hangUp, &hangUpConnection, &closeLine, &delay, &corrupt, &radios})
        parser.addOption(*o);
    if (auto done = ParseCommand(parser, command, arguments, 0))
        return *done;

    SimulatedRadioOptions options;
    options.lineTiming = parser.isSet(lineTiming);
    options.silent = parser.isSet(silent);
    options.hangUpClosesLine = parser.isSet(closeLine);
    if (!ParseCount(parser, stray, options.strayBytesBeforeAck) ||
        !ParseCount(parser, badSum, options.badChecksumFromBlock) ||
        !ParseCount(parser, badLength, options.badLengthFromBlock) ||
        !ParseCount(parser, hangUp, options.hangUpAfterBlocks) ||
        !ParseCount(parser, hangUpConnection, options.hangUpInConnection) ||
        !ParseCount(parser, delay, options.answerDelayMs))
        return Fail(QStringLiteral("simulate: a count must be a whole number 0 or above."));
    if (parser.isSet(corrupt)) {
        bool ok = false;
        const QString text = parser.value(corrupt);
        const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
        options.corruptWriteAddress = (hex ? text.mid(2) : text).toInt(&ok, hex ? 16 : 10);
        if (!ok || options.corruptWriteAddress < 0 || options.corruptWriteAddress >= int(ImageMap::kSize))
            return Fail(QStringLiteral("simulate: --corrupt-write takes an address 0..2047 (or 0x000..0x7FF)."));
    }

    int count = 1;
    if (parser.isSet(radios) && (!ParseCount(parser, radios, count) || count < 1 || count > kMostSimulatedRadios))
        return Fail(QStringLiteral("simulate: --radios takes a number 1..%1.").arg(kMostSimulatedRadios));
    const bool several = parser.isSet(radios);
    SimulatedRadio::Memory memory{};
    const bool hasImage = parser.isSet(image);
    if (hasImage) {
        CImportData data;
        if (!LoadImageFile(data, parser.value(image)))
            return kBadInput;
        data.GetBytes(memory.data(), 0, memory.size());
    }
    std::string code;
    if (parser.isSet(model)) {
        code = parser.value(model).toStdString();
        if (code.empty() || code.size() > 8)
            return Fail(QStringLiteral("simulate: a model code has 1 to 8 characters."));
    }
    const QString savePattern = parser.value(save);
    if (parser.isSet(save) && count > 1 && !savePattern.contains(QLatin1String("{n}")))
        return Fail(QStringLiteral("simulate: with several radios --save names a file for each: put {n} in it, "
                                   "e.g. --save radio-{n}.dat."));

    std::vector<std::unique_ptr<SimulatedRadio>> served;
    for (int n = 1; n <= count; ++n) {
        auto radio = std::make_unique<SimulatedRadio>(options);
        if (hasImage)
            radio->SetMemory(memory);
        if (!code.empty())
            radio->SetModelCode(code);
        if (parser.isSet(save)) {
            const std::string path = QString(savePattern).replace(QLatin1String("{n}"), QString::number(n)).toStdString();
            std::string reason;
            if (!CanWrite(path, reason))
                return Fail(QStringLiteral("simulate: %1").arg(QString::fromStdString(reason)));
            radio->SetOnWriteComplete([path](const SimulatedRadio::Memory& memory) {
                CImportData data;
                data.SetBytes(memory.data(), 0, memory.size());
                std::string why;
                if (!data.SaveFile(path, &why))
                    std::fprintf(stderr, "zemtra800-cli: simulate: %s\n", why.c_str());
            });
        }
        served.push_back(std::move(radio));
    }

    // The serving thread inherits the blocked signals, so they wait for sigwait here.
    const sigset_t stopSignals = BlockStopSignals();
    for (const std::unique_ptr<SimulatedRadio>& radio : served) {
        std::string error;
        if (!radio->Start(&error)) {
            // The radio's port cannot be made: as for a port that cannot be opened.
            std::fprintf(stderr, "zemtra800-cli: simulate: %s\n", error.c_str());
            return kPortFailed;
        }
    }
    for (const std::unique_ptr<SimulatedRadio>& radio : served)
        std::printf("%s\n", radio->DevicePath().c_str());
    std::fflush(stdout);
    int wake[2] = {-1, -1};
    std::thread commands;
    if (several) {
        if (::pipe2(wake, O_CLOEXEC) != 0)
            return Fail(QStringLiteral("simulate: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        commands = std::thread([&served, readFd = wake[0]] { ServeRadioCommands(served, readFd); });
    }
    int signal = 0;
    sigwait(&stopSignals, &signal);
    if (commands.joinable()) {
        [[maybe_unused]] const ssize_t w = ::write(wake[1], "x", 1);
        commands.join();
        ::close(wake[0]);
        ::close(wake[1]);
    }
    for (const std::unique_ptr<SimulatedRadio>& radio : served)
        radio->Stop();
    return 0;
}
