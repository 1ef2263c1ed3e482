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

template <class W>
W* Control(QWidget& dialog, const char* id)
{
    return dialog.findChild<W*>(QString::fromLatin1(id));
}

QString Box(QWidget& dialog, const char* id) { return Control<QLineEdit>(dialog, id)->text(); }

// Runs fn on the modal dialog once it is up, then lets the test go on.
void WhenModal(std::function<void(QWidget*)> fn)
{
    QTimer::singleShot(0, [fn] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        fn(modal);
    });
}

class InfoDialogsTest : public ::testing::Test {
protected:
    void TearDown() override { SetLanguageFlag(1); }
};

} // namespace

TEST_F(InfoDialogsTest, RadioInfoShowsTheModelTableRowOfTheCode)
{
    SetLanguageFlag(0);
    RadioSettings settings;
    struct Case {
        const char* code;
        const char* type;
        const char* band;
    } cases[] = {
        {"Q80103", "HX8100L1", "UHF:450-470MHz"},
        {"q80103", "HX8100L1", "UHF:450-470MHz"}, // case does not matter
        {"Q80104", "", "UHF:350-370MHz"},          // a row without a model name
        {"Q7200E", "HX7200L5", "UHF:350-390MHz"},
        {"Q99999", "", ""},                        // in no row
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SetText(settings.modelCode, c.code);
        CRadioInfoDlg dialog;
        dialog.LoadFrom(settings);
        dialog.show();
        EXPECT_EQ(Box(dialog, "1163"), c.type) << c.code;
        EXPECT_EQ(Box(dialog, "1164"), c.band) << c.code;
        EXPECT_EQ(Box(dialog, "1165"), "") << c.code;
    }
}

TEST_F(InfoDialogsTest, RadioInfoShowsTheRadiosOwnTextsAsSerialNumber)
{
    RadioSettings settings;
    SetText(settings.infoText1, "12345678");
    CRadioInfoDlg one;
    one.LoadFrom(settings);
    EXPECT_EQ(one.serialText, "12345678");

    SetText(settings.infoText2, "AB01");
    CRadioInfoDlg both;
    both.LoadFrom(settings);
    EXPECT_EQ(both.serialText, "12345678 AB01");

    // Bytes that are not text never reach the screen.
    SetText(settings.infoText1, "\x01\x7F" "42");
    SetText(settings.infoText2, "");
    CRadioInfoDlg odd;
    odd.LoadFrom(settings);
    EXPECT_EQ(odd.serialText, "42");
}

TEST_F(InfoDialogsTest, RadioInfoLayoutTextsAndAccessibleNamesInBothLanguages)
{
    RadioSettings settings;
    SetText(settings.modelCode, "Q80109");
    for (int language : {0, 1}) {
        SetLanguageFlag(language);
        CRadioInfoDlg dialog;
        dialog.LoadFrom(settings);
        dialog.show();
        const DialogUnits du(dialog.font());
        EXPECT_EQ(dialog.size(), du.Size(203, 84));
        EXPECT_EQ(Control<QLineEdit>(dialog, "1163")->geometry(), du.Rect(68, 5, 105, 14));
        EXPECT_EQ(Control<QLineEdit>(dialog, "1165")->geometry(), du.Rect(68, 45, 105, 14));
        EXPECT_EQ(Control<QPushButton>(dialog, "1")->geometry(), du.Rect(82, 66, 38, 13));
        for (const char* id : {"1163", "1164", "1165"}) {
            EXPECT_TRUE(Control<QLineEdit>(dialog, id)->isReadOnly()) << id;
            EXPECT_FALSE(Control<QLineEdit>(dialog, id)->accessibleName().isEmpty()) << id;
        }
        EXPECT_EQ(Control<QLabel>(dialog, "1160")->buddy(), Control<QLineEdit>(dialog, "1163"));
        EXPECT_EQ(Box(dialog, "1163"), "HX8100K4");
        if (language == 0) {
            EXPECT_EQ(dialog.windowTitle(), "Radio Information");
            EXPECT_EQ(Control<QLabel>(dialog, "1162")->text(), "Serial No.:");
            EXPECT_EQ(Control<QPushButton>(dialog, "1")->text(), "OK");
        } else {
            EXPECT_EQ(dialog.windowTitle(), "对讲机信息");
            EXPECT_EQ(Control<QLabel>(dialog, "1162")->text(), " 系列号:");
            EXPECT_EQ(Control<QPushButton>(dialog, "1")->text(), "确定");
        }
        // Every label fits its text: nothing is cut.
        for (const char* id : {"1160", "1161", "1162"}) {
            QLabel* label = Control<QLabel>(dialog, id);
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << id;
        }
    }
}

