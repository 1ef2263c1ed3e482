#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "CAboutDlg.h"
#include "CRadioInfoDlg.h"
#include "DialogEntry.h"
#include "DialogUnits.h"
#include "Language.h"
#include "RadioSettings.h"

namespace {

template <class W = QLabel>
W* Control(QWidget& dialog, const char* id)
{
    return dialog.findChild<W*>(QString::fromLatin1(id));
}
QString Box(QWidget& dialog, const char* id) { return Control<QLineEdit>(dialog, id)->text(); }

// Every label shows its whole text.
void ExpectUncut(QWidget& dialog, std::initializer_list<const char*> ids)
{
    for (const char* id : ids) {
        QLabel* label = Control(dialog, id);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << id;
    }
}

class InfoDialogsTest : public ::testing::Test {
protected:
    void TearDown() override { SetLanguageFlag(1); }
};

} // namespace

TEST_F(InfoDialogsTest, RadioInfoShowsTheModelTableRowOfTheCodeAndTheRadiosTexts)
{
    RadioSettings settings;
    const char* cases[][3] = {
        {"Q80103", "HX8100L1", "UHF:450-470MHz"}, {"q80103", "HX8100L1", "UHF:450-470MHz"},
        {"Q80104", "", "UHF:350-370MHz"},         {"Q99999", "", ""},
    };
    for (auto& c : cases) {
        SetText(settings.modelCode, c[0]);
        CRadioInfoDlg dialog;
        dialog.LoadFrom(settings);
        dialog.show();
        EXPECT_EQ(Box(dialog, "1163"), c[1]) << c[0];
        EXPECT_EQ(Box(dialog, "1164"), c[2]) << c[0];
        EXPECT_EQ(Box(dialog, "1165"), "") << c[0];
    }
    SetText(settings.infoText1, "12345678");
    SetText(settings.infoText2, "AB01");
    CRadioInfoDlg both;
    both.LoadFrom(settings);
    EXPECT_EQ(both.serialText, "12345678 AB01");
    SetText(settings.infoText1, "\x01\x7F" "42"); // never garbage on the screen
    SetText(settings.infoText2, "");
    CRadioInfoDlg odd;
    odd.LoadFrom(settings);
    EXPECT_EQ(odd.serialText, "42");
}

TEST_F(InfoDialogsTest, RadioInfoLayoutAndTextsInBothLanguages)
{
    RadioSettings settings;
    for (int language : {0, 1}) {
        SetLanguageFlag(language);
        CRadioInfoDlg dialog;
        dialog.LoadFrom(settings);
        dialog.show();
        const DialogUnits du(dialog.font());
        EXPECT_EQ(dialog.size(), du.Size(203, 84));
        EXPECT_EQ(Control<QLineEdit>(dialog, "1164")->geometry(), du.Rect(68, 25, 105, 14));
        EXPECT_EQ(Control<QPushButton>(dialog, "1")->geometry(), du.Rect(82, 66, 38, 13));
        for (const char* id : {"1163", "1164", "1165"}) {
            EXPECT_TRUE(Control<QLineEdit>(dialog, id)->isReadOnly());
            EXPECT_FALSE(Control<QLineEdit>(dialog, id)->accessibleName().isEmpty());
        }
        EXPECT_EQ(Control(dialog, "1160")->buddy(), Control<QLineEdit>(dialog, "1163"));
        EXPECT_EQ(dialog.windowTitle(), language ? "对讲机信息" : "Radio Information");
        EXPECT_EQ(Control(dialog, "1162")->text(), language ? " 系列号:" : "Serial No.:");
        ExpectUncut(dialog, {"1160", "1161", "1162"});
    }
}

TEST_F(InfoDialogsTest, AboutTextsFollowTheLanguageAtEachOpeningAboveAnEtchedLine)
{
    SetLanguageFlag(0);
    {
        CAboutDlg dialog;
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), "About ZEMTRA800");
        EXPECT_EQ(Control(dialog, "1119")->text(), "VERSION 3.12");
        EXPECT_EQ(Control(dialog, "1120")->text(), "RELEASE 2006.1");
        EXPECT_FALSE(Control(dialog, "icon")->pixmap().isNull());
        SetLanguageFlag(1); // an open box keeps its language
        EXPECT_EQ(Control(dialog, "1119")->text(), "VERSION 3.12");
        ExpectUncut(dialog, {"1117", "1118", "1119", "1120", "1121", "1122"});
    }
    CAboutDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "关于 ZEMTRA800");
    EXPECT_EQ(Control(dialog, "1119")->text(), "版本  3.12");
    EXPECT_EQ(Control(dialog, "1120")->text(), "发布日期:  2006年1月");
    EXPECT_EQ(dialog.size(), DialogUnits(dialog.font()).Size(231, 132));
    ExpectUncut(dialog, {"1117", "1118", "1119", "1120", "1121", "1122"});

    // The etched line: dark on top, white below, 20 pixels in from each side.
    const QImage image = dialog.grab().toImage();
    const int w = dialog.width(), h = dialog.height();
    const QColor grey(128, 128, 128), white(255, 255, 255);
    EXPECT_EQ(image.pixelColor(w / 2, h - 50), grey);
    EXPECT_EQ(image.pixelColor(w / 2, h - 49), white);
    EXPECT_EQ(image.pixelColor(20, h - 50), grey);
    EXPECT_EQ(image.pixelColor(w - 21, h - 50), white);
    EXPECT_NE(image.pixelColor(19, h - 50), grey);
    EXPECT_NE(image.pixelColor(w / 2, h - 51), grey);
    EXPECT_GT(Control<QPushButton>(dialog, "1")->geometry().top(), h - 48);
}

TEST_F(InfoDialogsTest, RunFunctionsAreModalAndCloseWithOkOrEnter)
{
    SetLanguageFlag(0);
    RadioSettings settings;
    SetText(settings.modelCode, "Q70101");
    QString shownType;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        shownType = Box(*modal, "1163");
        QTest::mouseClick(Control<QPushButton>(*modal, "1"), Qt::LeftButton);
    });
    RunRadioInfoDialog(nullptr, settings);
    EXPECT_EQ(shownType, "HX7100L1");

    bool about = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        about = qobject_cast<CAboutDlg*>(modal) != nullptr;
        QTest::keyClick(modal, Qt::Key_Return);
    });
    RunAboutDialog(nullptr);
    EXPECT_TRUE(about);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
