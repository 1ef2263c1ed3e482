// The two display-only dialogs: radio information and About.
#include <QLabel>
#include <QLineEdit>

#include <utility>

#include "dialogs/CAboutDlg.h"
#include "dialogs/CRadioInfoDlg.h"
#include "dialogs/DialogEntry.h"
#include "ui/DialogUnits.h"
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

    for (int language : {0, 1}) {
        SetLanguageFlag(language);
        CRadioInfoDlg dialog;
        dialog.show();
        EXPECT_EQ(Ctl<QLabel>(&dialog, 1162)->text(), language ? " 系列号:" : "Serial No.:");
        EXPECT_FALSE(Ctl(&dialog, 1165)->accessibleName().isEmpty());
        ExpectUncut(dialog, {1160, 1161, 1162});
        // Each label's text ends the usual 3 units short of its box.
        const DialogUnits du(dialog.font());
        for (auto [labelId, editId] : {std::pair{1160, 1163}, {1161, 1164}, {1162, 1165}}) {
            auto* label = Ctl<QLabel>(&dialog, labelId);
            const int textEnd = label->x() + label->contentsRect().left()
                + label->fontMetrics().horizontalAdvance(label->text());
            EXPECT_GE(Ctl(&dialog, editId)->x() - textEnd, du.X(3))
                << label->text().toStdString() << ": ends at " << textEnd;
            EXPECT_GE(label->x(), 0);
            // The labels stay one column.
            EXPECT_EQ(label->x(), Ctl(&dialog, 1160)->x());
        }
    }
}

TEST_F(InfoDialogsTest, AboutTextsFollowTheLanguageAtEachOpeningAboveAnEtchedLine)
{
    {
        CAboutDlg dialog;
        dialog.show();
        EXPECT_EQ(Ctl<QLabel>(&dialog, 1119)->text(), "VERSION 3.12");
        SetLanguageFlag(1); // an open box keeps its language
        EXPECT_EQ(Ctl<QLabel>(&dialog, 1119)->text(), "VERSION 3.12");
        ExpectUncut(dialog, {1117, 1118, 1119, 1120, 1121, 1122});
    }
    CAboutDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "关于 ZEMTRA800");
    EXPECT_EQ(Ctl<QLabel>(&dialog, 1120)->text(), "发布日期:  2006年1月");
    ExpectUncut(dialog, {1117, 1118, 1119, 1120, 1121, 1122});

    // The etched line: dark on top, white below, 20 pixels in from each side.
    const QImage image = dialog.grab().toImage();
    const int w = dialog.width(), h = dialog.height();
    const QColor grey(128, 128, 128), white(255, 255, 255);
    EXPECT_EQ(image.pixelColor(20, h - 50), grey);
    EXPECT_EQ(image.pixelColor(w / 2, h - 49), white);
    EXPECT_EQ(image.pixelColor(w - 21, h - 50), white);
    EXPECT_NE(image.pixelColor(19, h - 50), grey);
    EXPECT_GT(Ctl(&dialog, 1)->geometry().top(), h - 48);
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
