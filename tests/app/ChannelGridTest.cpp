// The channel grid: its cell texts, keys, clicks, repaints and colours.
#include <QPushButton>

#include "AppTestKit.h"
#include "app/GridLayout.h"
#include "app/GridText.h"

using namespace apptest;

namespace {
using ChannelGridTest = AppTest;
} // namespace

TEST_F(ChannelGridTest, ArrowKeysAndPageButtons)
{
    RunningApp run;
    CZEMTRA800View* view = run.view();
    view->setFocus();
    PressKey(view, Qt::Key_Up); // first channel: nothing
    EXPECT_EQ(view->SelectedChannel(), 1);
    PressKey(view, Qt::Key_Down, {}, 17); // across to page 2
    EXPECT_EQ(view->SelectedChannel(), 18);
    PressKey(view, Qt::Key_Down, {}, 17); // row 1 of page 3
    PressKey(view, Qt::Key_Up); // back to page 2, row 17
    EXPECT_EQ(view->SelectedChannel(), 34);
    PressKey(view, Qt::Key_Down, {}, 17); // past the last channel: nothing
    EXPECT_EQ(view->SelectedChannel(), 50);
    EXPECT_EQ(view->SelectedRow(), 16);

    // A page button keeps the row: row 5 of page 1 is channel 5.
    QTest::mouseClick(view->PageButton(1), Qt::LeftButton);
    PressKey(view, Qt::Key_Up, {}, 11);
    EXPECT_EQ(view->SelectedChannel(), 5);
    QTest::mouseClick(view->PageButton(3), Qt::LeftButton);
    EXPECT_EQ(view->SelectedChannel(), 39);
    EXPECT_FALSE(view->RowButton(17)->isVisible());

    // Row 17 of page 3 names no channel and opens no editor; Up leaves it
    // for row 16.
    ModalCloser closer;
    QTest::mouseDClick(view, Qt::LeftButton, {}, RowPoint(view, 17));
    QTest::qWait(100);
    EXPECT_EQ(closer.seen, 0);
    PressKey(view, Qt::Key_Up);
    EXPECT_EQ(view->SelectedChannel(), 50);

}

TEST_F(ChannelGridTest, UpdateModesRepaintOnlyWhatChanged)
{
    RunningApp run;
    CZEMTRA800View* view = run.view();
    const QRect all = view->rect();
    view->TakeInvalidations();

    // The first notification repaints everything: no highlight is known yet.
    view->OnChannelUpdate(2, 0);
    EXPECT_TRUE(run.doc()->IsModified());
    EXPECT_EQ(view->TakeInvalidations(), QList<QRect>({all}));

    // Same page: the two row bands only.
    view->OnChannelUpdate(3, 2);
    const GridLayout g = view->Layout();
    EXPECT_EQ(view->TakeInvalidations(), QList<QRect>({g.Band(2), g.Band(3)}));

    // 17 to 18 turns the page: everything.
    view->OnChannelUpdate(18, 2);
    EXPECT_EQ(view->TakeInvalidations(), QList<QRect>({all}));

    // Mode 1 blanks everything but the model code.
    RadioSettings& s = run.settings();
    s.channels[0].rxFrequency = 450.0;
    s.squelchLevel = 9;
    SetText(s.modelCode, "Q80109");
    run.doc()->SetModifiedFlag(false);
    view->OnChannelUpdate(0, 1);
    EXPECT_TRUE(run.doc()->IsModified());
    EXPECT_LT(s.channels[0].rxFrequency, 0.1);
    EXPECT_NE(s.squelchLevel, 9u);
    EXPECT_EQ(std::string(GetText(s.modelCode)), "Q80109");
}

TEST_F(ChannelGridTest, TheSelectedRowStandsOutProgrammedOrEmptyInBothLanguages)
{
    RunningApp run;
    CZEMTRA800View* view = run.view();
    run.settings().channels[0].rxFrequency = 450.0;
    run.settings().channels[1].rxFrequency = 450.0;
    const GridLayout g = view->Layout();
    const QPoint inside(4, g.rowHeight / 2);
    auto colourAt = [&](int row) {
        view->TakeInvalidations();
        const QImage image = view->grab().toImage();
        return image.pixelColor((g.cell[row - 1][5].topLeft() + inside) * image.devicePixelRatio()).rgb();
    };
    // Far apart in at least one primary, as an eye sees it at once.
    auto plainlyApart = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) >= 150;
    };
    const QRgb white = qRgb(255, 255, 255);
    const QRgb background = view->palette().color(QPalette::Window).rgb();

    for (int language : {1, 0}) {
        if (LanguageFlag() != language)
            run.trigger(CMainFrame::ID_LANGUAGE);
        ClickRow(view, 2); // programmed
        const QRgb programmed = colourAt(2);
        EXPECT_TRUE(plainlyApart(programmed, white)) << std::hex << programmed;
        EXPECT_TRUE(plainlyApart(programmed, background)) << std::hex << programmed;
        EXPECT_EQ(colourAt(1), white);
        ClickRow(view, 5); // empty
        EXPECT_EQ(colourAt(5), programmed);
        EXPECT_EQ(colourAt(2), white);
        EXPECT_EQ(colourAt(6), background);
        // A range, drawn backwards, alike.
        view->SelectRange(4, 1);
        for (int row = 1; row <= 4; ++row)
            EXPECT_EQ(colourAt(row), programmed) << row;
        EXPECT_EQ(colourAt(5), background);
    }

    // The row button opens the editor on its channel; the row being edited
    // keeps its own colour.
    ModalCloser closer;
    QRgb editing = 0;
    closer.whileShown = [&] { editing = colourAt(2); };
    view->RowButton(2)->click();
    EXPECT_EQ(closer.seen, 1);
    EXPECT_EQ(view->SelectedChannel(), 2);
    EXPECT_EQ(editing, qRgb(190, 203, 238));
}

TEST(GridText, CellTexts)
{
    ChannelRecord ch;
    ch.rxFrequency = 450.0125;
    ch.txFrequency = 0.0;
    ch.highPower = 1;
    ch.wideNarrow = 0;
    ch.scanAdd = 1;
    ch.optionalSignalling = 0;
    auto texts = [&](bool chinese) {
        QStringList t;
        for (int col = 0; col < 8; ++col)
            t << GridText::CellText(ch, col, chinese);
        return t;
    };
    // No transmit frequency: no encode code either.
    EXPECT_EQ(texts(false), QStringList({"450.01250", "", "None", "", "High", "Narrow", "Add", "DTMF"}));
    // Transmitting without an encode code: "None"; the other values flip.
    ch.txFrequency = 450.0125;
    ch.highPower = 0;
    ch.wideNarrow = 1;
    ch.scanAdd = 0;
    ch.optionalSignalling = 1;
    SetText(ch.rxCode, "D023N");
    EXPECT_EQ(texts(true), QStringList({"450.01250", "450.01250", "D023N", "无", "低功率", "宽带", "删除", "无"}));
    // A transmit frequency under 0.00001 counts as none.
    ch.txFrequency = 0.000001;
    EXPECT_EQ(GridText::CellText(ch, 1, false), "");
    // Nine characters of "%f": large frequencies lose decimals, not digits.
    ch.rxFrequency = 1234.5;
    EXPECT_EQ(GridText::CellText(ch, 0, false), "1234.5000");
}
