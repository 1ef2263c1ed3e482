#include "ui/DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>
#include <QWidget>

DialogUnits::DialogUnits(const QFont& font)
{
    QFontMetrics fm(font);
    // Average width over the 52 Latin letters, rounded, like the platform's
    // dialog base units.
    const int width = fm.horizontalAdvance(QStringLiteral(
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = (width / 26 + 1) / 2;
    baseY_ = fm.height();
    if (baseX_ < 1)
        baseX_ = 1;
    if (baseY_ < 1)
        baseY_ = 1;
}

QFont DialogUnits::DialogFont()
{
    QFont f = QApplication::font();
    f.setPointSize(9);
    return f;
}

void DialogUnits::Place(QWidget* widget, int x, int y, int width, int height) const
{
    widget->setGeometry(Rect(x, y, width, height));
}
