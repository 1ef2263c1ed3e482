// The radio commands: ports, read, write, info, simulate.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <unistd.h>

#include "image/CImportData.h"
#include "image/JobResults.h"
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"
#include "image/ModelTable.h"
#include "cli/PortAdvice.h"
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
                                              "17..24 /dev/ttyS0..7)."),
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
    std::vector<std::string> lines;
    if (portNumber > 0)
        lines.push_back("Failed to open COM" + std::to_string(portNumber) + " (" + device +
                        "),Please select COM port again!");
    else
        lines.push_back("Failed to open " + device + ",Please select COM port again!");
    for (const std::string& line : PortFailureAdvice(DiagnosePort(device, error)))
        lines.push_back(line);
    return lines;
}

void PrintPortFailure(const std::string& device, int portNumber, int error)
{
    for (const std::string& line : PortFailureLines(device, portNumber, error))
        std::fprintf(stderr, "%s\n", line.c_str());
}

namespace {

void PrintLines(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        std::fprintf(stderr, "%s\n", line.c_str());
}

// Resolves the user's PORT into a device, refusing terminals that are no
// radio's port. 0, or the exit status.
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
        std::string reason;
        for (const std::string& line : lines)
            reason += (reason.empty() ? "" : " ") + line;
        recorder.RecordNotStarted(reason);
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

// The archive a radio command keeps its job in, unless --no-backup.
std::unique_ptr<JobArchive> ArchiveFor(const QCommandLineParser& parser)
{
    if (parser.isSet(kNoBackup))
        return nullptr;
    return std::make_unique<JobArchive>(JobArchive::DefaultFolder());
}

// Adds the options every radio command has (--port, --trace) and parses;
// a radio command cannot run without its port.
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

// A file that can't be written is found before the radio is read, not after.
bool CanWrite(const std::string& path, std::string& reason)
{
    std::string dir = path;
    const std::size_t slash = dir.rfind('/');
    dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : dir.substr(0, slash));
    if (::access(dir.c_str(), W_OK) != 0) {
        reason = dir + ": " + std::strerror(errno);
        return false;
    }
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) {
        reason = path + ": " + std::strerror(errno);
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
    parser.setApplicationDescription(QStringLiteral("Read the radio's 2048-byte memory into OUT.dat. OUT is "
                                                    "written only when the whole read succeeded."));
    const QCommandLineOption output = OutputOption();
    parser.addOption(output);
    if (auto done = ParseRadioCommand(parser, command, arguments, 0))
        return *done;
    if (auto bad = RequireOutput(parser, output, command))
        return *bad;
    const QString out = parser.value(output);
    std::string reason;
    if (!CanWrite(out.toStdString(), reason))
        return Fail(QStringLiteral("read: cannot write %1").arg(QString::fromStdString(reason)));

    CliJobObserver observer(parser.isSet(kTrace), false, ImageMap::kSize);
    const std::unique_ptr<JobArchive> archive = ArchiveFor(parser);
    JobRecorder recorder(observer, archive.get());
    std::string device;
    if (int status = RunJob(command, parser.value(kPort), JobRequest(JobRead), recorder, device))
        return status;
    CliDocument document;
    CImportData& data = document.data;
    uint8_t image[ImageMap::kSize];
    std::copy(recorder.Result().image->begin(), recorder.Result().image->end(), image);
    JobResults::LayReadImage(data, image);
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
        "anything is sent."));
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
    const QString in = parser.positionalArguments().first();
    if (!LoadAndDecode(data, in))
        return kBadInput;
    uint8_t given[ImageMap::kSize];
    data.GetBytes(given, 0, ImageMap::kSize);
    if (int code = data.EncodeAll())
        return Fail(QStringLiteral("write: %1 could not be encoded (error %2); nothing was sent.").arg(in).arg(code));
    // What is sent is what the encoder lays down; where that is not the file
    // as given, say so, so that "verified" never hides a difference.
    uint8_t encoded[ImageMap::kSize];
    data.GetBytes(encoded, 0, ImageMap::kSize);
    for (const ImageCompare::FieldChange& change : ImageCompare::EncoderChanges(given, encoded))
        std::fprintf(stderr, "zemtra800-cli: warning: %s: %s\n", qUtf8Printable(in),
                     ImageCompare::ChangeText(change).c_str());
    const std::string modelCode(GetText(data.GetSettings()->modelCode));

    const bool readBack = parser.isSet(verify);
    CliJobObserver observer(parser.isSet(kTrace), parser.isSet(yes),
                            readBack ? RadioLink::kVerifiedWriteTotal : int(ImageMap::kWritableSize));
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
    parser.setApplicationDescription(QStringLiteral("Ask the radio for its model and information texts."));
    if (auto done = ParseRadioCommand(parser, command, arguments, 0))
        return *done;

    CliJobObserver observer(parser.isSet(kTrace), false, ImageMap::kInfoSize);
    const std::unique_ptr<JobArchive> archive = ArchiveFor(parser);
    JobRecorder recorder(observer, archive.get());
    std::string device;
    if (int status = RunJob(command, parser.value(kPort), JobRequest(JobInfo), recorder, device))
        return status;
    CliDocument document;
    CImportData& data = document.data;
    uint8_t ident[ImageMap::kIdentSize];
    uint8_t info[ImageMap::kInfoSize];
    std::copy(recorder.Result().ident->begin(), recorder.Result().ident->end(), ident);
    std::copy(recorder.Result().info->begin(), recorder.Result().info->end(), info);
    JobResults::LayIdentification(data, ident);
    JobResults::LayRadioInfo(data, info);
    data.DecodeAll();
    const RadioSettings& settings = *data.GetSettings();
    const std::string code(GetText(settings.modelCode));
    const ModelRow* row = ModelTable::Find(code);
    std::printf("Type: %s\n", row ? row->modelName : "");
    std::printf("Frequency: %s\n", row ? row->bandText : "");
    std::printf("Model code: %s\n", code.c_str());
    std::printf("Information 1: %s\n", std::string(GetText(settings.infoText1)).c_str());
    std::printf("Information 2: %s\n", std::string(GetText(settings.infoText2)).c_str());
    return 0;
}

