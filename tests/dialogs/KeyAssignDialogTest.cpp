// The key assignment dialog: the monitor key's stored byte and its list.

#include "dialogs/CKeyAssignDlg.h"
#include "dialogs/DialogEntry.h"
#include "DialogTestKit.h"

namespace {
using KeyAssignTest = DialogTest;

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
    };
    for (const Case& c : cases) {
        RadioSettings s;
        s.moniKey = c.stored;
        CKeyAssignDlg dlg;
        dlg.LoadFrom(s, options);
        dlg.show();
        EXPECT_EQ(dlg.ListControl()->currentIndex(), c.shown) << c.stored;
        Choose(dlg.ListControl(), c.chosen);
        Press(&dlg, 1);
        dlg.StoreTo(s);
        EXPECT_EQ(s.moniKey, c.expected) << c.stored;
    }
}

TEST_F(KeyAssignTest, MissingSectionGivesAnEmptyListStoringFE)
{
    RadioSettings s;
    s.moniKey = 0x01;
    OnModal<CKeyAssignDlg>([](CKeyAssignDlg* dlg) {
        EXPECT_EQ(dlg->ListControl()->count(), 0);
        Press(dlg, 1);
    });
    EXPECT_TRUE(RunKeyAssignDialog(nullptr, s, Options({{"Other", 2}})));
    EXPECT_EQ(s.moniKey, 0xFEu);
}
} // namespace
