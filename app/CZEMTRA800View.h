#pragma once
#include <array>
#include <memory>
#include <vector>

#include <QList>
#include <QStringList>
#include <QRect>
#include <QWidget>

#include "dialogs/ChannelUpdateSink.h"
#include "app/GridLayout.h"
#include "image/ModelTable.h"
#include "ui/OptionList.h"

class CZEMTRA800Doc;
struct StepName;
class QPushButton;
class RadioJobs;
class RadioSettings;

// The channel grid: the 50 channels of the document drawn by hand on three
// pages, with the page and row buttons, selection by mouse and arrow keys,
// and the editor opened for a row. The view also holds the radio jobs and
// opens the editing dialogs; the main frame learns what to show in its title
// and status panes from the view's signals.
class CZEMTRA800View : public QWidget, public ChannelUpdateSink {
    Q_OBJECT
public:
    static constexpr const char* kMakerWebAddress = "www.halvorn.com";
    static constexpr int kPages = 3;

    explicit CZEMTRA800View(CZEMTRA800Doc& doc, QWidget* parent = nullptr);
    ~CZEMTRA800View() override;

    CZEMTRA800Doc& Document() const { return doc_; }
    RadioSettings* Settings() const { return settings_; }

    // Grid state.
    int SelectedRow() const { return selectedRow_; }
    int CurrentPage() const { return currentPage_; }
    // 0 while row 17 of page 3 (no channel) is selected.
    int SelectedChannel() const { return selectedChannel_; }
    // The selected range: from the anchor (where a plain click or arrow key
    // left the selection) to the selected channel, which Shift+click and
    // Shift+arrows move. Lowest first; empty while no channel is selected.
    std::vector<int> SelectedChannels() const;
    // Selects the channels first..last (either order); the page follows
    // focus, which must be first or last.
    void SelectRange(int anchor, int focus);
    bool EditOpen() const { return editOpen_; }
    GridLayout Layout() const { return LayoutGrid(width(), height()); }
    QPushButton* PageButton(int page) const { return pageButtons_[page - 1]; }
    QPushButton* RowButton(int row) const { return rowButtons_[row - 1]; }
    // Rows on a page: 17, 17, 16.
    static int RowsOnPage(int page) { return page == 3 ? 16 : 17; }
    // The channel in a page's first row, and the page a channel is on.
    static int FirstChannelOfPage(int page) { return GridLayout::kRows * (page - 1) + 1; }
    static int PageOfChannel(int channel) { return (channel - 1) / GridLayout::kRows + 1; }

    // Model state of the current document.
    ModelState& Model() { return model_; }
    const ModelState& Model() const { return model_; }
    void ModelIdentify();
    // "ZEMTRA800   [<web address>]    [<band>]"
    QString TitleText() const;

    // "COM 3", or "COM 3 (simulated)" with the built-in radio attached.
    QString PortPaneText() const;
    OptionList& Options() { return options_; }
    QString HelpPath() const { return helpPath_; }
    // What Help opens, in the order it is tried: the compiled help file of
    // the language in helpPath (the folder the program was started in) when
    // it is there, then the manual of the language, looked for in helpPath
    // and then with the files shipped beside programFolder; empty when
    // neither is found.
    static QStringList HelpCandidates(const QString& helpPath, bool chinese, const QString& programFolder);

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

    RadioJobs& Jobs() const { return *jobs_; }

public slots:
    void OnModelInformation();
    void OnCommunicationPort();
    void OnCheckConnection();
    void OnOptionalFeatures();
    void OnKeyAssignment();
    void OnDtmf();
    void OnEmbeddedMessage();
    void OnHelp();

    // The channel table's Edit commands on the selected channels: copy as
    // tab-separated rows with the header (what spreadsheets paste), cut,
    // paste rows onto the first selected channel and those after it, clear,
    // and select the page's channels.
    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();
    void OnEditClear();
    void OnEditSelectAll();
    // Whether cut and clear may blank channels: not on the 476-478 MHz
    // model, whose channel plan is fixed.
    bool MayClearChannels() const;
    // A step undone or redone: the model and the grid are read again.
    void OnDocumentRestored();

signals:
    // A job started or ended, or the band 476 flag changed: the frame
    // updates its commands.
    void commandStateChanged();
    // What the frame shows for the document, refreshed at every paint:
    // pane 1 the port, pane 3 the file's path; the title names the band.
    void paneTextChanged(int pane, const QString& text);
    void titleChanged(const QString& title);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // A radio job runs: nothing may edit the document.
    bool JobRunning() const;
    // The selected channels when cut and clear may blank them now (no job
    // runs, the plan is not fixed) and inUse of them are in use, at least
    // one; otherwise empty.
    std::vector<int> ChannelsToClear(int& inUse) const;
    // Runs an editing dialog as one undoable step named name.
    template <class Run>
    void EditStep(const StepName& name, Run run);
    int SelectionFirst() const;
    int SelectionLast() const;
    void Invalidate(const QRect& area);
    void InvalidateAll() { Invalidate(rect()); }
    // Repaints the previous and the new highlight: two row bands on the same
    // page, the whole view across pages.
    void RepaintSelection();
    // extend keeps the anchor (Shift); otherwise the range collapses onto
    // the new selection.
    void SetSelection(int page, int row, bool extend = false);
    void SelectAndRepaintAll(int page, int row);
    void SelectRowAt(const QPoint& point, bool extend = false);
    void PlaceChildren();
    void UpdateFrameTexts();
    void DrawChannelRow(QPainter& painter, const GridLayout& g, int firstChannel, int row);

    CZEMTRA800Doc& doc_;
    RadioSettings* settings_;
    ModelState model_;
    OptionList options_;
    QString helpPath_;

    int selectedRow_ = 1;
    int currentPage_ = 1;
    int selectedChannel_ = 1;
    int anchorChannel_ = 1; // 0: none
    bool editOpen_ = false;
    int lastPage_ = 0; // 0: no highlight drawn yet
    int lastRow_ = 0;
    int lastFirst_ = 0, lastLast_ = 0; // the range last drawn
    QList<QRect> invalidations_;

    std::array<QPushButton*, kPages> pageButtons_{};
    std::array<QPushButton*, GridLayout::kRows> rowButtons_{};
    // Last, so it goes first: a job still running ends before the rest of
    // the view.
    std::unique_ptr<RadioJobs> jobs_;
};
