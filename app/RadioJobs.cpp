#include "app/RadioJobs.h"

#include <cerrno>

#include <QMessageBox>
#include <QWidget>

#include "app/CZEMTRA800Doc.h"
#include "app/JobBridge.h"
#include "dialogs/CLinkProgressDlg.h"
#include "dialogs/DialogEntry.h"
#include "image/ImageCompare.h"
#include "image/RadioSettings.h"
#include "link/PortNames.h"
#include "link/PortDiagnosis.h"
#include "link/RadioLink.h"
#include "sim/SimulatedRadio.h"
#include "ui/AppMessage.h"
#include "ui/Language.h"
#include "ui/PortWording.h"
#include "ui/Profile.h"

namespace {
int JobTotal(LinkJobMode mode)
{
    switch (mode) {
    case JobRead:
        return static_cast<int>(ImageMap::kSize);
    case JobWrite:
        return static_cast<int>(ImageMap::kWritableSize);
    case JobInfo:
        return static_cast<int>(ImageMap::kInfoSize);
    default:
        return 0;
    }
}

// A line of the link's own English wording, as a sentence in a box.
QString Sentence(const std::string& line)
{
    QString text = QString::fromStdString(line);
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

// "0x01F3", "0x45": addresses and bytes as the English line writes them.
QString Hex(std::size_t value, int digits)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(qulonglong(value), digits, 16, QLatin1Char('0')).toUpper();
}

// The first byte the radio did not take as written. Field names stay as
// dump prints them, in both languages.
QString ChineseVerifyText(const ImageCompare::VerifyResult& r)
{
    QString text = QString::fromUtf8("校验失败: 地址 %1").arg(Hex(r.first, 4));
    if (!r.field.empty())
        text += QStringLiteral(" (%1)").arg(QString::fromStdString(r.field));
    return text + QString::fromUtf8(" 写入 %1, 对讲机中为 %2 (共 %3 字节不同)")
                      .arg(Hex(r.wrote, 2), Hex(r.holds, 2))
                      .arg(r.differing);
}

// What the job was doing when its port went away.
QString ChineseLostPortText(LinkJobMode mode, bool writeClosed)
{
    if (writeClosed)
        return QString::fromUtf8("写入后读回校验时端口断开了; 对讲机已收到全部写入数据。");
    switch (mode) {
    case JobWrite: return QString::fromUtf8("写入时端口断开了; 对讲机可能只写入了一部分。");
    case JobRead: return QString::fromUtf8("读取时端口断开了。");
    default: return QString::fromUtf8("查询对讲机信息时端口断开了。");
    }
}

// What a failed job says in the window's language: the job's own message
// (after a write with read-back, the first difference), then the lost port
// if it went away. English is the recorder's own wording, which the
// command-line tool and the job log use too.
QStringList FailureLines(const JobRecorder& recorder)
{
    const JobRecorder::Outcome& o = recorder.Result();
    QStringList lines;
    if (!IsChinese()) {
        for (const std::string& line : recorder.FailureLines())
            lines << Sentence(line);
    } else {
        if (!o.writeClosed)
            lines << CommunicationFailedText();
        else if (o.verify)
            lines << ChineseVerifyText(*o.verify);
        else
            lines << QString::fromUtf8("校验失败: 写入后未能读回对讲机数据, 没有校验任何数据");
        if (!o.lostDevice.empty())
            lines << QString::fromStdString(o.lostDevice) + QStringLiteral(": ") +
                         ChineseLostPortText(o.mode, o.writeClosed);
    }
    if (lines.isEmpty())
        lines << CommunicationFailedText();
    return lines;
}

// The one-line reason a job log keeps for a job that never started.
std::string LogReason(const QString& shown)
{
    return QString(shown).replace(QLatin1Char('\n'), QLatin1Char(' ')).toStdString();
}
} // namespace

QString RadioJobs::PortMessage(int portNumber, const std::string& device, int error)
{
    if (error == 0)
        return PortWording::OpenFailedLine(portNumber);
    return PortWording::FailureMessage(portNumber, DiagnosePort(device, error));
}

