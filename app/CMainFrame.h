#pragma once
#include <map>

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class ChannelTableCommands;
class CProductionLineDlg;
class CImportData;
class CZEMTRA800App;
class CZEMTRA800Doc;
class CZEMTRA800View;
class QAction;
class QByteArray;
class QLabel;
class QMenu;
class QProgressBar;
class QToolBar;
class QToolButton;

// The main window: menus in both languages, the toolbar with the job
// progress bar beside it, the status bar, the language switch.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // Command numbers of the menus, toolbar and accelerators.
    enum Command {
        ID_FILE_NEW = 57600,
        ID_FILE_OPEN = 57601,
        ID_FILE_SAVE = 57603,
        ID_FILE_SAVE_AS = 57604,
        ID_APP_EXIT = 57665,
        ID_APP_ABOUT = 57664,
        ID_MODEL_INFORMATION = 32771,
        ID_COMMUNICATION_PORT = 32773,
        ID_OPTIONAL_FEATURES = 32775,
        ID_KEY_ASSIGNMENT = 32776,
        ID_DTMF = 32777,
        ID_READ_DATA = 32778,
        ID_WRITE_DATA = 32779,
        ID_EMBEDDED_MESSAGE = 32780,
        ID_RADIO_INFORMATION = 32781,
        ID_HELP = 32782,
        ID_LANGUAGE = 32783,
        ID_SHOW_TRACE = 32786,
        ID_CHECK_CONNECTION = 32787,
        ID_PRODUCTION_LINE = 32860,
        // Safe writes: compare, verify after write, the backups.
        ID_COMPARE_FILE = 32840,
        ID_VERIFY_WRITE = 32841,
        ID_COMPARE_RADIO = 32842,
        ID_BACKUP_FOLDER = 32843,
    };
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 700;

    // Reads the language flag from the profile before anything is shown.
    CMainFrame(CZEMTRA800App& app, CZEMTRA800Doc& doc, QWidget* parent = nullptr);
    // Stores the language flag in the profile.
    ~CMainFrame() override;

    CZEMTRA800View* View() const { return view_; }
    // The menu or toolbar action of a command; nullptr for none.
    QAction* Action(int command) const;
    // The keyboard-only accelerators: R, W and Ctrl+D.
    QAction* Accelerator(int command) const;
    QMenu* TopMenu(int index) const { return menus_[index]; }
    QToolBar* ToolBar() const { return toolBar_; }
    QToolButton* ToolButton(int position) const;
    QProgressBar* ProgressBar() const { return progress_; }
    QLabel* Pane(int pane) const { return panes_[pane]; }
    QList<QAction*> RecentFileActions() const { return recentActions_; }

    void SetPaneText(int pane, const QString& text);
    void StartProgress(int total);
    void SetProgress(int position);

    void ApplyLanguage();
    void OnLanguageSwitch();
    // Enables the commands from the job mode and the current model.
    void UpdateCommandUI();
    void SetRecentFiles(const QStringList& paths);
    // Centres the window on its screen.
    void CenterWindow();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QAction* AddCommand(QMenu* menu, int command, void (CMainFrame::*handler)());
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void RelabelMenus();

    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnAppExit();
    void OnAppAbout();
    // Opens the production line; the window's own radio jobs wait while it is open.
    void OnProductionLine();

    // Verify after write, the compares and the backup folder.
    void CreateSafeWriteCommands();
    void OnCompareWithFile();
    void OnCompareWithRadio();
    void ShowRadioCompare(const QByteArray& image);
    void ShowCompare(const CImportData& other, bool withRadio, const QString& otherName);
    void OnOpenBackupFolder();
    void ShowArchiveProblem(const QString& text);

    CZEMTRA800App& app_;
    CZEMTRA800Doc& doc_;
    CZEMTRA800View* view_ = nullptr;
    ChannelTableCommands* tableCommands_ = nullptr;
    std::map<int, QAction*> actions_;
    std::map<int, QAction*> accelerators_;
    QList<QMenu*> menus_;
    QAction* recentSeparator_ = nullptr;
    QAction* exitSeparator_ = nullptr;
    QList<QAction*> recentActions_;
    QToolBar* toolBar_ = nullptr;
    QToolBar* progressBand_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* panes_[4] = {};
    QPointer<CProductionLineDlg> productionDlg_;
    QString paneFull_[4];
};
