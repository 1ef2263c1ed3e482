#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QWidget>

#include "dialogs/ChannelUpdateSink.h"
#include "app/GridLayout.h"
#include "link/LinkJobMode.h"
#include "image/ModelTable.h"
#include "ui/OptionList.h"

class CLinkProgressDlg;
class CMainFrame;
class CZEMTRA800Doc;
class JobBridge;
class QPushButton;
class RadioLink;
class RadioSettings;
class SimulatedRadio;

// The channel grid: the 50 channels of the document drawn by hand on three
// pages, with the page and row buttons, selection by mouse and arrow keys,
// and the editor opened for a row. The view also owns the radio link and
// opens the editing dialogs.
class CZEMTRA800View : public QWidget, public ChannelUpdateSink {
    Q_OBJECT
public:
    static constexpr const char* kMakerWebAddress = "www.halvorn.com";
    static constexpr int kPages = 3;

    CZEMTRA800View(CZEMTRA800Doc& doc, CMainFrame* frame, QWidget* parent = nullptr);
    ~CZEMTRA800View() override;

    CZEMTRA800Doc& Document() const { return doc_; }
    RadioSettings* Settings() const { return settings_; }

    // Grid state.
    int SelectedRow() const { return selectedRow_; }
    int CurrentPage() const { return currentPage_; }
    // 0 while row 17 of page 3 (no channel) is selected.
    int SelectedChannel() const { return selectedChannel_; }
    bool EditOpen() const { return editOpen_; }
    GridLayout Layout() const { return LayoutGrid(width(), height()); }
    QPushButton* PageButton(int page) const { return pageButtons_[page - 1]; }
    QPushButton* RowButton(int row) const { return rowButtons_[row - 1]; }
    // Rows on a page: 17, 17, 16.
    static int RowsOnPage(int page) { return page == 3 ? 16 : 17; }

    // Model state of the current document.
    ModelState& Model() { return model_; }
    const ModelState& Model() const { return model_; }
    void ModelIdentify();
    // "ZEMTRA800   [<web address>]    [<band>]"
    QString TitleText() const;

    int PortNumber() const { return portNumber_; }
    void SetPortNumber(int port) { portNumber_ = port; }
    // "COM 3", or "COM 3 (simulated)" with the built-in radio attached.
    QString PortPaneText() const;
    OptionList& Options() { return options_; }
    QString HelpPath() const { return helpPath_; }

    // New or opened document: settings pointer and model state refreshed.
    void OnInitialUpdate();
    void SelectPage(int page);
    void OpenChannelEditor(int row);
    // From the channel edit and model information dialogs.
    void OnChannelUpdate(int channel, int mode) override;
    // Texts of the page buttons after a language switch.
    void LanguageChanged();

    // Every area asked to repaint since the last call (the whole view's
    // rectangle for a full repaint); lets tests see what an action redraws.
    QList<QRect> TakeInvalidations();

    // The radio link.
    // Jobs use the built-in simulated radio instead of the port's device.
    void AttachSimulatedRadio(std::unique_ptr<SimulatedRadio> radio);
    SimulatedRadio* Simulator() const { return simulator_.get(); }
    // Jobs open this device instead of the port number's one (tests).
    void UseDevice(const std::string& device) { deviceOverride_ = device; }
    // From the job start until its end has been handled here.
    bool IsJobRunning() const { return jobActive_; }
    LinkJobMode JobMode() const { return activeMode_; }
    // The program is being closed while a job runs: close when it has ended.
    void RequestCloseAfterJob() { closePending_ = true; }
    bool ClosePending() const { return closePending_; }
    CLinkProgressDlg* ProgressDialog() const { return progressDlg_; }

public slots:
    void OnReadData();
    void OnWriteData();
    void OnRadioInformation();
    void OnShowTrace();
    void OnModelInformation();
    void OnCommunicationPort();
    void OnOptionalFeatures();
    void OnKeyAssignment();
    void OnDtmf();
    void OnEmbeddedMessage();
    void OnHelp();

signals:
    // Job mode or band 476 flag changed: the frame updates its commands.
    void commandStateChanged();
    void jobEnded(LinkJobMode mode, bool success);
    // A close was asked for during the job that has now ended.
    void closeAfterJob();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class JobBridge;

    // Job thread reports, run on this thread by the bridge.
    void HandleTrace(const QString& line);
    void HandleProgress(int position);
    void HandleBeep(int frequencyHz, int durationMs);
    bool HandleAskModelOverwrite();
    void HandleIdentification(const QByteArray& ident);
    void HandleReadComplete(const QByteArray& image);
    void HandleInfoComplete(const QByteArray& bytes);
    void HandleJobEnded(LinkJobMode mode, bool success);
    void HandlePortError(const QString& text);

    void StartJob(LinkJobMode mode);
    // No job any more: the commands and the progress bar are free again.
    void ClearJobState();
    void Invalidate(const QRect& area);
    void InvalidateAll() { Invalidate(rect()); }
    // Repaints the previous and the new highlight: two row bands on the same
    // page, the whole view across pages.
    void RepaintSelection();
    void SetSelection(int page, int row);
    void SelectAndRepaintAll(int page, int row);
    void SelectRowAt(const QPoint& point);
    void PlaceChildren();
    void UpdateFrameTexts();
    void DrawChannelRow(QPainter& painter, const GridLayout& g, int firstChannel, int row);

    CZEMTRA800Doc& doc_;
    CMainFrame* frame_;
    RadioSettings* settings_;
    ModelState model_;
    OptionList options_;
    QString helpPath_;
    int portNumber_;

    int selectedRow_ = 1;
    int currentPage_ = 1;
    int selectedChannel_ = 1;
    bool editOpen_ = false;
    int lastPage_ = 0; // 0: no highlight drawn yet
    int lastRow_ = 0;
    QList<QRect> invalidations_;

    std::array<QPushButton*, kPages> pageButtons_{};
    std::array<QPushButton*, GridLayout::kRows> rowButtons_{};
    CLinkProgressDlg* progressDlg_ = nullptr;

    // Declared in this order so the link goes first: it may still be using
    // the simulated radio's line and reports through the bridge.
    std::unique_ptr<SimulatedRadio> simulator_;
    std::unique_ptr<JobBridge> bridge_;
    std::unique_ptr<RadioLink> link_;
    std::string deviceOverride_;
    bool jobActive_ = false;
    LinkJobMode activeMode_ = JobIdle;
    bool closePending_ = false;
    std::array<uint8_t, 8> lastIdent_{};
    QWidget* portErrorBox_ = nullptr;
};