RadioJobs::RadioJobs(CZEMTRA800Doc& doc, QWidget* owner)
    : doc_(doc),
      owner_(owner),
      portNumber_(Profile::GetInt(QStringLiteral("COM"), QStringLiteral("PORT"), 1)),
      devicePath_(Profile::GetString(QStringLiteral("COM"), QStringLiteral("DEVICE")).toStdString()),
      progressDlg_(std::make_unique<CLinkProgressDlg>(owner)),
      archive_(Archive()),
      verifyWrites_(Profile::GetInt(QStringLiteral("COM"), QStringLiteral("VERIFYWRITE"), 1) != 0)
{
    progressDlg_->hide();
    bridge_ = std::make_unique<JobBridge>(*this);
    recorder_ = std::make_unique<JobRecorder>(*bridge_, &archive_);
    link_ = std::make_unique<RadioLink>(*recorder_);
}

RadioJobs::~RadioJobs()
{
    // Normally the window refuses to close while a job runs. Should the jobs
    // go anyway, the bridge stops waiting for this thread, so the job thread
    // never waits for it; the link's destructor then sees the job to its end
    // (its recorder keeping the backup and log line) and closes the port,
    // before the recorder, the bridge and the radio's line go.
    bridge_->Detach();
    link_.reset();
    recorder_.reset();
    bridge_.reset();
    simulator_.reset();
}

JobArchive RadioJobs::Archive() { return JobArchive(JobArchive::DefaultFolder()); }

void RadioJobs::SetVerifyWrites(bool verify)
{
    verifyWrites_ = verify;
    Profile::WriteInt(QStringLiteral("COM"), QStringLiteral("VERIFYWRITE"), verify ? 1 : 0);
}

void RadioJobs::AttachSimulatedRadio(std::unique_ptr<SimulatedRadio> radio)
{
    // The port may be open on the previous radio's line.
    simulator_ = std::move(radio);
    deviceOverride_ = simulator_ ? simulator_->DevicePath() : std::string();
}

std::string RadioJobs::JobDevice() const
{
    if (!deviceOverride_.empty())
        return deviceOverride_;
    if (!devicePath_.empty())
        return devicePath_;
    return PortDevice(portNumber_);
}

void RadioJobs::ReleasePort()
{
    if (running_ || link_->IsBusy())
        return;
    // The link keeps the last job's port open until the next job opens one;
    // a new link has none.
    link_ = std::make_unique<RadioLink>(*recorder_);
}

void RadioJobs::ShowTrace()
{
    progressDlg_->show();
    progressDlg_->raise();
    progressDlg_->activateWindow();
}

void RadioJobs::StartJob(LinkJobMode mode) { Start(mode, false); }

void RadioJobs::StartCompareRead() { Start(JobRead, true); }

void RadioJobs::Start(LinkJobMode mode, bool compareRead)
{
    // One job at a time; a second command is ignored.
    if (running_ || link_->IsBusy())
        return;
    // A write sends the settings as encoded now. One that cannot be encoded
    // whole is refused before the port is opened; the conversion's own
    // message has been shown.
    std::string modelCode;
    if (mode == JobWrite) {
        if (doc_.EncodeImage() != 0)
            return;
        modelCode = std::string(GetText(doc_.Settings()->modelCode));
    }
    const std::string device = JobDevice();
    // A kept path that now leads to another numbered device (the cable came
    // back as ttyUSB1): the number follows it, so the status bar and the
    // messages name the port in use.
    if (deviceOverride_.empty() && !devicePath_.empty()) {
        const int number = PortNumberOf(devicePath_);
        if (number > 0 && number != portNumber_) {
            portNumber_ = number;
            Profile::WriteInt(QStringLiteral("COM"), QStringLiteral("PORT"), portNumber_);
        }
    }
    const bool readBack = mode == JobWrite && verifyWrites_;
    const uint8_t* image = mode == JobWrite ? doc_.Data().Image() : nullptr;
    // The port as the user chose it: a kept device name, or the number.
    const std::string port = deviceOverride_.empty() && !devicePath_.empty() ? devicePath_
                                                                             : "COM" + std::to_string(portNumber_);
    // Every job is kept where the environment of the moment says.
    archive_ = Archive();
    recorder_->Begin(mode, port, device, readBack, image, modelCode);
    auto notStarted = [this](const QString& message) {
        recorder_->RecordNotStarted(LogReason(message));
        AppMessage(owner_, message);
    };
    if (device.empty()) {
        notStarted(PortMessage(portNumber_, "COM" + std::to_string(portNumber_), ENOENT));
        return;
    }
    if (!link_->OpenPort(device, portNumber_)) {
        notStarted(PortMessage(portNumber_, device, link_->OpenErrorCode()));
        return;
    }

    const int total = readBack ? RadioLink::kVerifiedWriteTotal : JobTotal(mode);
    progressDlg_->ClearTrace();
    progressDlg_->StartProgress(total);
    emit progressStarted(total);

    running_ = true;
    mode_ = mode;
    compareRead_ = compareRead;
    if (!link_->StartJob(mode, image, modelCode, readBack)) {
        ClearJobState();
        notStarted(CommunicationFailedText());
        return;
    }
    // A read into the document forbids the channel defaults until the user
    // allows them again; a compare leaves the document alone.
    if (mode == JobRead && !compareRead)
        Profile::WriteInt(QStringLiteral("CHANNEL_DEFAULT"), QStringLiteral("ALLOWDEFAULT"), 0);
    emit stateChanged();
}

