// Setup → Check Connection: a probe of a silent radio while the window goes
// on answering, and closing during a probe.
#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>

#include "../FakeMachine.h"
#include "../SimulatedRadios.h"
#include "DialogTestKit.h"
#include "dialogs/CCheckConnectionDlg.h"
#include "sim/SimulatedRadio.h"

namespace {

QPushButton* Button(const QWidget* d, const char* name) { return d->findChild<QPushButton*>(QString::fromLatin1(name)); }

class CheckConnectionTest : public DialogTest {
protected:
    // A dialog on device, shown, with its first report (the facts) in.
    std::unique_ptr<CCheckConnectionDlg> Open(const std::string& device, int portNumber)
    {
        auto d = std::make_unique<CCheckConnectionDlg>();
        d->device = device;
        d->portNumber = portNumber;
        d->roots = machine_.Roots();
        QSignalSpy finished(d.get(), &CCheckConnectionDlg::checkFinished);
        d->OnInitDialog();
        ShowActive(d.get());
        EXPECT_TRUE(finished.count() > 0 || finished.wait(10000));
        return d;
    }

private:
    FakeMachine machine_;
};

// The probe of a line that never answers takes most of a second; the
// window answers all the while, the report can be copied, and a close asked
// for meanwhile happens when the probe has ended and let go of the port.
// (The window's check finds the simulated radio.)
TEST_F(CheckConnectionTest, ASilentRadioNeverFreezesTheWindow)
{
    auto radio = StartedRadio("Q7200B", {.silent = true});
    auto d = Open(radio->DevicePath(), 2);
    EXPECT_EQ(radio->GetStats().wakeUps, 0); // nothing is sent before Probe

    QElapsedTimer clock;
    qint64 last = 0, longestGap = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
    });
    QSignalSpy finished(d.get(), &CCheckConnectionDlg::checkFinished);
    clock.start();
    ticker.start();
    QTest::mouseClick(Button(d.get(), "probe"), Qt::LeftButton);
    EXPECT_TRUE(d->IsChecking());
    ASSERT_TRUE(finished.wait(10000));
    ticker.stop();
    EXPECT_GE(clock.elapsed(), 500);  // the probe did wait for an answer...
    EXPECT_LT(longestGap, 400);       // ...while the window went on
    EXPECT_EQ(radio->GetStats().wakeUps, 3);

    // Closed during a probe: it stays until the probe ends, then goes.
    QTest::mouseClick(Button(d.get(), "probe"), Qt::LeftButton);
    ASSERT_TRUE(d->IsChecking());
    QTest::mouseClick(Button(d.get(), "close"), Qt::LeftButton);
    EXPECT_TRUE(d->isVisible());
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(radio->GetStats().wakeUps, 6);
}

} // namespace
