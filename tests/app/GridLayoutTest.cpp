#include <gtest/gtest.h>

#include "ChannelRecord.h"
#include "GridLayout.h"
#include "GridText.h"
#include "RadioSettings.h"

namespace {
::testing::AssertionResult Is(const QRect& r, int left, int top, int right, int bottom)
{
    if (r.x() == left && r.y() == top && RectRight(r) == right && RectBottom(r) == bottom)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << r.x() << "," << r.y() << "," << RectRight(r) << ","
                                         << RectBottom(r) << ") instead of (" << left << "," << top << ","
                                         << right << "," << bottom << ")";
}
} // namespace

TEST(GridLayout, RectanglesOfAn800By600View)
{
    const GridLayout g = LayoutGrid(800, 600);
    EXPECT_TRUE(Is(g.inner, 10, 50, 750, 592));
    EXPECT_TRUE(Is(g.frame, 6, 45, 794, 592));
    // (800 - 10) / 6 = 131 wide, starting at 4 / 2 = 2, two pixels apart.
    EXPECT_TRUE(Is(g.pageSlot[0], 7, 4, 128, 34));
    EXPECT_TRUE(Is(g.pageSlot[2], 273, 4, 394, 34));
    // Cells (740 - 34) / 8 = 88 wide with offset 1, rows (542 - 80) / 17 = 27 high.
    EXPECT_EQ(g.cellWidth, 88);
    EXPECT_EQ(g.rowHeight, 27);
    EXPECT_TRUE(Is(g.numberCell[0], 11, 88, 31, 115));
    EXPECT_TRUE(Is(g.cell[0][0], 33, 88, 121, 115));
    EXPECT_TRUE(Is(g.cell[0][7], 663, 88, 751, 115));
    EXPECT_TRUE(Is(g.rowButton[0], 753, 88, 788, 115));
    EXPECT_TRUE(Is(g.hitArea[0], 33, 88, 751, 115));
    EXPECT_TRUE(Is(g.cell[1][0], 33, 117, 121, 144));
    EXPECT_TRUE(Is(g.cell[16][7], 663, 552, 751, 579));
    EXPECT_TRUE(Is(g.Band(17), 33, 552, 751, 579));
    EXPECT_TRUE(Is(g.columnHeader[0], 33, 68, 121, 86));
    // Group headers start in the middle of their first column.
    EXPECT_TRUE(Is(g.groupHeader[0], 77, 43, 165, 66));
    EXPECT_TRUE(Is(g.groupHeader[1], 257, 43, 345, 66));
    EXPECT_TRUE(Is(g.groupHeader[2], 663, 43, 751, 66));

    // Hit areas: cells only, not the number cell, the row button or the gaps.
    EXPECT_EQ(g.RowAt(QPoint(750, 114)), 1);
    EXPECT_EQ(g.RowAt(QPoint(751, 100)), 0);
    EXPECT_EQ(g.RowAt(QPoint(20, 100)), 0);
    EXPECT_EQ(g.RowAt(QPoint(100, 116)), 0);
    EXPECT_EQ(g.RowAt(QPoint(100, 117)), 2);
    EXPECT_EQ(g.RowAt(QPoint(400, 578)), 17);
}

TEST(GridLayout, RemaindersCentreTheSlotsAndCells)
{
    // 793 = 6 * 132 + 1: slots from 0; 743 - 34 = 709 = 8 * 88 + 5: offset 2.
    const GridLayout g = LayoutGrid(803, 611);
    EXPECT_TRUE(Is(g.pageSlot[0], 5, 4, 127, 34));
    EXPECT_TRUE(Is(g.pageSlot[2], 273, 4, 395, 34));
    EXPECT_TRUE(Is(g.numberCell[0], 12, 88, 32, 115));
    EXPECT_EQ(LayoutGrid(800, 700).rowHeight, 33);
}

TEST(GridText, CellTextsInBothLanguages)
{
    ChannelRecord ch;
    ch.rxFrequency = 450.0125;
    ch.txFrequency = 0.0;
    ch.highPower = 1;
    ch.wideNarrow = 0;
    ch.scanAdd = 1;
    ch.optionalSignalling = 0;
    const char* english[] = {"450.01250", "", "None", "", "High", "Narrow", "Add", "DTMF"};
    const char* chinese[] = {"450.01250", "", "无", "", "高功率", "窄带", "追加扫描", "DTMF"};
    for (int col = 0; col < 8; ++col) {
        EXPECT_EQ(GridText::CellText(ch, col, false), QString::fromUtf8(english[col])) << col;
        EXPECT_EQ(GridText::CellText(ch, col, true), QString::fromUtf8(chinese[col])) << col;
    }

    // Transmitting without an encode code: "None"; the other values flip.
    ch.txFrequency = 450.0125;
    ch.highPower = 0;
    ch.wideNarrow = 1;
    ch.scanAdd = 0;
    ch.optionalSignalling = 1;
    SetText(ch.rxCode, "D023N");
    const char* chinese2[] = {"450.01250", "450.01250", "D023N", "无", "低功率", "宽带", "删除", "无"};
    for (int col = 0; col < 8; ++col)
        EXPECT_EQ(GridText::CellText(ch, col, true), QString::fromUtf8(chinese2[col])) << col;
    EXPECT_EQ(GridText::CellText(ch, 6, false), "Delete");
    SetText(ch.txCode, "67.0");
    EXPECT_EQ(GridText::CellText(ch, 3, false), "67.0");
    // A transmit frequency under 0.00001 counts as none.
    ch.txFrequency = 0.000001;
    EXPECT_EQ(GridText::CellText(ch, 1, false), "");

    // Nine characters of "%f": large frequencies lose decimals, not digits.
    ch.rxFrequency = 1234.5;
    EXPECT_EQ(GridText::CellText(ch, 0, false), "1234.5000");

    ch.rxFrequency = 0.09;
    EXPECT_TRUE(GridText::IsEmptyChannel(ch));
    ch.rxFrequency = 0.1;
    EXPECT_FALSE(GridText::IsEmptyChannel(ch));

    EXPECT_EQ(GridText::PageButtonText(3, false), "Page3 (35-50)");
    EXPECT_EQ(GridText::PageButtonText(2, true), QString::fromUtf8("第2页(18-34)"));
    EXPECT_EQ(GridText::GroupHeader(1, true), "DT/DQT");
}
