#pragma once
#include <QPixmap>
#include <QWidget>

class QLabel;

// The start-up picture: a borderless window over the main frame that goes
// away after 1.5 seconds or at the first key or mouse-button press anywhere
// in the program (that press is swallowed). At most one exists at a time.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShowMilliseconds = 1500;

    // Off by default; the application turns it on for an ordinary start.
    // Tests and benchmarks leave it off.
    static void EnableSplash(bool enable);
    static bool SplashEnabled();

    // When enabled and none is shown: creates the splash centred over parent
    // (over the screen while parent is hidden), paints it at once and starts
    // its timer. Does nothing when the picture cannot be loaded.
    static void ShowSplash(QWidget* parent);

    // Offered every event of the application first while a splash is shown
    // (an application event filter installed by ShowSplash does this): a key
    // or mouse-button press hides the splash and is consumed (true).
    static bool SplashFilterMessage(QObject* receiver, QEvent* event);

    // Destroys the splash, then repaints the window it was shown over.
    static void HideSplash();

    // The splash shown now, or nullptr.
    static SplashWindow* Current();

    QLabel* ModelLine() const { return modelLine_; }
    QLabel* SecondLine() const { return secondLine_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    SplashWindow(QWidget* parent, const QPixmap& picture);
    ~SplashWindow() override;

    void CentreOver(QWidget* owner);

    QPixmap picture_;
    QLabel* modelLine_ = nullptr;
    QLabel* secondLine_ = nullptr;
    int timerId_ = 0;
};
