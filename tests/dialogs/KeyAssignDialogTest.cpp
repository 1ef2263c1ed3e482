#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "CKeyAssignDlg.h"
#include "DialogEntry.h"
#include "RadioSettings.h"
#include "SettingsTestKit.h"

namespace {
using KeyAssignTest = SettingsDialogTest;

TEST_F(KeyAssignTest, MoniKeyPositionsAndStoredBytes)
{
    const OptionList options = Options({{"CKeyAssig", 4}});
    struct Case {
        uint32_t stored;
        int shown;
        int chosen;
        uint32_t expected;
    };
    const Case cases[] = {
        {0x01, 2, 2, 0x01}, // back as it was
        {0x07, 0, 0, 0xFF}, // no table row: first entry
        {0xFF, 0, 3, 0x02},
        {0x02, 3, 0, 0xFF},
    };
    for (const Case& c : cases) {
        RadioSettings s;
        s.moniKey = c.stored;
        CKeyAssignDlg dlg;
        dlg.LoadFrom(s, options);
        dlg.show();
        EXPECT_EQ(dlg.ListControl()->currentIndex(), c.shown) << c.stored;
        Choose(dlg.ListControl(), c.chosen);
        QTest::mouseClick(dlg.findChild<QPushButton*>("1"), Qt::LeftButton);
        dlg.StoreTo(s);
        EXPECT_EQ(s.moniKey, c.expected) << c.stored;
    }
}

TEST_F(KeyAssignTest, MissingSectionGivesAnEmptyListStoringFE)
{
    SetLanguageFlag(1);
    RadioSettings s;
    s.moniKey = 0x01;
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CKeyAssignDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle(), "键设定");
        EXPECT_EQ(dlg->findChild<QLabel*>("1082")->text(), "监听器(Moni):");
        EXPECT_EQ(dlg->ListControl()->count(), 0);
        dlg->findChild<QPushButton*>("1")->click();
    });
    EXPECT_TRUE(RunKeyAssignDialog(nullptr, s, Options({{"Other", 2}})));
    EXPECT_EQ(s.moniKey, 0xFEu);

    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CKeyAssignDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->reject();
    });
    EXPECT_FALSE(RunKeyAssignDialog(nullptr, s, Options({{"CKeyAssig", 4}})));
    EXPECT_EQ(s.moniKey, 0xFEu);
}
} // namespace
