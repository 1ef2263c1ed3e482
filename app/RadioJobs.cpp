#include "app/RadioJobs.h"

#include <cerrno>
#include <cstring>

#include <QMessageBox>
#include <QWidget>

#include "app/CZEMTRA800Doc.h"
#include "app/JobBridge.h"
#include "dialogs/CLinkProgressDlg.h"
#include "dialogs/DialogEntry.h"
#include "image/RadioSettings.h"
#include "link/PortNames.h"
#include "link/PortDiagnosis.h"
#include "link/RadioLink.h"
#include "sim/SimulatedRadio.h"
#include "ui/AppMessage.h"
#include "ui/Language.h"
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

QString FailureMessage() { return Lang("Communication failed,please try again!", "通讯失败,请重新操作?"); }
} // namespace

QString RadioJobs::PortMessage(int portNumber, const std::string& device, int error)
{
    const QString first =
        Lang("Failed to open COM%1,Please select COM port again!", "COM%1初始化错误,请重新选择COM口!").arg(portNumber);
    const QString name = QString::fromStdString(device);
    QString reason;
    switch (CauseOfOpenError(error)) {
    case PortCause::None:
        return first;
    case PortCause::Absent:
        reason = Lang("%1: no such device", "%1: 没有这个设备");
        break;
    case PortCause::Permission:
        reason = Lang("%1: permission denied (is your user in the dialout group?)",
                      "%1: 没有打开权限(用户是否在 dialout 组中?)");
        break;
    case PortCause::Busy:
        reason = Lang("%1: in use by another program", "%1: 正被其他程序使用");
        break;
    case PortCause::Gone:
        reason = Lang("%1: the adapter has gone away; unplug the cable and plug it in again",
                      "%1: 适配器已不在,请拔下编程线再插上");
        break;
    case PortCause::Other:
        // The system's own words, as the command line gives them.
        reason = QStringLiteral("%1: ") + QString::fromLocal8Bit(std::strerror(error));
        break;
    }
    return first + QLatin1Char('\n') + reason.arg(name);
}

RadioJobs::RadioJobs(CZEMTRA800Doc& doc, QWidget* owner)
    : doc_(doc),
      owner_(owner),
      portNumber_(Profile::GetInt(QStringLiteral("COM"), QStringLiteral("PORT"), 1)),
      progressDlg_(std::make_unique<CLinkProgressDlg>(owner))
{
    progressDlg_->hide();
    bridge_ = std::make_unique<JobBridge>(*this);
    link_ = std::make_unique<RadioLink>(*bridge_);
}

RadioJobs::~RadioJobs()
{
    // Normally the window refuses to close while a job runs. Should the jobs
    // go anyway, the bridge stops waiting for this thread, so the job thread
    // never waits for it; the link's destructor then sees the job to its end
    // and closes the port, before the bridge and the radio's line go.
    bridge_->Detach();
    link_.reset();
    bridge_.reset();
    simulator_.reset();
}

void RadioJobs::AttachSimulatedRadio(std::unique_ptr<SimulatedRadio> radio)
{
    // The port may be open on the previous radio's line.
    simulator_ = std::move(radio);
    deviceOverride_ = simulator_ ? simulator_->DevicePath() : std::string();
}

void RadioJobs::ShowTrace()
{
    progressDlg_->show();
    progressDlg_->raise();
    progressDlg_->activateWindow();
}

void RadioJobs::StartJob(LinkJobMode mode)
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
    const std::string device = deviceOverride_.empty() ? PortDevice(portNumber_) : deviceOverride_;
    if (device.empty()) {
        AppMessage(owner_, PortMessage(portNumber_, "COM" + std::to_string(portNumber_), ENOENT));
        return;
    }
    if (!link_->OpenPort(device, portNumber_)) {
        AppMessage(owner_, PortMessage(portNumber_, device, link_->OpenErrorCode()));
        return;
    }

    const int total = JobTotal(mode);
    progressDlg_->ClearTrace();
    progressDlg_->StartProgress(total);
    emit progressStarted(total);

    running_ = true;
    mode_ = mode;
    if (!link_->StartJob(mode, mode == JobWrite ? doc_.Data().Image() : nullptr, modelCode)) {
        ClearJobState();
        AppMessage(owner_, FailureMessage());
        return;
    }
    if (mode == JobRead)
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
    doc_.TakeIdentification(ident);
}

void RadioJobs::HandleReadComplete(const std::array<uint8_t, ImageMap::kSize>& image)
{
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
    emit progressChanged(0);
}

void RadioJobs::HandleJobEnded(LinkJobMode mode, bool success)
{
    // The end was the job thread's last report and does not wait for this
    // thread; join it so the link takes the next command at once.
    link_->WaitForJob();
    ClearJobState();
    emit stateChanged();
    if (!success)
        AppMessage(owner_, FailureMessage());
    emit jobEnded(mode, success);
    if (closePending_) {
        closePending_ = false;
        emit closeAfterJob();
    }
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
