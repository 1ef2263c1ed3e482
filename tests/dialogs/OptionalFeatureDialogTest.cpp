#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "COptionalFeatureDlg.h"
#include "DialogEntry.h"
#include "RadioSettings.h"
#include "SettingsTestKit.h"

namespace {
using Dlg = COptionalFeatureDlg;

class OptionalFeatureTest : public SettingsDialogTest {
protected:
    OptionList FullOptions(int totEntries = 8)
    {
        return Options({{"Ckeylock", 2}, {"COptSign", totEntries}, {"CTOTAlert", 8}, {"CTOTReKey", 8},
                        {"CTOTReset", 8}, {"Csquelchlevel", 9}, {"Clamp", 4}, {"Cvoxgain", 4}});
    }
};

TEST_F(OptionalFeatureTest, StoredBytesBecomeListPositionsAndBack)
{
    RadioSettings s;
    s.lampMode = 0x02;
    s.voxGain = 0x05;          // no row of the table: first entry
    s.totPreAlert = 0x00;      // shows the first entry, which stands for 0xFF
    s.totRekey = 0x03;
    s.keyLock = 1;
    s.tot = 3;
    s.wirelessClone = 1;
    s.beepTone = 0;
    Dlg dlg;
    dlg.LoadFrom(s, FullOptions());
    dlg.show();
    EXPECT_EQ(dlg.ListControl(Dlg::Lamp)->currentIndex(), 3);
    EXPECT_EQ(dlg.ListControl(Dlg::VoxGain)->currentIndex(), 0);
    EXPECT_EQ(dlg.ListControl(Dlg::TotPreAlert)->currentIndex(), 0);
    EXPECT_EQ(dlg.ListControl(Dlg::TotRekey)->currentIndex(), 3);
    EXPECT_EQ(dlg.ListControl(Dlg::KeyLock)->currentIndex(), 1);
    EXPECT_EQ(dlg.ListControl(Dlg::Tot)->currentText(), "COptSign 3");
    auto* clone = dlg.findChild<QCheckBox*>("1059");
    auto* beep = dlg.findChild<QCheckBox*>("1065");
    EXPECT_TRUE(clone->isChecked());
    EXPECT_FALSE(beep->isChecked());

    QTest::mouseClick(clone, Qt::LeftButton, {}, QPoint(5, clone->height() / 2));
    QTest::mouseClick(beep, Qt::LeftButton, {}, QPoint(5, beep->height() / 2));
    Choose(dlg.ListControl(Dlg::Lamp), 1);
    Choose(dlg.ListControl(Dlg::TotReset), 5);
    QTest::mouseClick(dlg.findChild<QPushButton*>("1"), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    dlg.StoreTo(s);
    EXPECT_EQ(s.lampMode, 0x00u);
    EXPECT_EQ(s.voxGain, 0xFFu);
    EXPECT_EQ(s.totPreAlert, 0xFFu);
    EXPECT_EQ(s.totRekey, 0x03u);
    EXPECT_EQ(s.totReset, 0x05u);
    EXPECT_EQ(s.keyLock, 1u);
    EXPECT_EQ(s.tot, 3u);
    EXPECT_EQ(s.wirelessClone, 0u);
    EXPECT_EQ(s.beepTone, 1u);

    // The second entry of the gain list stands for 0x00, the third for 0x01.
    Dlg again;
    again.LoadFrom(s, FullOptions());
    again.show();
    Choose(again.ListControl(Dlg::VoxGain), 2);
    again.accept();
    again.StoreTo(s);
    EXPECT_EQ(s.voxGain, 0x01u);
}

TEST_F(OptionalFeatureTest, ValueBeyondAShortListOpensUnselectedAndStoresTheNoneRule)
{
    RadioSettings s;
    s.tot = 3;
    s.keyLock = 1;
    // A three-entry time-out list, and no key lock section at all.
    const OptionList options = Options({{"COptSign", 3}, {"Clamp", 4}});
    Dlg dlg;
    dlg.LoadFrom(s, options);
    dlg.show();
    EXPECT_EQ(dlg.ListControl(Dlg::Tot)->count(), 3);
    EXPECT_EQ(dlg.ListControl(Dlg::Tot)->currentIndex(), -1);
    EXPECT_EQ(dlg.ListControl(Dlg::KeyLock)->count(), 0);
    dlg.accept();
    dlg.StoreTo(s);
    EXPECT_EQ(s.tot, 0xFFu);
    EXPECT_EQ(s.keyLock, 0xFFFFFFFFu);
    EXPECT_EQ(s.totPreAlert, 0xFFu);
    EXPECT_EQ(s.lampMode, 0xFFu); // 0xFF opens on the first entry
}

TEST_F(OptionalFeatureTest, RunStoresOnlyOnOkAndSpeaksTheLanguage)
{
    RadioSettings s;
    s.lampMode = 0x01;
    const OptionList options = FullOptions();
    const RadioSettings before = s;

    // Cancel after changing a list and a check box: nothing changes.
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<Dlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle(), "Optional Feature");
        EXPECT_EQ(dlg->findChild<QLabel*>("1074")->text(), "Time Out Timer(s):");
        dlg->ListControl(Dlg::Lamp)->setCurrentIndex(0);
        dlg->findChild<QCheckBox*>("1070")->click();
        dlg->findChild<QPushButton*>("2")->click();
    });
    EXPECT_FALSE(RunOptionalFeatureDialog(nullptr, s, options));
    EXPECT_EQ(s.lampMode, before.lampMode);
    EXPECT_EQ(s.batterySave, before.batterySave);

    SetLanguageFlag(1);
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<Dlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle(), "可选功能");
        EXPECT_EQ(dlg->findChild<QCheckBox*>("1060")->text(), "自台编程");
        dlg->findChild<QPushButton*>("1")->click();
    });
    // OK without a change still reports a change to store.
    EXPECT_TRUE(RunOptionalFeatureDialog(nullptr, s, options));
    EXPECT_EQ(s.lampMode, 0x01u);
}
} // namespace
