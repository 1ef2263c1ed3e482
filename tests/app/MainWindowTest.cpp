// The main window: its language, the plain R and W keys, the message pane,
// Qt's own dialogs and the Chinese model list.
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "AppTestKit.h"
#include "dialogs/CModelInfoDlg.h"
#include "image/ModelTable.h"

using namespace apptest;

namespace {
using MainWindowTest = AppTest;
} // namespace

TEST_F(MainWindowTest, FirstRunIsChineseAndTheLanguageSwitchIsKept)
{
    {
        RunningApp run;
        ASSERT_TRUE(run.started);
        EXPECT_EQ(LanguageFlag(), 1);
        EXPECT_EQ(run.view()->Options().File(), "Config.ini");
        run.trigger(CMainFrame::ID_LANGUAGE);
        EXPECT_EQ(LanguageFlag(), 0);
        EXPECT_EQ(run.frame()->TopMenu(0)->title(), "File(&F)");
        EXPECT_EQ(run.view()->Options().File(), "EConfig.ini");
    }
    // Stored at exit and read at the next start.
    EXPECT_EQ(Profile::GetInt("CHANNEL_DEFAULT", "LANGUAGE", 1), 0);
    {
        RunningApp run;
        EXPECT_EQ(LanguageFlag(), 0);
        run.trigger(CMainFrame::ID_LANGUAGE);
        EXPECT_EQ(run.frame()->TopMenu(0)->title(), QString::fromUtf8("文件(&F)"));
    }
    EXPECT_EQ(Profile::GetInt("CHANNEL_DEFAULT", "LANGUAGE", 0), 1);
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
    EXPECT_TRUE(boxes.messages[0].contains("\nPlug in the programming cable")) << boxes.messages[0];
    QTest::keyClick(run.view(), Qt::Key_W); // plain W writes, with the same check
    EXPECT_EQ(boxes.messages.size(), 2);
    EXPECT_FALSE(run.jobs().IsRunning());
}

TEST_F(MainWindowTest, TheMessagePaneHoldsItsLongestTextInEitherLanguage)
{
    RunningApp run;
    QLabel* pane = run.frame()->Pane(0);
    const QStringList texts = {"Closing when the radio job ends", QString::fromUtf8("通讯结束后关闭")};
    for (int language : {1, 0}) {
        if (LanguageFlag() != language)
            run.trigger(CMainFrame::ID_LANGUAGE);
        QCoreApplication::processEvents();
        for (const QString& text : texts)
            EXPECT_GE(pane->contentsRect().width(), pane->fontMetrics().horizontalAdvance(text))
                << text << " in language " << language;
    }
}

TEST_F(MainWindowTest, QtsOwnDialogsSpeakTheWindowsLanguage)
{
    RunningApp run; // a first run: Chinese
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), QString::fromUtf8("打开(&O)"));
    run.trigger(CMainFrame::ID_LANGUAGE);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
    run.trigger(CMainFrame::ID_LANGUAGE);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));
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
    QString chosen;
    bool expanded = false;
    closer.whileShown = [&] {
        if (auto* dialog = qobject_cast<CModelInfoDlg*>(QApplication::activeModalWidget())) {
            chosen = dialog->findChild<QComboBox*>("1053")->currentText();
            expanded = dialog->IsExpanded();
        }
    };
    run.trigger(CMainFrame::ID_MODEL_INFORMATION);
    EXPECT_EQ(closer.seen, 1);
    EXPECT_EQ(chosen, QString::fromUtf8("自定义机型"));
    EXPECT_TRUE(expanded);
}
