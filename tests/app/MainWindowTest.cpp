// The main window: Qt's words in its language, the plain R and W keys, the Chinese model
// list and Setup → Check Connection after a job.
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "AppTestKit.h"
#include "dialogs/CCheckConnectionDlg.h"
#include "dialogs/CModelInfoDlg.h"
#include "image/ModelTable.h"
#include "sim/SimulatedRadio.h"

using namespace apptest;

namespace {
using MainWindowTest = AppTest;
} // namespace

// A first run is Chinese; Qt's own dialogs follow the window's language both
// ways, the message pane holds its longest text in either language, and the
// language last chosen is stored at exit and read at the next start.
TEST_F(MainWindowTest, QtsOwnWordsAndTheMessagePaneFollowTheLanguage)
{
    {
        RunningApp run;
        EXPECT_EQ(LanguageFlag(), 1);
        QLabel* pane = run.frame()->Pane(0);
        const QStringList longest = {"Closing when the radio job ends", QString::fromUtf8("通讯结束后关闭")};
        for (const char* cancel : {"取消", "Cancel", "取消"}) {
            EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8(cancel));
            QCoreApplication::processEvents();
            for (const QString& text : longest)
                EXPECT_GE(pane->contentsRect().width(), pane->fontMetrics().horizontalAdvance(text)) << text;
            run.trigger(CMainFrame::ID_LANGUAGE);
        }
    }
    EXPECT_EQ(Profile::GetInt("CHANNEL_DEFAULT", "LANGUAGE", 1), 0);
    RunningApp again;
    EXPECT_EQ(LanguageFlag(), 0);
}

TEST_F(MainWindowTest, PlainRStartsAReadOnlyInTheMainWindow)
{
    StartInEnglish();
    Profile::WriteInt("COM", "PORT", 7);
    RunningApp run;
    run.jobs().UseDevice("/nonexistent/zemtra-port");
    run.frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(run.frame()));

    // A field of a dialog takes the letter; no job starts.
    QDialog dialog(run.frame());
    auto* edit = new QLineEdit(&dialog);
    (new QVBoxLayout(&dialog))->addWidget(edit);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(edit, Qt::Key_R);
    EXPECT_EQ(edit->text(), "r");
    EXPECT_TRUE(boxes.messages.isEmpty());
    dialog.close();

    run.frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(run.frame()));
    QTest::keyClick(run.view(), Qt::Key_R);
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_TRUE(boxes.messages[0].startsWith("Failed to open COM7,Please select COM port again!\n"
                                             "/nonexistent/zemtra-port: no such device.\n"));
    QTest::keyClick(run.view(), Qt::Key_W); // plain W writes, with the same check
    EXPECT_EQ(boxes.messages.size(), 2);
    EXPECT_FALSE(run.jobs().IsRunning());
}

TEST_F(MainWindowTest, TheChineseModelListNamesTheCustomModelAndStillOpensIt)
{
    RunningApp run; // Chinese
    RadioSettings& s = run.settings();
    SetText(s.modelCode, ModelTable::kCustomModelCode);
    s.lowerLimit = 136.0;
    s.upperLimit = 174.0;
    run.view()->ModelIdentify();
    ModalCloser closer;
    closer.whileShown = [] {
        auto* dialog = qobject_cast<CModelInfoDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->findChild<QComboBox*>("1053")->currentText(), QString::fromUtf8("自定义机型"));
        EXPECT_TRUE(dialog->IsExpanded());
    };
    run.trigger(CMainFrame::ID_MODEL_INFORMATION);
    EXPECT_EQ(closer.seen, 1);
}

// A job leaves its port open in the link; the check lets it go, opens the
// device as the next job will and finds the radio, and the next job still
// gets the port.
TEST_F(MainWindowTest, TheCheckProbesTheJobsPortAfterAJob)
{
    StartInEnglish();
    RunningApp run;
    run.jobs().AttachSimulatedRadio(StartedRadio("Q80103"));
    {
        ModalCloser closer; // the radio information box
        ASSERT_TRUE(RunJob(run, CMainFrame::ID_RADIO_INFORMATION));
    }

    QString report, portShown;
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
    EXPECT_EQ(run.jobs().Simulator()->GetStats().sessionsCompleted, 2);

    ModalCloser closer;
    EXPECT_TRUE(RunJob(run, CMainFrame::ID_RADIO_INFORMATION));
}
