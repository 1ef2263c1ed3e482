// The view's radio jobs and editing commands.
#include <algorithm>

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "ui/AppMessage.h"
#include "app/BeepPlayer.h"
#include "image/CImportData.h"
#include "dialogs/CLinkProgressDlg.h"
#include "app/CMainFrame.h"
#include "app/CZEMTRA800Doc.h"
#include "app/CZEMTRA800View.h"
#include "dialogs/DialogEntry.h"
#include "app/JobBridge.h"
#include "ui/Language.h"
#include "link/PortNames.h"
#include "ui/Profile.h"
#include "link/RadioLink.h"
#include "image/RadioSettings.h"
#include "sim/SimulatedRadio.h"


namespace {
int JobTotal(LinkJobMode mode)
{
    switch (mode) {
    case JobRead:
        return 2048;
    case JobWrite:
        return 2000;
    case JobInfo:
        return 16;
    default:
        return 0;
    }
}
} // namespace

void CZEMTRA800View::AttachSimulatedRadio(std::unique_ptr<SimulatedRadio> radio)
{
    // The port may be open on the previous radio's line.
    simulator_ = std::move(radio);
    deviceOverride_ = simulator_ ? simulator_->DevicePath() : std::string();
    update();
}

void CZEMTRA800View::OnReadData() { StartJob(JobRead); }
void CZEMTRA800View::OnWriteData() { StartJob(JobWrite); }
void CZEMTRA800View::OnRadioInformation() { StartJob(JobInfo); }

void CZEMTRA800View::OnShowTrace()
{
    progressDlg_->show();
    progressDlg_->raise();
    progressDlg_->activateWindow();
}

void CZEMTRA800View::StartJob(LinkJobMode mode)
{
    // One job at a time; a second command is ignored.
    if (jobActive_ || link_->IsBusy())
        return;
    const std::string device = deviceOverride_.empty() ? PortDevice(portNumber_) : deviceOverride_;
    if (device.empty() || !link_->OpenPort(device, portNumber_)) {
        AppMessage(this, Lang("Failed to open COM%1,Please select COM port again!",
                              "COM%1初始化错误,请重新选择COM口!")
                             .arg(portNumber_));
        return;
    }

    const int total = JobTotal(mode);
    progressDlg_->ClearTrace();
    progressDlg_->StartProgress(total);
    if (frame_)
        frame_->StartProgress(total);

    std::string modelCode;
    if (mode == JobWrite) {
        doc_.EncodeImage();
        modelCode = std::string(GetText(settings_->modelCode));
    }
    jobActive_ = true;
    activeMode_ = mode;
    if (!link_->StartJob(mode, mode == JobWrite ? doc_.Data().Image() : nullptr, modelCode)) {
        ClearJobState();
        AppMessage(this, Lang("Communication failed,please try again!", "通讯失败,请重新操作?"));
        return;
    }
    if (mode == JobRead)
        Profile::WriteInt(QStringLiteral("CHANNEL_DEFAULT"), QStringLiteral("ALLOWDEFAULT"), 0);
    emit commandStateChanged();
}

void CZEMTRA800View::HandleTrace(const QString& line) { progressDlg_->AddTrace(line); }

void CZEMTRA800View::HandleProgress(int position)
{
    progressDlg_->SetProgress(position);
    if (frame_)
        frame_->SetProgress(position);
}

void CZEMTRA800View::HandleBeep(int frequencyHz, int durationMs)
{
    // Queued to the sound thread: the window never waits for a tone.
    PlayBeep(frequencyHz, durationMs);
}

bool CZEMTRA800View::HandleAskModelOverwrite()
{
    return AppAskYesNo(this, Lang("Model type is wrong,are you sure to overwrite?", "型式错误，是否覆盖?"));
}

void CZEMTRA800View::HandleIdentification(const QByteArray& ident)
{
    std::copy_n(reinterpret_cast<const uint8_t*>(ident.constData()), lastIdent_.size(), lastIdent_.begin());
    doc_.Data().SetBytes(lastIdent_.data(), 1984, lastIdent_.size());
}

