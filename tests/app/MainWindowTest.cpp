#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "AppTestKit.h"
#include "RadioSettings.h"

using namespace apptest;

namespace {
using MainWindowTest = AppTest;

QStringList MenuTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator() && a->isVisible())
            texts << a->text();
    return texts;
}
} // namespace

TEST_F(MainWindowTest, FirstRunIsChineseOnCom1WithTheFullFrame)
{
    MessageRecorder boxes;
    RunningApp run;
    ASSERT_TRUE(run.started);
    CMainFrame* frame = run.frame();
    run.paint();

    EXPECT_EQ(LanguageFlag(), 1);
    EXPECT_EQ(run.view()->PortNumber(), 1);
    EXPECT_EQ(frame->Pane(1)->text(), "COM 1");
    EXPECT_EQ(frame->Pane(2)->text().trimmed(), "");
    EXPECT_EQ(frame->size(), QSize(800, 700));
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize());
    EXPECT_EQ(frame->windowTitle(), "ZEMTRA800   [www.halvorn.com]    [UHF:450-470MHz]");

    EXPECT_EQ(frame->TopMenu(0)->title(), QString::fromUtf8("文件(&F)"));
    EXPECT_EQ(MenuTexts(frame->TopMenu(3)),
              QStringList({QString::fromUtf8("读数据(&R)"), QString::fromUtf8("写数据(&W)"),
                           QString::fromUtf8("嵌入信息(&Q)"), QString::fromUtf8("当前通信机信息(&I)")}));
    EXPECT_EQ(frame->Action(CMainFrame::ID_LANGUAGE)->text(), QString::fromUtf8("英文版(E)(English Version)"));
    EXPECT_EQ(frame->Action(CMainFrame::ID_FILE_NEW)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(frame->Accelerator(CMainFrame::ID_READ_DATA)->shortcut(), QKeySequence(Qt::Key_R));
    EXPECT_EQ(frame->Accelerator(CMainFrame::ID_SHOW_TRACE)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));

    // Six labelled buttons, all the size of the largest.
    const char* labels[] = {"新建", "打开", "存盘", "读", "写", "退出"};
    for (int i = 0; i < 6; ++i) {
        ASSERT_NE(frame->ToolButton(i), nullptr);
        EXPECT_EQ(frame->ToolButton(i)->text(), QString::fromUtf8(labels[i]));
        EXPECT_EQ(frame->ToolButton(i)->size(), frame->ToolButton(0)->size());
        EXPECT_FALSE(frame->ToolButton(i)->icon().isNull());
    }
    EXPECT_TRUE(frame->ProgressBar()->isVisible());

    // Help without its file reports nothing.
    run.trigger(CMainFrame::ID_HELP);
    EXPECT_TRUE(boxes.messages.isEmpty());
}

TEST_F(MainWindowTest, LanguageSwitchRelabelsEverythingAndIsKept)
{
    {
        RunningApp run;
        CMainFrame* frame = run.frame();
        run.trigger(CMainFrame::ID_LANGUAGE);
        EXPECT_EQ(LanguageFlag(), 0);
        EXPECT_EQ(frame->TopMenu(1)->title(), "Setup(&S)");
        EXPECT_EQ(MenuTexts(frame->TopMenu(1)),
                  QStringList({"Model Information(&M)", "Communication Port(&P)",
                               "Chinese Version(E)(English Version)"}));
        EXPECT_EQ(frame->ToolButton(3)->text(), "Read");
        EXPECT_EQ(frame->ToolButton(3)->size(), frame->ToolButton(5)->size());
        EXPECT_EQ(run.view()->PageButton(2)->text(), "Page2 (18-34)");
        EXPECT_EQ(run.view()->Options().File(), "EConfig.ini");
    }
    // Stored at exit and read at the next start.
    EXPECT_EQ(Profile::GetInt("CHANNEL_DEFAULT", "LANGUAGE", 1), 0);
    {
        RunningApp run;
        EXPECT_EQ(LanguageFlag(), 0);
        EXPECT_EQ(run.frame()->TopMenu(0)->title(), "File(&F)");
        // Twice gives back the first menus.
        run.trigger(CMainFrame::ID_LANGUAGE);
        EXPECT_EQ(run.frame()->TopMenu(0)->title(), QString::fromUtf8("文件(&F)"));
        EXPECT_EQ(run.view()->Options().File(), "Config.ini");
    }
    EXPECT_EQ(Profile::GetInt("CHANNEL_DEFAULT", "LANGUAGE", 0), 1);
}

TEST_F(MainWindowTest, PlainRStartsAReadOnlyInTheMainWindow)
{
    MessageRecorder boxes;
    SetLanguageFlag(0);
    Profile::WriteInt("CHANNEL_DEFAULT", "LANGUAGE", 0);
    Profile::WriteInt("COM", "PORT", 7);
    RunningApp run;
    run.view()->UseDevice("/nonexistent/zemtra-port");
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
    QTest::keyClick(edit, Qt::Key_W);
    EXPECT_EQ(edit->text(), "rw");
    EXPECT_TRUE(boxes.messages.isEmpty());
    dialog.close();

    run.frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(run.frame()));
    QTest::keyClick(run.view(), Qt::Key_R);
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages[0], "Failed to open COM7,Please select COM port again!");
    QTest::keyClick(run.view(), Qt::Key_W);
    EXPECT_EQ(boxes.messages.size(), 2);
    EXPECT_FALSE(run.view()->IsJobRunning());
}
