#include "app/GridLayout.h"

int GridLayout::RowAt(const QPoint& point) const
{
    for (int r = 0; r < kRows; ++r)
        if (hitArea[r].contains(point))
            return r + 1;
    return 0;
}

GridLayout LayoutGrid(int W, int H)
{
    GridLayout g;
    g.inner = RectLTRB(10, 50, W - 50, H - 8);
    g.frame = RectLTRB(g.inner.x() - 4, g.inner.y() - 5, RectRight(g.inner) + 44, RectBottom(g.inner));

    // Six equal slots across the top, two pixels apart, centred; each is
    // shrunk to leave room for the current page's dark frame.
    const int slotWidth = (W - 10) / 6;
    int x = ((W - 10) % 6) / 2;
    for (int k = 0; k < GridLayout::kPageSlots; ++k) {
        g.pageSlot[k] = RectLTRB(x + 5, 4, x + slotWidth - 5, 34);
        x += slotWidth + 2;
    }

    const int innerWidth = W - 60;
    const int innerHeight = H - 58;
    const int c = (innerWidth - 34) / 8;
    const int o = ((innerWidth - 34) % 8) / 2;
    const int h = (innerHeight - 80) / 17;
    g.cellWidth = c;
    g.rowHeight = h;

    int top = g.inner.y() + 38;
    for (int r = 0; r < GridLayout::kRows; ++r) {
        const int bottom = top + h;
        g.numberCell[r] = RectLTRB(10 + o, top, 10 + o + 20, bottom);
        int left = RectRight(g.numberCell[r]) + 2;
        for (int col = 0; col < GridLayout::kColumns; ++col) {
            g.cell[r][col] = RectLTRB(left, top, left + c, bottom);
            left += c + 2;
        }
        const int lastRight = RectRight(g.cell[r][7]);
        g.rowButton[r] = RectLTRB(lastRight + 2, top, lastRight + 2 + 35, bottom);
        g.hitArea[r] = RectLTRB(g.cell[r][0].x(), top, lastRight, bottom);
        g.row[r] = RectLTRB(g.numberCell[r].x(), top, RectRight(g.rowButton[r]), bottom);
        top = bottom + 2;
    }

    const int headerBottom = g.row[0].y() - 2;
    for (int col = 0; col < GridLayout::kColumns; ++col)
        g.columnHeader[col] = RectLTRB(g.cell[0][col].x(), headerBottom - 18,
                                       RectRight(g.cell[0][col]), headerBottom);

    const int groupBottom = headerBottom - 18 - 2;
    auto fromMiddle = [&](int col) {
        const int left = (g.cell[0][col].x() + RectRight(g.cell[0][col])) / 2;
        return RectLTRB(left, groupBottom - 23, left + c, groupBottom);
    };
    g.groupHeader[0] = fromMiddle(0);
    g.groupHeader[1] = fromMiddle(2);
    g.groupHeader[2] = RectLTRB(g.cell[0][7].x(), groupBottom - 23, RectRight(g.cell[0][7]), groupBottom);
    return g;
}
