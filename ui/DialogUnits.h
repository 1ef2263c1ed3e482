#pragma once
#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

// Dialog layouts are given in dialog units: a horizontal unit is a quarter of
// the dialog font's average character width, a vertical unit an eighth of its
// height, as the original platform computes them.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font = DialogFont());

    // The font every dialog of the program uses.
    static QFont DialogFont();

    int X(int units) const { return (units * baseX_ + 2) / 4; }
    int Y(int units) const { return (units * baseY_ + 4) / 8; }
    QRect Rect(int x, int y, int width, int height) const
    {
        return QRect(X(x), Y(y), X(width), Y(height));
    }
    QSize Size(int width, int height) const { return QSize(X(width), Y(height)); }
    // Puts widget at the rectangle given in dialog units.
    void Place(QWidget* widget, int x, int y, int width, int height) const;

    int BaseX() const { return baseX_; }
    int BaseY() const { return baseY_; }

private:
    int baseX_;
    int baseY_;
};