TEST_F(InfoDialogsTest, RunRadioInfoDialogIsModalAndClosesWithOk)
{
    SetLanguageFlag(0);
    RadioSettings settings;
    SetText(settings.modelCode, "Q70101");
    QString shownType;
    WhenModal([&](QWidget* modal) {
        shownType = Box(*modal, "1163");
        QTest::mouseClick(Control<QPushButton>(*modal, "1"), Qt::LeftButton);
    });
    RunRadioInfoDialog(nullptr, settings);
    EXPECT_EQ(shownType, "HX7100L1");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(InfoDialogsTest, AboutTextsFollowTheLanguageAtEachOpening)
{
    SetLanguageFlag(0);
    {
        CAboutDlg dialog;
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), "About ZEMTRA800");
        EXPECT_EQ(Control<QLabel>(dialog, "1117")->text(), "RADIO PROGRAMMING SOFTWARE");
        EXPECT_EQ(Control<QLabel>(dialog, "1119")->text(), "VERSION 3.12");
        EXPECT_EQ(Control<QLabel>(dialog, "1120")->text(), "RELEASE 2006.1");
        EXPECT_FALSE(Control<QLabel>(dialog, "1121")->text().isEmpty());
        EXPECT_FALSE(Control<QLabel>(dialog, "1122")->text().isEmpty());
        EXPECT_FALSE(Control<QLabel>(dialog, "icon")->pixmap().isNull());
        // The language changes while the box is open: it keeps its texts.
        SetLanguageFlag(1);
        EXPECT_EQ(Control<QLabel>(dialog, "1119")->text(), "VERSION 3.12");
    }
    CAboutDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "关于 ZEMTRA800");
    EXPECT_EQ(Control<QLabel>(dialog, "1118")->text(), "用于HX7100/HX8100/8180机型");
    EXPECT_EQ(Control<QLabel>(dialog, "1119")->text(), "版本  3.12");
    EXPECT_EQ(Control<QLabel>(dialog, "1120")->text(), "发布日期:  2006年1月");
    EXPECT_EQ(Control<QPushButton>(dialog, "1")->text(), "确定");
    const DialogUnits du(dialog.font());
    EXPECT_EQ(dialog.size(), du.Size(231, 132));
    for (const char* id : {"1117", "1118", "1119", "1120", "1121", "1122"}) {
        QLabel* label = Control<QLabel>(dialog, id);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << id;
    }
}

TEST_F(InfoDialogsTest, AboutPaintsTheEtchedLineAboveTheButton)
{
    CAboutDlg dialog;
    dialog.show();
    const QImage image = dialog.grab().toImage();
    const int w = dialog.width();
    const int h = dialog.height();
    EXPECT_EQ(dialog.SeparatorRect(), QRect(20, h - 50, w - 40, 2));
    // Dark on top, white below, across the dialog less 20 pixels each side.
    const int x = w / 2;
    EXPECT_EQ(image.pixelColor(x, h - 50), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(x, h - 49), QColor(255, 255, 255));
    EXPECT_EQ(image.pixelColor(20, h - 50), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(w - 21, h - 50), QColor(255, 255, 255));
    EXPECT_NE(image.pixelColor(19, h - 50), QColor(128, 128, 128));
    EXPECT_NE(image.pixelColor(w - 20, h - 49), QColor(255, 255, 255));
    EXPECT_NE(image.pixelColor(x, h - 51), QColor(128, 128, 128));
    EXPECT_GT(Control<QPushButton>(dialog, "1")->geometry().top(), h - 48);
}

TEST_F(InfoDialogsTest, RunAboutDialogClosesWithEnterOnItsDefaultButton)
{
    bool shown = false;
    WhenModal([&](QWidget* modal) {
        shown = qobject_cast<CAboutDlg*>(modal) != nullptr;
        QTest::keyClick(modal, Qt::Key_Return);
    });
    RunAboutDialog(nullptr);
    EXPECT_TRUE(shown);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