int RunSimulateCommand(const QStringList& arguments)
{
    const QString command = QStringLiteral("simulate");
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serve a simulated radio on a pseudo-terminal until interrupted. The first line on "
                       "stdout is the device to give as --port."));
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
    for (const QCommandLineOption* o : {&image, &model, &lineTiming, &save, &silent, &stray, &badSum, &badLength,
                                        &hangUp, &hangUpConnection, &closeLine, &delay, &corrupt})
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

    SimulatedRadio radio(options);
    if (parser.isSet(image)) {
        CImportData data;
        if (!LoadImageFile(data, parser.value(image)))
            return kBadInput;
        SimulatedRadio::Memory memory;
        data.GetBytes(memory.data(), 0, memory.size());
        radio.SetMemory(memory);
    }
    if (parser.isSet(model)) {
        const std::string code = parser.value(model).toStdString();
        if (code.empty() || code.size() > 8)
            return Fail(QStringLiteral("simulate: a model code has 1 to 8 characters."));
        radio.SetModelCode(code);
    }
    if (parser.isSet(save)) {
        const std::string path = parser.value(save).toStdString();
        std::string reason;
        if (!CanWrite(path, reason))
            return Fail(QStringLiteral("simulate: cannot write %1").arg(QString::fromStdString(reason)));
        radio.SetOnWriteComplete([path](const SimulatedRadio::Memory& memory) {
            CImportData data;
            data.SetBytes(memory.data(), 0, memory.size());
            std::string why;
            if (!data.SaveFile(path, &why))
                std::fprintf(stderr, "zemtra800-cli: simulate: %s\n", why.c_str());
        });
    }

    // The serving thread inherits the blocked signals, so they wait for sigwait here.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::string error;
    if (!radio.Start(&error)) {
        // The radio's port cannot be made: as for a port that cannot be opened.
        std::fprintf(stderr, "zemtra800-cli: simulate: %s\n", error.c_str());
        return kPortFailed;
    }
    std::printf("%s\n", radio.DevicePath().c_str());
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    radio.Stop();
    return 0;
}
