// The production line opened from the main window: the menu entry in both
// languages, the document as what the radios get, and the window's own
// radio jobs kept off the ports while the line has them.
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QSpinBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>

#include "AppTestKit.h"
#include "dialogs/CProductionLineDlg.h"
#include "image/CImportData.h"
#include "sim/SimulatedRadio.h"

using namespace apptest;
using namespace std::chrono_literals;

namespace {

class ProductionLineWindowTest : public AppTest {
protected:
    // A radio holding what a new document saves, answering after delayMs.
    static std::unique_ptr<SimulatedRadio> Radio(int delayMs = 0)
    {
        SimulatedRadioOptions options;
        options.answerDelayMs = delayMs;
        return StartedRadio(ImageWithId(), options);
    }

    static CProductionLineDlg* OpenLine(RunningApp& run)
    {
        run.trigger(CMainFrame::ID_PRODUCTION_LINE);
        return run.frame()->findChild<CProductionLineDlg*>();
    }

    QTemporaryDir archive;
};

TEST_F(ProductionLineWindowTest, MenuEntryInBothLanguages)
{
    RunningApp run;
    QAction* entry = run.frame()->Action(CMainFrame::ID_PRODUCTION_LINE);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), QStringLiteral("生产线(&L)…"));
    EXPECT_TRUE(run.frame()->TopMenu(3)->actions().contains(entry));
    run.trigger(CMainFrame::ID_LANGUAGE);
    EXPECT_EQ(entry->text(), QStringLiteral("Production &Line…"));
}

TEST_F(ProductionLineWindowTest, WindowJobsStayOffThePortsWhileTheLineIsOpen)
{
    StartInEnglish();
    RunningApp run;
    CMainFrame* frame = run.frame();
    run.jobs().AttachSimulatedRadio(Radio());
    SimulatedRadio& radio = *run.jobs().Simulator();

    // A read first: the window's link keeps the radio's port open after it.
    QSignalSpy ended(&run.jobs(), &RadioJobs::jobEnded);
    run.trigger(CMainFrame::ID_READ_DATA);
    ASSERT_TRUE(ended.wait(20000));
    ASSERT_TRUE(ended.takeFirst().at(1).toBool());

    QPointer<CProductionLineDlg> d = OpenLine(run);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->windowModality(), Qt::WindowModal);
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
    EXPECT_TRUE(frame->Accelerator(CMainFrame::ID_READ_DATA)->isEnabled());
    EXPECT_TRUE(frame->Action(CMainFrame::ID_PRODUCTION_LINE)->isEnabled());
    // And the window's own jobs open the port again, still backed up and
    // logged: the read before the line and this one.
    run.trigger(CMainFrame::ID_READ_DATA);
    ASSERT_TRUE(ended.wait(20000));
    EXPECT_TRUE(ended.takeFirst().at(1).toBool());
    QFile log(dataHome.filePath("Halvorn/ZEMTRA800/jobs.jsonl"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll().count("\"job\":\"read\""), 2);
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ProductionLineWindowTest, LineDoesNotOpenWhileAWindowJobRuns)
{
    StartInEnglish();
    RunningApp run;
    run.jobs().AttachSimulatedRadio(Radio(3));
    QSignalSpy ended(&run.jobs(), &RadioJobs::jobEnded);
    run.trigger(CMainFrame::ID_READ_DATA);
    ASSERT_TRUE(run.jobs().IsRunning());
    EXPECT_FALSE(run.frame()->Action(CMainFrame::ID_PRODUCTION_LINE)->isEnabled());
    EXPECT_EQ(OpenLine(run), nullptr);
    ASSERT_TRUE(ended.wait(20000));
    EXPECT_TRUE(run.frame()->Action(CMainFrame::ID_PRODUCTION_LINE)->isEnabled());
}

} // namespace
