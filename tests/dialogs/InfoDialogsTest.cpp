// The two display-only dialogs: radio information and About.
#include <QLabel>
#include <QLineEdit>

#include "dialogs/CAboutDlg.h"
#include "dialogs/CRadioInfoDlg.h"
#include "dialogs/DialogEntry.h"
#include "DialogTestKit.h"

namespace {

QString Box(const QWidget& dialog, int id) { return Ctl<QLineEdit>(&dialog, id)->text(); }

// Every label shows its whole text.
void ExpectUncut(const QWidget& dialog, std::initializer_list<int> ids)
{
    for (int id : ids) {
        auto* label = Ctl<QLabel>(&dialog, id);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << id;
    }
}

using InfoDialogsTest = DialogTest;

TEST_F(InfoDialogsTest, RadioInfoShowsTheModelTableRowOfTheCodeAndTheRadiosTexts)
{
    RadioSettings settings;
    const char* cases[][3] = {
        {"q80103", "HX8100L1", "UHF:450-470MHz"}, {"Q80104", "", "UHF:350-370MHz"}, {"Q99999", "", ""}};
    for (auto& c : cases) {
        SetText(settings.modelCode, c[0]);
        CRadioInfoDlg dialog;
        dialog.LoadFrom(settings);
        dialog.show();
        EXPECT_EQ(Box(dialog, 1163), c[1]) << c[0];
        EXPECT_EQ(Box(dialog, 1164), c[2]) << c[0];
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

    // In both languages every label shows its whole text.
    for (int language : {0, 1}) {
        SetLanguageFlag(language);
        CRadioInfoDlg dialog;
        dialog.show();
        ExpectUncut(dialog, {1160, 1161, 1162});
    }
}

TEST_F(InfoDialogsTest, AboutTextsFollowTheLanguageAtEachOpening)
{
    {
        CAboutDlg dialog;
        dialog.show();
        const QString version = Ctl<QLabel>(&dialog, 1119)->text();
        SetLanguageFlag(1); // an open box keeps its language
        EXPECT_EQ(Ctl<QLabel>(&dialog, 1119)->text(), version);
        ExpectUncut(dialog, {1117, 1118, 1119, 1120, 1121, 1122});
    }
    CAboutDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "关于 ZEMTRA800");
    ExpectUncut(dialog, {1117, 1118, 1119, 1120, 1121, 1122});
}

TEST_F(InfoDialogsTest, RunFunctionsAreModalAndCloseWithOkOrEnter)
{
    RadioSettings settings;
    SetText(settings.modelCode, "Q70101");
    QString shownType;
    OnModal<CRadioInfoDlg>([&](CRadioInfoDlg* d) {
        shownType = Box(*d, 1163);
        Press(d, 1);
    });
    RunRadioInfoDialog(nullptr, settings);
    EXPECT_EQ(shownType, "HX7100L1");

    bool closed = false;
    OnModal<CAboutDlg>([&](CAboutDlg* d) {
        QTest::keyClick(d, Qt::Key_Return);
        closed = !d->isVisible();
    });
    RunAboutDialog(nullptr);
    EXPECT_TRUE(closed);
}

} // namespace