void RadioJobs::HandleTrace(const QString& line) { progressDlg_->AddTrace(line); }

void RadioJobs::HandleProgress(int position)
{
    progressDlg_->SetProgress(position);
    emit progressChanged(position);
}

bool RadioJobs::HandleAskModelOverwrite()
{
    return AppAskYesNo(owner_, Lang("Model type is wrong,are you sure to overwrite?", "型式错误，是否覆盖?"));
}

void RadioJobs::HandleIdentification(const Ident& ident)
{
    lastIdent_ = ident;
    if (!compareRead_)
        doc_.TakeIdentification(ident);
}

void RadioJobs::HandleReadComplete(const std::array<uint8_t, ImageMap::kSize>& image)
{
    // A compare's image is taken from the recorder when the job has ended.
    if (compareRead_)
        return;
    // The document takes the image and decodes, and the view identifies the
    // model, all in this one step on this thread: no paint sees a
    // half-decoded model.
    doc_.TakeReadResult(image);
    emit readTaken();
}

void RadioJobs::HandleInfoComplete(const std::array<uint8_t, ImageMap::kInfoSize>& info)
{
    doc_.TakeInfoResult(lastIdent_, info);
    RunRadioInfoDialog(owner_, *doc_.Settings());
    emit infoTaken();
}

void RadioJobs::ClearJobState()
{
    running_ = false;
    mode_ = JobIdle;
    compareRead_ = false;
    emit progressChanged(0);
}

void RadioJobs::HandleJobEnded(LinkJobMode mode, bool success)
{
    // The end was the job thread's last report and does not wait for this
    // thread; join it so the link takes the next command at once (and the
    // recorder's outcome may be read).
    link_->WaitForJob();
    const bool compare = compareRead_;
    ClearJobState();
    emit stateChanged();
    if (!success)
        AppMessage(owner_, FailureLines(*recorder_).join(QLatin1Char('\n')));
    else
        ShowSuccess(mode);
    emit jobEnded(mode, success);
    if (closePending_) {
        closePending_ = false;
        emit closeAfterJob();
        return;
    }
    const JobRecorder::Outcome& outcome = recorder_->Result();
    if (compare && success && outcome.image)
        emit radioReadForCompare(QByteArray(reinterpret_cast<const char*>(outcome.image->data()),
                                            qsizetype(outcome.image->size())));
}

void RadioJobs::ShowSuccess(LinkJobMode mode)
{
    // A plain write says nothing beyond its beep; a checked one says so.
    if (mode == JobWrite && recorder_->Result().readBack)
        AppMessage(owner_, Lang("Write and verify OK", "写入并校验成功"));
}

void RadioJobs::HandleWriteClosed() { emit readBackStarted(); }

void RadioJobs::HandleArchiveProblem(const QString& text)
{
    if (!IsChinese()) {
        emit archiveProblem(Sentence(text.toStdString()));
        return;
    }
    // What was not kept, in Chinese; the paths and the system's words stay.
    static const char* const kKinds[][2] = {
        {"no backup or job log kept: ", "未能保存备份和作业日志: "},
        {"no backup kept: ", "未能保存备份: "},
        {"no job log entry written: ", "未能写入作业日志: "},
    };
    QString chinese = text;
    bool known = false;
    for (const auto& kind : kKinds) {
        const QString english = QString::fromLatin1(kind[0]);
        known = chinese.contains(english) || known;
        chinese.replace(english, QString::fromUtf8(kind[1]));
    }
    emit archiveProblem(known ? chinese : QString::fromUtf8("未能保存备份或作业日志: ") + text);
}

void RadioJobs::HandlePortError(const QString& text)
{
    // The serial layer's own failures: English only, one box at a time.
    if (portErrorBox_)
        return;
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Application Error"), text,
                                QMessageBox::Ok, owner_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    portErrorBox_ = box;
    box->open();
}
