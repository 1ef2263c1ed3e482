// The radio information dialog.
#include <QLabel>
#include <QLineEdit>

#include "dialogs/CRadioInfoDlg.h"
#include "dialogs/DialogEntry.h"
#include "ui/DialogUnits.h"
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

// Each label's text ends at least the usual 3 units short of its box, in
// either language, and the labels stay one column.
TEST_F(InfoDialogsTest, RadioInfoLabelsLeaveTheUsualGapBeforeTheirBoxes)
{
    for (int language : {0, 1}) {
        SetLanguageFlag(language);
        CRadioInfoDlg dialog;
        dialog.show();
        const DialogUnits du(dialog.font());
        for (auto [labelId, editId] : {std::pair{1160, 1163}, {1161, 1164}, {1162, 1165}}) {
            auto* label = Ctl<QLabel>(&dialog, labelId);
            const int textEnd =
                label->x() + label->contentsRect().left() + label->fontMetrics().horizontalAdvance(label->text());
            EXPECT_GE(Ctl(&dialog, editId)->x() - textEnd, du.X(3)) << label->text().toStdString();
            EXPECT_GE(label->x(), 0);
            EXPECT_EQ(label->x(), Ctl(&dialog, 1160)->x());
        }
    }
}

} // namespace
