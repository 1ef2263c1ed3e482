// The key assignment dialog: the monitor key's stored byte and its list.
#include "dialogs/CKeyAssignDlg.h"
#include "dialogs/DialogEntry.h"
#include "DialogTestKit.h"

namespace {
using KeyAssignTest = DialogTest;

// Stored byte to list position and back, through the modal run; with no
// section of its own the list is empty and stores 0xFE.
TEST_F(KeyAssignTest, MoniKeyPositionsAndStoredBytes)
{
    const struct { const char* section; uint32_t stored; int shown, chosen; uint32_t expected; } cases[] = {
        {"CKeyAssig", 0x01, 2, 2, 0x01}, // back as it was
        {"CKeyAssig", 0x07, 0, 0, 0xFF}, // no table row: first entry
        {"CKeyAssig", 0xFF, 0, 3, 0x02},
        {"Other", 0x01, -1, -1, 0xFE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        RadioSettings s;
        s.moniKey = c.stored;
        OnModal<CKeyAssignDlg>([&](CKeyAssignDlg* dlg) {
            EXPECT_EQ(dlg->ListControl()->currentIndex(), c.shown);
            if (c.chosen >= 0)
                Choose(dlg->ListControl(), c.chosen);
            Press(dlg, 1);
        });
        EXPECT_TRUE(RunKeyAssignDialog(nullptr, s, Options({{c.section, 4}})));
        EXPECT_EQ(s.moniKey, c.expected);
    }
}
} // namespace
