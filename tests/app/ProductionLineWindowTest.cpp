// The production line opened from the main window: the document as what
// the radios get, and the window's own radio jobs kept off the ports while
// the line has them.
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>

#include <chrono>

#include "AppTestKit.h"
#include "dialogs/CProductionLineDlg.h"
#include "sim/SimulatedRadio.h"

using namespace apptest;
using namespace std::chrono_literals;

namespace {

class ProductionLineWindowTest : public AppTest {
protected:
    QTemporaryDir archive;
};

TEST_F(ProductionLineWindowTest, WindowJobsStayOffThePortsWhileTheLineIsOpen)
{
    StartInEnglish();
    RunningApp run;
    CMainFrame* frame = run.frame();
    run.jobs().AttachSimulatedRadio(StartedRadio(ImageWithId()));
    SimulatedRadio& radio = *run.jobs().Simulator();

    // A job first: the window's link keeps the radio's port open after it.
    {
        ModalCloser closer; // the radio information box
        ASSERT_TRUE(RunJob(run, CMainFrame::ID_RADIO_INFORMATION));
    }

    run.trigger(CMainFrame::ID_PRODUCTION_LINE);
    QPointer<CProductionLineDlg> d = frame->findChild<CProductionLineDlg*>();
    ASSERT_NE(d, nullptr);
    auto offered = [&] {
        for (int i = 0; i < d->PortCount(); ++i)
            if (d->Port(i).name == QStringLiteral("Simulated radio"))
                return d->Port(i).device;
        return QString();
    };
    ASSERT_EQ(offered(), QString::fromStdString(radio.DevicePath()));
    d->ChooseDevices({offered()});
    d->archiveFolder = archive.path().toStdString();
    d->probeInterval = 100ms;
    d->CountBox()->setValue(1);

    auto windowJobsOff = [&] {
        frame->UpdateCommandUI(); // as showing a menu does
        for (int command : {CMainFrame::ID_READ_DATA, CMainFrame::ID_WRITE_DATA, CMainFrame::ID_RADIO_INFORMATION,
                            CMainFrame::ID_COMPARE_RADIO, CMainFrame::ID_PRODUCTION_LINE})
            EXPECT_FALSE(frame->Action(command)->isEnabled()) << command;
        EXPECT_FALSE(frame->Accelerator(CMainFrame::ID_READ_DATA)->isEnabled());
        EXPECT_FALSE(frame->Accelerator(CMainFrame::ID_WRITE_DATA)->isEnabled());
    };
    windowJobsOff();

    // An edit not yet saved or encoded is what the radio gets.
    SetText(run.settings().idCode, "4321");
    d->StartButton()->click();
    ASSERT_TRUE(d->IsRunning());
    windowJobsOff();
    run.trigger(CMainFrame::ID_READ_DATA);
    frame->Accelerator(CMainFrame::ID_WRITE_DATA)->trigger();
    EXPECT_FALSE(run.jobs().IsRunning());

    ASSERT_TRUE(QTest::qWaitFor([&] { return !d->IsRunning(); }, 30000));
    // The port the window had used was let go for the line.
    ASSERT_EQ(d->RowCount(), 1);
    EXPECT_EQ(d->RowResultOk(0), std::optional<bool>(true)) << d->RowState(0).toStdString();
    EXPECT_EQ(IdCodeOf(radio), "4321");
    windowJobsOff();

    d->CloseButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.isNull(); }, 5000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(frame->Action(CMainFrame::ID_READ_DATA)->isEnabled());
    // And the window's own jobs open the port again.
    EXPECT_TRUE(RunJob(run, CMainFrame::ID_READ_DATA));
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.messages.join('\n');
}

} // namespace
