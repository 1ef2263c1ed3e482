#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "image/ImageMap.h"
#include "link/JobArchive.h"
#include "link/JobRecorder.h"
#include "link/LinkJobMode.h"

class CLinkProgressDlg;
class CZEMTRA800Doc;
class JobBridge;
class QWidget;
class RadioLink;
class SimulatedRadio;

// The window's radio jobs: the link with its port, the bridge that carries
// the job thread's reports to this thread, the simulated radio, the trace
// dialog and the job state. One job at a time. Results go into the document
// in one call each; whoever shows them learns of it through the signals.
class RadioJobs : public QObject {
    Q_OBJECT
public:
    // owner: the window the job's boxes and the trace dialog belong to.
    RadioJobs(CZEMTRA800Doc& doc, QWidget* owner);
    // A job still running is answered without any window (No to the model
    // question, nothing taken into the document) and ends within the link's
    // time-outs; then the port is closed.
    ~RadioJobs() override;

    // The COM port number the next job opens (profile "COM"/"PORT").
    int PortNumber() const { return portNumber_; }
    void SetPortNumber(int port) { portNumber_ = port; }
    // A device path kept besides the number (profile "COM"/"DEVICE"), such
    // as a /dev/serial/by-id name that follows the cable across replugging;
    // when set, jobs open it instead of the number's device. "" for none.
    const std::string& DevicePath() const { return devicePath_; }
    void SetDevicePath(const std::string& path) { devicePath_ = path; }
    // The device the next job opens; "" when the port number names none.
    std::string JobDevice() const;
    // Lets go of the port the last job left open, so that another part of
    // the program may open the device. Does nothing while a job runs.
    void ReleasePort();

    // Jobs use the built-in simulated radio instead of the port's device.
    void AttachSimulatedRadio(std::unique_ptr<SimulatedRadio> radio);
    SimulatedRadio* Simulator() const { return simulator_.get(); }
    // Jobs open this device instead of the port number's one (tests).
    void UseDevice(const std::string& device) { deviceOverride_ = device; }

    // From the job start until its end has been handled here.
    bool IsRunning() const { return running_; }
    LinkJobMode Mode() const { return mode_; }
    // The program is being closed while a job runs: close when it has ended.
    void RequestCloseAfterJob() { closePending_ = true; }
    bool ClosePending() const { return closePending_; }
    CLinkProgressDlg* ProgressDialog() const { return progressDlg_.get(); }

    // The port message: "Failed to open COM%d,..." and, on the lines below,
    // why the device could not be opened and what to do, from the errno of
    // the open (0 adds nothing).
    static QString PortMessage(int portNumber, const std::string& device, int error);

    // A write reads the radio back and compares (profile "COM"/"VERIFYWRITE",
    // on unless turned off). A running job keeps what it started with.
    bool VerifyWrites() const { return verifyWrites_; }
    void SetVerifyWrites(bool verify);
    // Where every job keeps its backups and log line.
    static JobArchive Archive();

public slots:
    void StartJob(LinkJobMode mode);
    // Reads the radio for a compare: backed up and logged as any read, but
    // nothing of it goes into the document; radioReadForCompare has it.
    void StartCompareRead();
    void ShowTrace();

signals:
    // A job started or ended: the commands follow.
    void stateChanged();
    // The frame's progress bar: range 0..total at the start, then positions;
    // 0 again at the end.
    void progressStarted(int total);
    void progressChanged(int position);
    // The document took a finished read (identify the model and repaint) or
    // information job (repaint).
    void readTaken();
    void infoTaken();
    void jobEnded(LinkJobMode mode, bool success);
    // A close was asked for during the job that has now ended.
    void closeAfterJob();
    // A write's blocks are all in the radio; the read-back has begun.
    void readBackStarted();
    // The job's backup or log line could not be kept (once per job); the
    // job goes on as if it had been.
    void archiveProblem(const QString& text);
    // A compare read has ended well: the 2048 bytes the radio holds.
    void radioReadForCompare(const QByteArray& image);

private:
    friend class JobBridge;
    using Ident = std::array<uint8_t, ImageMap::kIdentSize>;

    // Job thread reports, run on this thread by the bridge.
    void HandleTrace(const QString& line);
    void HandleProgress(int position);
    bool HandleAskModelOverwrite();
    void HandleIdentification(const Ident& ident);
    void HandleReadComplete(const std::array<uint8_t, ImageMap::kSize>& image);
    void HandleInfoComplete(const std::array<uint8_t, ImageMap::kInfoSize>& info);
    void HandleJobEnded(LinkJobMode mode, bool success);
    void HandlePortError(const QString& text);
    void HandleWriteClosed();
    void HandleArchiveProblem(const QString& text);

    // Opens the port and starts a job, recorded. compareRead: a read whose
    // result stays out of the document.
    void Start(LinkJobMode mode, bool compareRead);
    // What a job that ended well says, if anything.
    void ShowSuccess(LinkJobMode mode);

    // No job any more: the commands and the progress bar are free again.
    void ClearJobState();

    CZEMTRA800Doc& doc_;
    QWidget* owner_;
    int portNumber_;
    std::string devicePath_;
    std::unique_ptr<CLinkProgressDlg> progressDlg_;
    // Torn down in the destructor in the order the link needs: it may still
    // use the simulated radio's line and reports through the bridge.
    std::unique_ptr<SimulatedRadio> simulator_;
    std::unique_ptr<JobBridge> bridge_;
    // Between the link and the bridge: keeps each job's backups and log line.
    JobArchive archive_;
    std::unique_ptr<JobRecorder> recorder_;
    std::unique_ptr<RadioLink> link_;
    std::string deviceOverride_;
    bool running_ = false;
    LinkJobMode mode_ = JobIdle;
    bool compareRead_ = false; // the running read is for a compare
    bool verifyWrites_ = true;
    bool closePending_ = false;
    Ident lastIdent_{};
    QPointer<QWidget> portErrorBox_;
};
