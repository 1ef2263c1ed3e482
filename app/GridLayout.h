#pragma once
#include <array>

#include <QRect>

// Every rectangle of the channel grid, computed from the view's client size.
// Rectangles are half-open: right() + 1 and bottom() + 1 are the edges the
// arithmetic talks about (use Left/Top/Right/Bottom below).
struct GridLayout {
    static constexpr int kRows = 17;    // rows on pages 1 and 2; page 3 has 16
    static constexpr int kColumns = 8;
    static constexpr int kPageSlots = 6; // the page buttons use slots 0..2

    int cellWidth = 0;
    int rowHeight = 0;
    QRect inner;
    QRect frame;
    std::array<QRect, kPageSlots> pageSlot;             // button rectangles
    std::array<QRect, kRows> row;                        // full row span, index 0 = row 1
    std::array<QRect, kRows> numberCell;                 // channel number cell
    std::array<std::array<QRect, kColumns>, kRows> cell;
    std::array<QRect, kRows> rowButton;
    std::array<QRect, kRows> hitArea;                    // cell 0 .. cell 7
    std::array<QRect, kColumns> columnHeader;
    std::array<QRect, 3> groupHeader;                    // Frequency, QT/DQT, Option

    // Band of a row, as invalidated when the highlight moves: cell 0's
    // top-left corner to cell 7's bottom-right corner.
    QRect Band(int rowNumber) const { return hitArea[rowNumber - 1]; }
    // 1..17 for the row whose hit area holds point, 0 for none.
    int RowAt(const QPoint& point) const;
};

// Pure arithmetic in pixels; integer divisions truncate.
GridLayout LayoutGrid(int width, int height);

// Half-open rectangle from its four edges.
inline QRect RectLTRB(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}
inline int RectRight(const QRect& r) { return r.x() + r.width(); }
inline int RectBottom(const QRect& r) { return r.y() + r.height(); }
