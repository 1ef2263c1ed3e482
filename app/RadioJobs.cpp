#include "app/RadioJobs.h"

#include <cerrno>

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

QString FailureMessage() { return Lang("Communication failed,please try again!", "通讯失败,请重新操作?"); }
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
    link_ = std::make_unique<RadioLink>(*bridge_);
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
