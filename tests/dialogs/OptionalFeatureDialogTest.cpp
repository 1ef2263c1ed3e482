// The optional features dialog: stored bytes to list positions and back.
#include <QCheckBox>

#include "dialogs/COptionalFeatureDlg.h"
#include "dialogs/DialogEntry.h"
#include "DialogTestKit.h"

namespace {
using Dlg = COptionalFeatureDlg;

class OptionalFeatureTest : public DialogTest {
protected:
    OptionList FullOptions()
    {
        return Options({{"Ckeylock", 2}, {"COptSign", 8}, {"CTOTAlert", 8}, {"CTOTReKey", 8},
                        {"CTOTReset", 8}, {"Csquelchlevel", 9}, {"Clamp", 4}, {"Cvoxgain", 4}});
    }
    static void Click(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2)); }
};

TEST_F(OptionalFeatureTest, StoredBytesBecomeListPositionsAndBack)
{
    RadioSettings s;
    s.lampMode = 0x02;
    s.voxGain = 0x05;          // no row of the table: first entry
    s.totPreAlert = 0x00;      // shows the first entry, which stands for 0xFF
    s.totRekey = 0x03;
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
    EXPECT_EQ(dlg.ListControl(Dlg::Tot)->currentText(), "COptSign 3");
    EXPECT_TRUE(Ctl<QCheckBox>(&dlg, 1059)->isChecked());

    Click(Ctl<QCheckBox>(&dlg, 1059));
    Click(Ctl<QCheckBox>(&dlg, 1065));
    Choose(dlg.ListControl(Dlg::Lamp), 1);
    Choose(dlg.ListControl(Dlg::TotReset), 5);
    Press(&dlg, 1);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    dlg.StoreTo(s);
    EXPECT_EQ(s.lampMode, 0x00u);
    EXPECT_EQ(s.voxGain, 0xFFu);
    EXPECT_EQ(s.totPreAlert, 0xFFu);
    EXPECT_EQ(s.totRekey, 0x03u);
    EXPECT_EQ(s.totReset, 0x05u);
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
    Dlg dlg;
    dlg.LoadFrom(s, Options({{"COptSign", 3}, {"Clamp", 4}}));
    dlg.show();
    EXPECT_EQ(dlg.ListControl(Dlg::Tot)->currentIndex(), -1);
    EXPECT_EQ(dlg.ListControl(Dlg::KeyLock)->count(), 0);
    dlg.accept();
    dlg.StoreTo(s);
    EXPECT_EQ(s.tot, 0xFFu);
    EXPECT_EQ(s.keyLock, 0xFFFFFFFFu);
    EXPECT_EQ(s.lampMode, 0xFFu); // 0xFF opens on the first entry
}

// The four settings dialogs run through one template: this one stands for all.
TEST_F(OptionalFeatureTest, RunStoresOnlyOnOk)
{
    RadioSettings s;
    s.lampMode = 0x01;
    const OptionList options = FullOptions();
    // Cancel after changing a list and a check box: nothing changes.
    OnModal<Dlg>([](Dlg* dlg) {
        dlg->ListControl(Dlg::Lamp)->setCurrentIndex(0);
        Ctl<QCheckBox>(dlg, 1070)->click();
        Press(dlg, 2);
    });
    EXPECT_FALSE(RunOptionalFeatureDialog(nullptr, s, options));
    EXPECT_EQ(s.lampMode, 0x01u);
    EXPECT_EQ(s.batterySave, RadioSettings().batterySave);

    OnModal<Dlg>([](Dlg* dlg) { Press(dlg, 1); });
    // OK without a change still reports a change to store.
    EXPECT_TRUE(RunOptionalFeatureDialog(nullptr, s, options));
    EXPECT_EQ(s.lampMode, 0x01u);
}
} // namespace
