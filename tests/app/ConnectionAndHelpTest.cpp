// The window's Setup → Check Connection (through the menu, after a job has
// left its port open) and Help's choice between the compiled help file and
// the manual.
#include <QLineEdit>
#include <QPushButton>

#include "AppTestKit.h"
#include "UrlCatcher.h"
#include "dialogs/CCheckConnectionDlg.h"
#include "sim/SimulatedRadio.h"

using namespace apptest;

namespace {

using ConnectionAndHelpTest = AppTest;

// A job leaves its port open in the link; the check lets it go, opens the
// device as the next job will and finds the radio, and the next job still
// gets the port.
TEST_F(ConnectionAndHelpTest, TheCheckProbesTheJobsPortAfterAJob)
{
    StartInEnglish();
    RunningApp run;
    run.jobs().AttachSimulatedRadio(StartedRadio("Q80103"));
    {
        ModalCloser closer; // the radio information box
        ASSERT_TRUE(RunJob(run, CMainFrame::ID_RADIO_INFORMATION));
    }

    QString report;
    QString portShown;
    bool sawDialog = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<CCheckConnectionDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        sawDialog = true;
        QSignalSpy finished(d, &CCheckConnectionDlg::checkFinished);
        if (d->IsChecking()) {
            EXPECT_TRUE(finished.wait(10000));
        }
        portShown = d->findChild<QLineEdit*>("port")->text();
        d->findChild<QPushButton*>("probe")->click();
        EXPECT_TRUE(finished.wait(10000));
        report = d->ReportText();
        d->findChild<QPushButton*>("close")->click();
    });
    run.trigger(CMainFrame::ID_CHECK_CONNECTION);
    ASSERT_TRUE(sawDialog);
    const QString device = QString::fromStdString(run.jobs().Simulator()->DevicePath());
    EXPECT_EQ(portShown, device + " (COM1)");
    EXPECT_TRUE(report.contains("\nPort " + device + " (COM1):\n  It opens;")) << report;
    EXPECT_TRUE(report.contains("A radio answered: model code Q80103")) << report;
    EXPECT_EQ(run.jobs().Simulator()->GetStats().sessionsCompleted, 2);

    ModalCloser closer;
    EXPECT_TRUE(RunJob(run, CMainFrame::ID_RADIO_INFORMATION));
}

TEST_F(ConnectionAndHelpTest, HelpOpensTheCompiledHelpWhenThereAndTheManualOtherwise)
{
    QTemporaryDir start, program;
    const QString startFolder = start.path() + "/";
    // Nothing anywhere: nothing to open.
    EXPECT_TRUE(CZEMTRA800View::HelpCandidates(startFolder, false, program.path()).isEmpty());

    // The manual beside the program, of the language asked for.
    WriteFile(program.filePath("manual/en/index.html"));
    WriteFile(program.filePath("manual/zh/index.html"));
    EXPECT_EQ(CZEMTRA800View::HelpCandidates(startFolder, false, program.path()),
              QStringList({program.filePath("manual/en/index.html")}));
    EXPECT_EQ(CZEMTRA800View::HelpCandidates(startFolder, true, program.path()),
              QStringList({program.filePath("manual/zh/index.html")}));

    // The compiled help of the language comes first; the other language's
    // file is no help.
    WriteFile(start.filePath("zmt80c.chm"));
    EXPECT_EQ(CZEMTRA800View::HelpCandidates(startFolder, true, program.path()),
              QStringList({start.filePath("zmt80c.chm"), program.filePath("manual/zh/index.html")}));
    EXPECT_EQ(CZEMTRA800View::HelpCandidates(startFolder, false, program.path()),
              QStringList({program.filePath("manual/en/index.html")}));
}

// Through the menu, in the build tree: no compiled help in the folder the
// program started in, so the manual built beside it opens, in the language
// of the window.
TEST_F(ConnectionAndHelpTest, HelpFromTheMenuOpensTheManualOfTheLanguage)
{
    UrlCatcher browser;
    RunningApp run;
    ASSERT_FALSE(QFile::exists(run.view()->HelpPath() + "zmt80c.chm"));
    run.trigger(CMainFrame::ID_HELP);
    run.trigger(CMainFrame::ID_LANGUAGE);
    run.trigger(CMainFrame::ID_HELP);
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.messages.join('\n');
    ASSERT_EQ(browser.opened.size(), 2);
    EXPECT_EQ(browser.opened[0], QUrl::fromLocalFile(QStringLiteral(ZEMTRA_BINARY_DIR "/manual/zh/index.html")));
    EXPECT_EQ(browser.opened[1], QUrl::fromLocalFile(QStringLiteral(ZEMTRA_BINARY_DIR "/manual/en/index.html")));
}

} // namespace

