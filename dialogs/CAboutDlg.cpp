#include "dialogs/CAboutDlg.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "ui/AppPictures.h"
#include "dialogs/DialogEntry.h"
#include "ui/DialogUnits.h"
#include "ui/Language.h"
#include "dialogs/SettingsControls.h"

namespace {

struct AboutLine {
    int id, y;
    const char* english;
    const char* chinese;
};
const AboutLine kLines[6] = {
    {1117, 13, "RADIO PROGRAMMING SOFTWARE", "对讲机编程软件"},
    {1118, 24, "FOR HX7100/HX8100/8180", "用于HX7100/HX8100/8180机型"},
    {1119, 40, "VERSION 3.12", "版本  3.12"},
    {1120, 51, "RELEASE 2006.1", "发布日期:  2006年1月"},
    {1121, 66, "Halvorn Communications", "Halvorn 通讯"},
    {1122, 76, "Copyright (C) 2006 Halvorn", "版权所有 (C) 2006 Halvorn"},
};

// A rectangle with a top-left and a bottom-right colour, one pixel wide, the
// way the platform draws etched lines: the bottom and right edges lie just
// inside rect.
void Draw3dRect(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight)
{
    const int x = rect.x(), y = rect.y(), cx = rect.width(), cy = rect.height();
    painter.fillRect(x, y, cx - 1, 1, topLeft);
    painter.fillRect(x, y, 1, cy - 1, topLeft);
    painter.fillRect(x + cx - 1, y, 1, cy, bottomRight);
    painter.fillRect(x, y + cy - 1, cx, 1, bottomRight);
}

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.Size(231, 132));

    // An icon control shows the icon at its own 32 x 32 pixels.
    icon_ = new QLabel(this);
    icon_->setObjectName(QStringLiteral("icon"));
    icon_->setGeometry(du.X(11), du.Y(17), 32, 32);
    icon_->setPixmap(ApplicationIcon().pixmap(32, 32));

    for (int i = 0; i < 6; ++i)
        lines_[i] = MakeLabel(this, du, kLines[i].id, 39, kLines[i].y, 119, 8);

    ok_ = MakeButton(this, du, 1, 164, 112, 38, 13);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

QRect CAboutDlg::SeparatorRect() const
{
    return QRect(20, height() - 50, width() - 40, 2);
}

void CAboutDlg::showEvent(QShowEvent* event)
{
    OnInitDialog();
    QDialog::showEvent(event);
}

void CAboutDlg::OnInitDialog()
{
    setWindowTitle(Lang("About ZEMTRA800", "关于 ZEMTRA800"));
    for (int i = 0; i < 6; ++i)
        lines_[i]->setText(Lang(kLines[i].english, kLines[i].chinese));
    ok_->setText(Lang("OK", "确定"));
    if (!ApplicationIcon().isNull())
        setWindowIcon(ApplicationIcon());
    ok_->setFocus();
}

void CAboutDlg::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    Draw3dRect(painter, SeparatorRect(), QColor(128, 128, 128), QColor(255, 255, 255));
}

void RunAboutDialog(QWidget* parent)
{
    CAboutDlg dialog(parent);
    dialog.exec();
}
