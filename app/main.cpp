// zemtra800: the desktop program.
#include <clocale>
#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "app/CMainFrame.h"
#include "app/CZEMTRA800App.h"
#include "app/CZEMTRA800View.h"

namespace {
// With ZEMTRA800_STARTUP_PROBE set the program prints the time from main()
// to its first painted main window and quits: the start-up benchmark.
class FirstPaintProbe : public QObject {
public:
    explicit FirstPaintProbe(const QElapsedTimer& clock) : clock_(clock) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // After this paint has been drawn and flushed.
            QTimer::singleShot(0, [this] {
                std::printf("first-paint-ms %.1f\n", clock_.nsecsElapsed() / 1e6);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    const QElapsedTimer& clock_;
    bool seen_ = false;
};
} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication application(argc, argv);
    // Qt takes the whole locale from the environment; frequencies are written
    // and read with a decimal point whatever the user's language.
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setOrganizationName(QStringLiteral("Halvorn"));
    QCoreApplication::setApplicationName(QStringLiteral("ZEMTRA800"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZEMTRA_VERSION));

    CZEMTRA800App app;
    if (!app.InitInstance(QCoreApplication::arguments()))
        return 2;
    FirstPaintProbe probe(clock);
    if (qEnvironmentVariableIsSet("ZEMTRA800_STARTUP_PROBE"))
        app.View()->installEventFilter(&probe);
    return application.exec();
}
