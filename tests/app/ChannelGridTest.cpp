// The channel grid: its layout and cell texts, keys, clicks and repaints.
#include <QImage>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "AppTestKit.h"
#include "image/ChannelRecord.h"
#include "app/GridLayout.h"
#include "app/GridText.h"
#include "image/RadioSettings.h"

using namespace apptest;

namespace {
class ChannelGridTest : public AppTest {
protected:
    static void Press(CZEMTRA800View* view, Qt::Key key, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(view, key);
    }
    // The centre of a row's first cell on the current page.
    static QPoint RowPoint(CZEMTRA800View* view, int row) { return view->Layout().cell[row - 1][0].center(); }
};

// A rectangle by its edges, right and bottom exclusive as the grid gives them.
QRect Edges(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

} // namespace

TEST_F(ChannelGridTest, ArrowKeysAndPageButtons)
{
    RunningApp run;
    CZEMTRA800View* view = run.view();
    view->setFocus();
    Press(view, Qt::Key_Up); // first channel: nothing
    EXPECT_EQ(view->SelectedChannel(), 1);
    Press(view, Qt::Key_Down, 17); // across to page 2
    EXPECT_EQ(view->SelectedChannel(), 18);
    Press(view, Qt::Key_Down, 17); // row 1 of page 3
    Press(view, Qt::Key_Up); // back to page 2, row 17
    EXPECT_EQ(view->SelectedChannel(), 34);
    Press(view, Qt::Key_Down, 17); // past the last channel: nothing
    EXPECT_EQ(view->SelectedChannel(), 50);
    EXPECT_EQ(view->SelectedRow(), 16);

    // A page button keeps the row: row 5 of page 1 is channel 5.
    QTest::mouseClick(view->PageButton(1), Qt::LeftButton);
    Press(view, Qt::Key_Up, 11);
    EXPECT_EQ(view->SelectedChannel(), 5);
    QTest::mouseClick(view->PageButton(3), Qt::LeftButton);
    EXPECT_EQ(view->SelectedChannel(), 39);
    EXPECT_FALSE(view->RowButton(17)->isVisible());

    // Row 17 of page 3 names no channel; Up leaves it for row 16.
    QTest::mouseClick(view, Qt::LeftButton, {}, RowPoint(view, 17));
    EXPECT_EQ(view->SelectedChannel(), 0);
    Press(view, Qt::Key_Up);
    EXPECT_EQ(view->SelectedChannel(), 50);

    // A click outside the cells selects nothing new.
    QTest::mouseClick(view->PageButton(2), Qt::LeftButton);
    QTest::mouseClick(view, Qt::LeftButton, {}, view->Layout().numberCell[2].center());
    EXPECT_EQ(view->SelectedChannel(), 33);
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
    // Arrow keys follow the same rule.
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(view->TakeInvalidations(), QList<QRect>({g.Band(1), g.Band(2)}));

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
    EXPECT_EQ(view->TakeInvalidations(), QList<QRect>({all}));
}

TEST_F(ChannelGridTest, PaintFollowsTheLayoutAndTheSelection)
{
    RunningApp run;
    CZEMTRA800View* view = run.view();
    RadioSettings& s = run.settings();
    for (int ch = 1; ch <= 3; ++ch)
        s.channels[ch - 1].rxFrequency = 450.0 + ch;
    QTest::mouseClick(view, Qt::LeftButton, {}, RowPoint(view, 2));
    const GridLayout g = view->Layout();

    const QImage image = view->grab().toImage();
    auto at = [&](const QPoint& p) { return image.pixelColor(p * image.devicePixelRatio()).rgb() & 0xFFFFFF; };
    const QRgb background = view->palette().color(QPalette::Window).rgb() & 0xFFFFFF;
    // Programmed rows are white except the selected one; empty rows keep the background.
    const QPoint inside(4, g.rowHeight / 2);
    EXPECT_EQ(at(g.cell[0][3].topLeft() + inside), 0xFFFFFFu);
    EXPECT_NE(at(g.cell[1][3].topLeft() + inside), 0xFFFFFFu);
    EXPECT_EQ(at(g.cell[3][3].topLeft() + inside), background);
    // 3-D borders: grey top-left, white bottom-right.
    EXPECT_EQ(at(g.cell[3][0].topLeft()), 0x808080u);
    EXPECT_EQ(at(QPoint(RectRight(g.cell[3][0]) - 1, RectBottom(g.cell[3][0]) - 1)), 0xFFFFFFu);
    // The current page's button sits in a dark frame.
    EXPECT_EQ(at(g.pageSlot[0].topLeft() - QPoint(1, 1)), 0x0A1C4Fu);
    EXPECT_NE(at(g.pageSlot[1].topLeft() - QPoint(1, 1)), 0x0A1C4Fu);
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
        QTest::mouseClick(view, Qt::LeftButton, {}, RowPoint(view, 2)); // programmed
        const QRgb programmed = colourAt(2);
        EXPECT_TRUE(plainlyApart(programmed, white)) << std::hex << programmed;
        EXPECT_TRUE(plainlyApart(programmed, background)) << std::hex << programmed;
        EXPECT_EQ(colourAt(1), white);
        QTest::mouseClick(view, Qt::LeftButton, {}, RowPoint(view, 5)); // empty
        EXPECT_EQ(colourAt(5), programmed);
        EXPECT_EQ(colourAt(2), white);
        EXPECT_EQ(colourAt(6), background);
    }

