#include "app/CZEMTRA800App.h"

#include <cstdio>

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include "ui/AppMessage.h"
#include "app/CMainFrame.h"
#include "app/CZEMTRA800Doc.h"
#include "app/CZEMTRA800View.h"
#include "app/RadioJobs.h"
#include "dialogs/DialogEntry.h"
#include "ui/Language.h"
#include "ui/Profile.h"
#include "sim/SimulatedRadio.h"
#include "app/SplashWindow.h"


namespace {
const QString kRecentSection = QStringLiteral("Recent File List");
}

CZEMTRA800App::CommandLine CZEMTRA800App::ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("ZEMTRA800: programs the channels and settings of the radios."));
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Work with the built-in simulated radio instead of the serial port."));
    const QCommandLineOption noSplash(QStringLiteral("no-splash"), QStringLiteral("Start without the splash picture."));
    parser.addOption(simulate);
    parser.addOption(noSplash);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A data file (.dat) to open."), QStringLiteral("[file]"));

    CommandLine line;
    if (!parser.parse(arguments)) {
        line.valid = false;
        line.error = parser.errorText();
        return line;
    }
    if (parser.positionalArguments().size() > 1) {
        line.valid = false;
        line.error = QStringLiteral("Only one data file can be opened.");
        return line;
    }
    line.simulate = parser.isSet(simulate);
    line.splash = !parser.isSet(noSplash);
    if (!parser.positionalArguments().isEmpty())
        line.file = parser.positionalArguments().constFirst();
    return line;
}

CZEMTRA800App::CZEMTRA800App(QObject* parent) : QObject(parent) {}

CZEMTRA800App::~CZEMTRA800App()
{
    // The frame (with the view, its link and its simulated radio) goes
    // before the document it shows.
    delete frame_;
    delete doc_;
}

CZEMTRA800View* CZEMTRA800App::View() const { return frame_ ? frame_->View() : nullptr; }

bool CZEMTRA800App::InitInstance(const QStringList& arguments)
{
    const CommandLine line = ParseCommandLine(arguments);
    if (!line.valid) {
        std::fprintf(stderr, "zemtra800: %s\nUsage: zemtra800 [--simulate] [--no-splash] [file.dat]\n",
                     qPrintable(line.error));
        return false;
    }
    SplashWindow::EnableSplash(line.splash);
    LoadRecentFileList();
    helpPath_ = QDir::currentPath() + QLatin1Char('/');

    doc_ = new CZEMTRA800Doc(this);
    frame_ = new CMainFrame(*this, *doc_);
    CZEMTRA800View* view = frame_->View();
    connect(doc_, &CZEMTRA800Doc::documentReset, view, &CZEMTRA800View::OnInitialUpdate);
    connect(doc_, &CZEMTRA800Doc::fileUsed, this, &CZEMTRA800App::AddToRecentFileList);
    frame_->SetRecentFiles(recent_);

    // What went wrong at start-up is told once the window is up, over it.
    QStringList problems;
    if (line.simulate) {
        auto radio = std::make_unique<SimulatedRadio>();
        std::string error;
        if (radio->Start(&error)) {
            view->Jobs().AttachSimulatedRadio(std::move(radio));
        } else {
            problems << Lang("The simulated radio could not be started:\n%1", "无法启动模拟对讲机:\n%1")
                            .arg(QString::fromStdString(error));
        }
    }

    // A file that cannot be opened is reported and the program starts with
    // a new document, so the user can choose another.
    QString reason;
    const bool opened = !line.file.isEmpty() && doc_->OnOpenDocument(line.file, &reason);
    if (!line.file.isEmpty() && !opened)
        problems << CZEMTRA800Doc::OpenFailureMessage(line.file, reason);
    if (!opened)
        doc_->OnNewDocument();

    frame_->show();
    frame_->CenterWindow();
    view->setFocus();
    if (!problems.isEmpty()) {
        QTimer::singleShot(0, frame_, [this, problems] {
            // The box takes the first key, not the splash.
            SplashWindow::HideSplash();
            for (const QString& problem : problems)
                AppMessage(frame_, problem);
        });
    }
    return true;
}

void CZEMTRA800App::OnFileNew()
{
    if (!doc_->SaveModified(frame_))
        return;
    doc_->OnNewDocument();
}

void CZEMTRA800App::OnFileOpen()
{
    const QString path = CZEMTRA800Doc::AskFileName(frame_, false, doc_->PathName());
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

bool CZEMTRA800App::OpenDocumentFile(const QString& path)
{
    if (!doc_->SaveModified(frame_))
        return false;
    if (doc_->OpenDocumentFile(frame_, path))
        return true;
    // A file that is gone or unreadable leaves the list.
    RemoveFromRecentFileList(path);
    return false;
}

void CZEMTRA800App::OnAppAbout() { RunAboutDialog(frame_); }

void CZEMTRA800App::LoadRecentFileList()
{
    recent_.clear();
    for (int i = 1; i <= kRecentFiles; ++i) {
        const QString path = Profile::GetString(kRecentSection, QStringLiteral("File%1").arg(i));
        if (!path.isEmpty() && !recent_.contains(path))
            recent_.append(path);
    }
}

void CZEMTRA800App::SaveRecentFileList()
{
    for (int i = 1; i <= kRecentFiles; ++i)
        Profile::WriteString(kRecentSection, QStringLiteral("File%1").arg(i), recent_.value(i - 1));
    if (frame_)
        frame_->SetRecentFiles(recent_);
}

void CZEMTRA800App::AddToRecentFileList(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    recent_.removeAll(full);
    recent_.prepend(full);
    while (recent_.size() > kRecentFiles)
        recent_.removeLast();
    SaveRecentFileList();
}

void CZEMTRA800App::RemoveFromRecentFileList(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    if (recent_.removeAll(full) > 0)
        SaveRecentFileList();
}
