#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

class CMainFrame;
class CZEMTRA800Doc;
class CZEMTRA800View;

// The application: the profile, the command line, the one document with its
// window, the recent-file list and the application's own commands.
class CZEMTRA800App : public QObject {
    Q_OBJECT
public:
    static constexpr int kRecentFiles = 4;

    struct CommandLine {
        QString file;         // a data file to open at start-up
        bool simulate = false;
        bool splash = true;
        bool valid = true;
        QString error;        // why it is not valid
    };
    static CommandLine ParseCommandLine(const QStringList& arguments);

    explicit CZEMTRA800App(QObject* parent = nullptr);
    ~CZEMTRA800App() override;

    // Start-up: false when the program should end (error on stderr).
    bool InitInstance(const QStringList& arguments);

    CZEMTRA800Doc* Document() const { return doc_; }
    CMainFrame* MainFrame() const { return frame_; }
    CZEMTRA800View* View() const;
    // The folder the program was started in, ending in "/": the help files.
    QString HelpPath() const { return helpPath_; }

    QStringList RecentFiles() const { return recent_; }
    void AddToRecentFileList(const QString& path);
    void RemoveFromRecentFileList(const QString& path);

    void OnFileNew();
    void OnFileOpen();
    // Asks about unsaved changes, then opens path; false when not opened.
    bool OpenDocumentFile(const QString& path);
    void OnAppAbout();

private:
    void LoadRecentFileList();
    void SaveRecentFileList();

    CZEMTRA800Doc* doc_ = nullptr;
    CMainFrame* frame_ = nullptr;
    QString helpPath_;
    QStringList recent_;
};
