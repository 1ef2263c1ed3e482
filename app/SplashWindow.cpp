#include "app/SplashWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimerEvent>

#include "ui/AppPictures.h"
#include "ui/Language.h"

namespace {

bool g_enabled = false;
SplashWindow* g_current = nullptr;
QPointer<QWidget> g_owner;

// Offers every event of the application to the splash. After the splash was
// closed by a press, the release (and the second press of a double click)
// that belongs to it is swallowed too for a moment, so that the click that
// closed the splash never reaches the window beneath.
class SplashEventFilter : public QObject {
public:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (!retired_)
            return SplashWindow::SplashFilterMessage(receiver, event);
        if (!grace_.isValid() || grace_.elapsed() > QApplication::doubleClickInterval())
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::KeyRelease:
            return true;
        default:
            return false;
        }
    }

    // The splash is gone: keep swallowing the rest of the closing press for
    // the double-click interval, then remove the filter.
    void Linger(bool afterInput)
    {
        retired_ = true;
        if (!afterInput) {
            deleteLater();
            return;
        }
        grace_.start();
        startTimer(QApplication::doubleClickInterval() + 50);
    }

protected:
    void timerEvent(QTimerEvent*) override { deleteLater(); }

private:
    bool retired_ = false;
    QElapsedTimer grace_;
};

QPointer<SplashEventFilter> g_filter;

void CloseSplash(bool byInput)
{
    SplashWindow* splash = g_current;
    if (!splash)
        return;
    g_current = nullptr;
    const bool hadFocus = splash->isActiveWindow() || !QApplication::activeWindow();
    splash->hide();
    splash->deleteLater();
    // A splash shown again later gets a filter of its own.
    if (g_filter)
        g_filter->Linger(byInput);
    g_filter = nullptr;
    if (g_owner) {
        QWidget* main = g_owner->window();
        main->update();
        // As when an owned popup closes: the window beneath gets the keys.
        if (hadFocus && main->isVisible())
            main->activateWindow();
    }
    g_owner = nullptr;
}

} // namespace

void SplashWindow::EnableSplash(bool enable) { g_enabled = enable; }

bool SplashWindow::SplashEnabled() { return g_enabled; }

SplashWindow* SplashWindow::Current() { return g_current; }

void SplashWindow::ShowSplash(QWidget* parent)
{
    if (!g_enabled || g_current)
        return;
    const QPixmap picture = SplashPicture();
    if (picture.isNull())
        return; // no picture, no splash: start-up goes on without it
    g_owner = parent;
    g_current = new SplashWindow(parent, picture);
    if (!g_filter) {
        g_filter = new SplashEventFilter;
        qApp->installEventFilter(g_filter);
    }
    g_current->show();
    g_current->raise();
    g_current->repaint();
}

bool SplashWindow::SplashFilterMessage(QObject* receiver, QEvent* event)
{
    Q_UNUSED(receiver);
    if (!g_current)
        return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Claim the key so no menu accelerator fires; the key press that
        // follows closes the splash.
        event->accept();
        return true;
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        CloseSplash(true);
        return true;
    default:
        return false;
    }
}

void SplashWindow::HideSplash() { CloseSplash(false); }

SplashWindow::SplashWindow(QWidget* parent, const QPixmap& picture)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(picture)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Keys reach the program's own windows anyway, and the main window keeps
    // the focus it had when the splash goes.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::ArrowCursor);
    const int w = picture_.width();
    const int h = picture_.height();
    setFixedSize(w, h);

    // Two centred lines in the lower right of the picture: the second starts
    // 30 pixels below the first and both reach the bottom edge.
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(0xF2, 0xF6, 0xFB));
    modelLine_ = new QLabel(this);
    modelLine_->setObjectName(QStringLiteral("65535"));
    modelLine_->setGeometry(QRect(QPoint(200, h - 80), QPoint(w - 1, h - 1)));
    secondLine_ = new QLabel(this);
    secondLine_->setObjectName(QStringLiteral("65535"));
    secondLine_->setGeometry(QRect(QPoint(200, h - 50), QPoint(w - 1, h - 1)));
    QFont font = QApplication::font();
    font.setPointSize(11);
    for (QLabel* line : {modelLine_, secondLine_}) {
        line->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        line->setPalette(pal);
        line->setFont(font);
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QFont small = font;
    small.setPointSize(9);
    secondLine_->setFont(small);
    modelLine_->setText(Lang("For: HX71O0/HX8100/HX8180", "适用机型: HX71O0/HX8100/HX8180"));
    secondLine_->setText(Lang("Made by Halvorn Communications", "Halvorn 通讯 出品"));

    CentreOver(parent);
    timerId_ = startTimer(kShowMilliseconds, Qt::PreciseTimer);
}

SplashWindow::~SplashWindow()
{
    // Destroyed with its owner while still shown: nothing is left to filter.
    if (g_current == this) {
        g_current = nullptr;
        if (g_filter)
            g_filter->deleteLater();
        g_filter = nullptr;
    }
}

void SplashWindow::CentreOver(QWidget* owner)
{
    QRect area;
    if (owner && owner->window()->isVisible()) {
        area = owner->window()->frameGeometry();
    } else {
        QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
        if (screen)
            area = screen->availableGeometry();
    }
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
}

void SplashWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

void SplashWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != timerId_)
        return;
    killTimer(timerId_);
    timerId_ = 0;
    if (g_current == this)
        HideSplash();
}
