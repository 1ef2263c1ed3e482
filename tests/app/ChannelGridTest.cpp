#include <QImage>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "AppTestKit.h"
#include "RadioSettings.h"

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

} // namespace

TEST_F(ChannelGridTest, ArrowKeysAndPageButtons)
{
    RunningApp run;
    CZEMTRA800View* view = run.view();
    view->setFocus();
    EXPECT_EQ(view->SelectedChannel(), 1);

    Press(view, Qt::Key_Up); // first channel: nothing
    EXPECT_EQ(view->SelectedChannel(), 1);
    Press(view, Qt::Key_Down, 16);
    EXPECT_EQ(view->SelectedRow(), 17);
    Press(view, Qt::Key_Down); // across to page 2
    EXPECT_EQ(view->CurrentPage(), 2);
    EXPECT_EQ(view->SelectedRow(), 1);
    EXPECT_EQ(view->SelectedChannel(), 18);
    Press(view, Qt::Key_Down, 17); // row 1 of page 3
    EXPECT_EQ(view->SelectedChannel(), 35);
    Press(view, Qt::Key_Up); // back to page 2, row 17
    EXPECT_EQ(view->CurrentPage(), 2);
    EXPECT_EQ(view->SelectedChannel(), 34);
    Press(view, Qt::Key_Down, 16);
    EXPECT_EQ(view->SelectedChannel(), 50);
    Press(view, Qt::Key_Down); // last channel: nothing
    EXPECT_EQ(view->SelectedChannel(), 50);
    EXPECT_EQ(view->SelectedRow(), 16);

    // A page button keeps the row: row 5 of page 1 is channel 5.
    QTest::mouseClick(view->PageButton(1), Qt::LeftButton);
    Press(view, Qt::Key_Up, 11);
    EXPECT_EQ(view->SelectedChannel(), 5);
    QTest::mouseClick(view->PageButton(3), Qt::LeftButton);
    EXPECT_EQ(view->CurrentPage(), 3);
    EXPECT_EQ(view->SelectedChannel(), 39);
    EXPECT_FALSE(view->RowButton(17)->isVisible());
    EXPECT_TRUE(view->RowButton(16)->isVisible());

    // Row 17 of page 3 names no channel; Up leaves it for row 16.
    QTest::mouseClick(view, Qt::LeftButton, {}, RowPoint(view, 17));
    EXPECT_EQ(view->SelectedRow(), 17);
    EXPECT_EQ(view->SelectedChannel(), 0);
    Press(view, Qt::Key_Down);
    EXPECT_EQ(view->SelectedRow(), 17);
    Press(view, Qt::Key_Up);
    EXPECT_EQ(view->SelectedChannel(), 50);

    QTest::mouseClick(view->PageButton(2), Qt::LeftButton);
    EXPECT_TRUE(view->RowButton(17)->isVisible());
    // Clicks outside the cells select nothing new.
    QTest::mouseClick(view, Qt::LeftButton, {}, view->Layout().numberCell[2].center());
    EXPECT_EQ(view->SelectedChannel(), 33);
    QTest::mouseClick(view, Qt::LeftButton, {}, RowPoint(view, 3));
    EXPECT_EQ(view->SelectedChannel(), 20);
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
    EXPECT_EQ(view->SelectedChannel(), 2);
    EXPECT_EQ(view->TakeInvalidations(), QList<QRect>({all}));

    // Same page: the two row bands only.
    view->OnChannelUpdate(3, 2);
    const GridLayout g = view->Layout();
    EXPECT_EQ(view->TakeInvalidations(), QList<QRect>({g.Band(2), g.Band(3)}));
    view->OnChannelUpdate(17, 2);
    EXPECT_EQ(view->TakeInvalidations(), QList<QRect>({g.Band(3), g.Band(17)}));

    // 17 to 18 turns the page: everything.
    view->OnChannelUpdate(18, 2);
    EXPECT_EQ(view->CurrentPage(), 2);
    EXPECT_EQ(view->TakeInvalidations(), QList<QRect>({all}));
    view->OnChannelUpdate(19, 2);
    EXPECT_EQ(view->TakeInvalidations(), QList<QRect>({g.Band(1), g.Band(2)}));

    // Arrow keys follow the same rule.
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(view->TakeInvalidations(), QList<QRect>({g.Band(2), g.Band(3)}));

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
    EXPECT_EQ(view->SelectedChannel(), 20);
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
    EXPECT_EQ(at(g.cell[1][3].topLeft() + inside), background);
    EXPECT_EQ(at(g.cell[2][3].topLeft() + inside), 0xFFFFFFu);
    EXPECT_EQ(at(g.cell[3][3].topLeft() + inside), background);
    // 3-D borders: grey top-left, white bottom-right.
    EXPECT_EQ(at(g.cell[3][0].topLeft()), 0x808080u);
    EXPECT_EQ(at(QPoint(RectRight(g.cell[3][0]) - 1, RectBottom(g.cell[3][0]) - 1)), 0xFFFFFFu);
    // The current page's button sits in a dark frame.
    EXPECT_EQ(at(g.pageSlot[0].topLeft() - QPoint(1, 1)), 0x0A1C4Fu);
    EXPECT_NE(at(g.pageSlot[1].topLeft() - QPoint(1, 1)), 0x0A1C4Fu);
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
    EXPECT_EQ(view->SelectedChannel(), 4);
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