void CZEMTRA800View::HandleReadComplete(const QByteArray& image)
{
    // Image, decode and model change in one step on this thread, so no paint
    // sees a half-decoded model.
    doc_.Data().SetBytes(reinterpret_cast<const uint8_t*>(image.constData()), 0, CImportData::kImageSize);
    doc_.SetModifiedFlag(true);
    doc_.DecodeImage();
    ModelIdentify();
    InvalidateAll();
}

void CZEMTRA800View::HandleInfoComplete(const QByteArray& bytes)
{
    // The decode below rebuilds every setting from the image: bring the
    // user's unsaved edits into it first, then lay the radio's identification
    // and information bytes over them, so only those change.
    doc_.EncodeImage();
    doc_.Data().SetBytes(lastIdent_.data(), 1984, lastIdent_.size());
    doc_.Data().SetBytes(reinterpret_cast<const uint8_t*>(bytes.constData()), 2000, 16);
    doc_.SetModifiedFlag(true);
    doc_.DecodeImage();
    RunRadioInfoDialog(this, *settings_);
    InvalidateAll();
}

void CZEMTRA800View::ClearJobState()
{
    jobActive_ = false;
    activeMode_ = JobIdle;
    if (frame_)
        frame_->SetProgress(0);
}

void CZEMTRA800View::HandleJobEnded(LinkJobMode mode, bool success)
{
    // The end was the job thread's last report and does not wait for this
    // thread; join it so the link takes the next command at once.
    link_->WaitForJob();
    ClearJobState();
    emit commandStateChanged();
    if (!success)
        AppMessage(this, Lang("Communication failed,please try again!", "通讯失败,请重新操作?"));
    emit jobEnded(mode, success);
    if (closePending_) {
        closePending_ = false;
        emit closeAfterJob();
    }
}

void CZEMTRA800View::HandlePortError(const QString& text)
{
    // The serial layer's own failures: English only, one box at a time.
    if (portErrorBox_)
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Application Error"), text,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QObject::destroyed, this, [this] { portErrorBox_ = nullptr; });
    portErrorBox_ = box;
    box->open();
}

// ---- editing commands ------------------------------------------------------

void CZEMTRA800View::OnModelInformation()
{
    if (RunModelInfoDialog(this, *settings_, model_, options_, *this))
        doc_.SetModifiedFlag(true);
    // The band, the flags and perhaps the whole table have changed.
    emit commandStateChanged();
    InvalidateAll();
}

void CZEMTRA800View::OnCommunicationPort()
{
    portNumber_ = RunCommPortDialog(this, portNumber_, options_);
    Profile::WriteInt(QStringLiteral("COM"), QStringLiteral("PORT"), portNumber_);
    UpdateFrameTexts();
}

void CZEMTRA800View::OnOptionalFeatures()
{
    if (RunOptionalFeatureDialog(this, *settings_, options_))
        doc_.SetModifiedFlag(true);
}

void CZEMTRA800View::OnKeyAssignment()
{
    if (RunKeyAssignDialog(this, *settings_, options_))
        doc_.SetModifiedFlag(true);
}

void CZEMTRA800View::OnDtmf()
{
    // The 476-478 MHz model has no DTMF settings.
    if (model_.band476)
        return;
    if (RunDtmfDialog(this, *settings_, options_))
        doc_.SetModifiedFlag(true);
}

void CZEMTRA800View::OnEmbeddedMessage()
{
    if (RunEmbeddedMsgDialog(this, *settings_))
        doc_.SetModifiedFlag(true);
}

void CZEMTRA800View::OnHelp()
{
    const QString path = helpPath_ + (IsChinese() ? QStringLiteral("zmt80c.chm") : QStringLiteral("zmt80e.chm"));
    // A missing help file is passed over in silence.
    if (!QFileInfo::exists(path))
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
