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
};

// Each list: the stored byte, the position shown, the position chosen and
// the byte stored on OK. A short time-out list and a missing key lock
// section open unselected and store the no-selection rule.
TEST_F(OptionalFeatureTest, StoredBytesBecomeListPositionsAndBack)
{
    const struct { Dlg::List list; uint32_t RadioSettings::*member; uint32_t stored; int shown, chosen;
                   uint32_t expected; bool shortLists = false; } cases[] = {
        {Dlg::Lamp, &RadioSettings::lampMode, 0x02, 3, 1, 0x00},
        {Dlg::VoxGain, &RadioSettings::voxGain, 0x05, 0, 0, 0xFF}, // no row of the table: first entry
        {Dlg::VoxGain, &RadioSettings::voxGain, 0xFF, 0, 1, 0x00},
        {Dlg::TotPreAlert, &RadioSettings::totPreAlert, 0x00, 0, 0, 0xFF}, // the first entry stands for 0xFF
        {Dlg::Tot, &RadioSettings::tot, 3, 3, 5, 5},
        {Dlg::Tot, &RadioSettings::tot, 3, -1, -1, 0xFF, true},
        {Dlg::KeyLock, &RadioSettings::keyLock, 1, -1, -1, 0xFFFFFFFF, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "list " << c.list << " stored " << c.stored << " chosen " << c.chosen);
        RadioSettings s;
        s.*c.member = c.stored;
        Dlg dlg;
        dlg.LoadFrom(s, c.shortLists ? Options({{"COptSign", 3}, {"Clamp", 4}}) : FullOptions());
        dlg.show();
        EXPECT_EQ(dlg.ListControl(c.list)->currentIndex(), c.shown);
        if (c.chosen >= 0)
            Choose(dlg.ListControl(c.list), c.chosen);
        Press(&dlg, 1);
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        dlg.StoreTo(s);
        EXPECT_EQ(s.*c.member, c.expected);
    }
}

// The check boxes store their inverted bytes; Cancel keeps everything. (The four settings
// dialogs run through one template: this one stands for all.)
TEST_F(OptionalFeatureTest, BoxesAndTheRunStoreOnlyOnOk)
{
    RadioSettings s;
    s.wirelessClone = 1;
    s.beepTone = 0;
    s.lampMode = 0x01;
    const OptionList options = FullOptions();
    OnModal<Dlg>([](Dlg* dlg) {
        dlg->ListControl(Dlg::Lamp)->setCurrentIndex(0);
        Ctl<QCheckBox>(dlg, 1070)->click();
        Press(dlg, 2);
    });
    EXPECT_FALSE(RunOptionalFeatureDialog(nullptr, s, options));
    EXPECT_EQ(s.lampMode, 0x01u);
    EXPECT_EQ(s.batterySave, RadioSettings().batterySave);

    OnModal<Dlg>([](Dlg* dlg) {
        EXPECT_TRUE(Ctl<QCheckBox>(dlg, 1059)->isChecked());
        Ctl<QCheckBox>(dlg, 1059)->click();
        Ctl<QCheckBox>(dlg, 1065)->click();
        Press(dlg, 1);
    });
    EXPECT_TRUE(RunOptionalFeatureDialog(nullptr, s, options));
    EXPECT_EQ(s.wirelessClone, 0u);
    EXPECT_EQ(s.beepTone, 1u);
}
} // namespace