    // The row being edited keeps its own colour.
    ModalCloser closer;
    QRgb editing = 0;
    closer.whileShown = [&] { editing = colourAt(2); };
    view->RowButton(2)->click();
    EXPECT_EQ(closer.seen, 1);
    EXPECT_EQ(editing, qRgb(190, 203, 238));
}

TEST_F(ChannelGridTest, DoubleClickAndRowButtonOpenTheEditor)
{
    RunningApp run;
    CZEMTRA800View* view = run.view();
    run.settings().channels[3].rxFrequency = 450.0;
    ModalCloser closer;
    bool editOpen = false;
    closer.whileShown = [&] { editOpen = view->EditOpen(); };
    QTest::mouseDClick(view, Qt::LeftButton, {}, RowPoint(view, 4));
    EXPECT_EQ(closer.seen, 1);
    EXPECT_TRUE(editOpen);
    EXPECT_FALSE(view->EditOpen());
    view->RowButton(6)->click();
    EXPECT_EQ(closer.seen, 2);
    EXPECT_EQ(view->SelectedChannel(), 6);

    // Page 3, row 17: no channel, no editor.
    view->SelectPage(3);
    QTest::mouseDClick(view, Qt::LeftButton, {}, RowPoint(view, 17));
    QTest::qWait(100);
    EXPECT_EQ(closer.seen, 2);
    EXPECT_EQ(view->SelectedChannel(), 0);
}

TEST(GridLayout, RectanglesOfAn800By600View)
{
    const GridLayout g = LayoutGrid(800, 600);
    // (800 - 10) / 6 = 131 wide, starting at 4 / 2 = 2, two pixels apart.
    EXPECT_EQ(g.pageSlot[2], Edges(273, 4, 394, 34));
    // Cells (740 - 34) / 8 = 88 wide with offset 1, rows (542 - 80) / 17 = 27 high.
    EXPECT_EQ(g.numberCell[0], Edges(11, 88, 31, 115));
    EXPECT_EQ(g.rowButton[0], Edges(753, 88, 788, 115));
    EXPECT_EQ(g.Band(17), Edges(33, 552, 751, 579));
    // Group headers start in the middle of their first column.
    EXPECT_EQ(g.groupHeader[1], Edges(257, 43, 345, 66));

    // Hit areas: cells only, not the number cell, the row button or the gaps.
    EXPECT_EQ(g.RowAt(QPoint(750, 114)), 1);
    EXPECT_EQ(g.RowAt(QPoint(751, 100)), 0);
    EXPECT_EQ(g.RowAt(QPoint(20, 100)), 0);
    EXPECT_EQ(g.RowAt(QPoint(100, 116)), 0);
    EXPECT_EQ(g.RowAt(QPoint(400, 578)), 17);
}

TEST(GridLayout, RemaindersCentreTheSlotsAndCells)
{
    // 793 = 6 * 132 + 1: slots from 0; 743 - 34 = 709 = 8 * 88 + 5: offset 2.
    const GridLayout g = LayoutGrid(803, 611);
    EXPECT_EQ(g.pageSlot[0], Edges(5, 4, 127, 34));
    EXPECT_EQ(g.numberCell[0], Edges(12, 88, 32, 115));
    EXPECT_EQ(LayoutGrid(800, 700).rowHeight, 33);
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
    const char* english[] = {"450.01250", "", "None", "", "High", "Narrow", "Add", "DTMF"};
    for (int col = 0; col < 8; ++col)
        EXPECT_EQ(GridText::CellText(ch, col, false), QString::fromUtf8(english[col])) << col;

    // Transmitting without an encode code: "None"; the other values flip.
    ch.txFrequency = 450.0125;
    ch.highPower = 0;
    ch.wideNarrow = 1;
    ch.scanAdd = 0;
    ch.optionalSignalling = 1;
    SetText(ch.rxCode, "D023N");
    const char* chinese[] = {"450.01250", "450.01250", "D023N", "无", "低功率", "宽带", "删除", "无"};
    for (int col = 0; col < 8; ++col)
        EXPECT_EQ(GridText::CellText(ch, col, true), QString::fromUtf8(chinese[col])) << col;
    // A transmit frequency under 0.00001 counts as none.
    ch.txFrequency = 0.000001;
    EXPECT_EQ(GridText::CellText(ch, 1, false), "");
    // Nine characters of "%f": large frequencies lose decimals, not digits.
    ch.rxFrequency = 1234.5;
    EXPECT_EQ(GridText::CellText(ch, 0, false), "1234.5000");
}
