// The radio information dialog.
#include <QLineEdit>

#include "dialogs/CRadioInfoDlg.h"
#include "dialogs/DialogEntry.h"
#include "DialogTestKit.h"

namespace {

QString Box(const QWidget& dialog, int id) { return Ctl<QLineEdit>(&dialog, id)->text(); }

using InfoDialogsTest = DialogTest;

// The model table's row of the code (any case, or none) and the radio's
// own texts, shown by the modal run as the window opens it.
TEST_F(InfoDialogsTest, RadioInfoShowsTheModelTableRowOfTheCodeAndTheRadiosTexts)
{
    RadioSettings settings;
    const char* cases[][3] = {{"q80103", "HX8100L1", "UHF:450-470MHz"},
                              {"Q80104", "", "UHF:350-370MHz"},
                              {"Q99999", "", ""}};
    for (auto& c : cases) {
        SetText(settings.modelCode, c[0]);
        QStringList shown;
        OnModal<CRadioInfoDlg>([&](CRadioInfoDlg* d) {
            shown << Box(*d, 1163) << Box(*d, 1164);
            Press(d, 1);
        });
        RunRadioInfoDialog(nullptr, settings);
        EXPECT_EQ(shown.value(0), c[1]) << c[0];
        EXPECT_EQ(shown.value(1), c[2]) << c[0];
    }
    SetText(settings.infoText1, "12345678");
    SetText(settings.infoText2, "AB01");
    CRadioInfoDlg both;
    both.LoadFrom(settings);
    EXPECT_EQ(both.serialText, "12345678 AB01");
    SetText(settings.infoText1, "\x01\x7F" "42"); // never garbage on the screen
    SetText(settings.infoText2, "");
    both.LoadFrom(settings);
    EXPECT_EQ(both.serialText, "42");
}

} // namespace
