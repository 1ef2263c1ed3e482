// The window's radio jobs against the simulated radio: read, information, a
// close or a destroyed window during a job, the commands held off while one
// runs, and a port that cannot be used.

#include <QMessageBox>
#include <QPushButton>

#include "AppTestKit.h"
#include "image/ValueCodec.h"
#include "sim/SimulatedRadio.h"

using namespace apptest;

namespace {
using RadioJobTest = AppTest;

std::unique_ptr<SimulatedRadio> Radio(const char* model, const SimulatedRadioOptions& options = {})
{
    return StartedRadio(RadioMemory(model), options);
}

// A document whose settings cannot be encoded: a conversion fails (as when
// memory runs out inside it) and reports itself as the codec does.
class UnencodableDoc : public CZEMTRA800Doc {
public:
    int EncodeImage() override
    {
        ShowCodecMessage(ValueCodec::kMsgSTR2BCD);
        return 1;
    }
};

} // namespace

// A read from the menu: a second command meanwhile is ignored, a close asked
// for waits for the job's end and then asks to save what the read brought.
TEST_F(RadioJobTest, ReadFromTheMenuFillsTheGridAndAClosingWaitsForIt)
{
    StartInEnglish();
    Profile::WriteInt("CHANNEL_DEFAULT", "ALLOWDEFAULT", 1);
    RunningApp run;
    run.jobs().AttachSimulatedRadio(Radio("Q80109"));

    QSignalSpy ended(&run.jobs(), &RadioJobs::jobEnded);
    run.trigger(CMainFrame::ID_READ_DATA);
    ASSERT_TRUE(run.jobs().IsRunning());
    EXPECT_EQ(Profile::GetInt("CHANNEL_DEFAULT", "ALLOWDEFAULT", 1), 0);
    run.frame()->Accelerator(CMainFrame::ID_READ_DATA)->trigger();
    run.trigger(CMainFrame::ID_WRITE_DATA);
    run.frame()->close();
    EXPECT_TRUE(run.jobs().ClosePending());
    EXPECT_TRUE(boxes.prompts.isEmpty());

    boxes.promptAnswer = AppAnswer::Cancel;
    ASSERT_TRUE(ended.wait(20000));
    EXPECT_TRUE(ended.at(0).at(1).toBool());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !boxes.prompts.isEmpty(); }, 5000));
    EXPECT_TRUE(run.frame()->isVisible());
    EXPECT_EQ(run.jobs().Simulator()->GetStats().wakeUps, 1);
    EXPECT_TRUE(run.doc()->IsModified());
    EXPECT_DOUBLE_EQ(run.settings().channels[0].rxFrequency, 450.0125);
    EXPECT_TRUE(boxes.messages.isEmpty());
    boxes.promptAnswer = AppAnswer::No;
    run.frame()->close();
    EXPECT_FALSE(run.frame()->isVisible());
}

TEST_F(RadioJobTest, DestroyingTheWindowDuringAJobLetsItEnd)
{
    Profile::WriteInt("COM", "VERIFYWRITE", 0);
    std::unique_ptr<SimulatedRadio> radio = Radio("Q80104", {.answerDelayMs = 1});
    {
        RunningApp run;
        run.jobs().UseDevice(radio->DevicePath());
        boxes.answerYes = true;
        run.trigger(CMainFrame::ID_WRITE_DATA);
        ASSERT_TRUE(run.jobs().IsRunning());
        QTest::qWait(100);
    }
    // The job was answered No to the model question (or had passed it) and
    // ran to its end; nothing of it reached a window.
    const SimulatedRadio::Stats stats = radio->GetStats();
    EXPECT_TRUE(stats.blocksWritten == 0 || stats.blocksWritten == 250) << stats.blocksWritten;
    EXPECT_EQ(stats.wakeUps, 1);
    EXPECT_TRUE(boxes.messages.isEmpty());
}

TEST_F(RadioJobTest, NothingEditsTheDocumentWhileAJobRuns)
{
    StartInEnglish();
    RunningApp run;
    run.jobs().AttachSimulatedRadio(Radio("Q80103"));
    CZEMTRA800View* view = run.view();
    const QPoint row3 = RowPoint(view, 3);
    // The editing dialogs, then what would take the port or the document
    // from under the job.
    const int editing = 5, off[] = {CMainFrame::ID_MODEL_INFORMATION, CMainFrame::ID_OPTIONAL_FEATURES,
                                    CMainFrame::ID_KEY_ASSIGNMENT,    CMainFrame::ID_DTMF,
                                    CMainFrame::ID_EMBEDDED_MESSAGE,  CMainFrame::ID_FILE_NEW,
                                    CMainFrame::ID_FILE_OPEN,         CMainFrame::ID_CHECK_CONNECTION,
                                    CMainFrame::ID_PRODUCTION_LINE,   CMainFrame::ID_COMPARE_RADIO,
                                    CMainFrame::ID_COMPARE_FILE};
    auto expectEnabled = [&](bool on) {
        for (int command : off)
            EXPECT_EQ(run.frame()->Action(command)->isEnabled(), on) << command;
        EXPECT_EQ(view->RowButton(3)->isEnabled(), on);
    };

    QSignalSpy ended(&run.jobs(), &RadioJobs::jobEnded);
    run.trigger(CMainFrame::ID_READ_DATA);
    ASSERT_TRUE(run.jobs().IsRunning());
    expectEnabled(false);
    EXPECT_TRUE(run.frame()->Action(CMainFrame::ID_APP_EXIT)->isEnabled());

    // Neither a command that slips through nor the grid opens an editor.
    ModalCloser closer;
    for (int i = 0; i < editing; ++i)
        run.frame()->Action(off[i])->activate(QAction::Trigger);
    view->OnOptionalFeatures();
    view->OpenChannelEditor(3);
    QTest::mouseDClick(view, Qt::LeftButton, {}, row3);
    QTest::qWait(100);
    EXPECT_EQ(closer.seen, 0);
    EXPECT_FALSE(view->EditOpen());

    ASSERT_TRUE(ended.wait(20000));
    EXPECT_TRUE(ended.at(0).at(1).toBool());
    expectEnabled(true);
    // The radio's channels are there and nothing stale went over them.
    EXPECT_DOUBLE_EQ(run.settings().channels[0].rxFrequency, 450.0125);
    QTest::mouseDClick(view, Qt::LeftButton, {}, row3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return closer.seen == 1; }, 5000));
}

TEST_F(RadioJobTest, WriteSendsNothingWhenTheSettingsCannotBeEncoded)
{
    UnencodableDoc doc;
    QWidget owner;
    RadioJobs jobs(doc, &owner);
    jobs.AttachSimulatedRadio(Radio("Q80103"));
    QSignalSpy started(&jobs, &RadioJobs::stateChanged);
    jobs.StartJob(JobWrite);
    EXPECT_FALSE(jobs.IsRunning());
    EXPECT_EQ(started.count(), 0);
    EXPECT_EQ(boxes.messages, QStringList({QString::fromUtf8(ValueCodec::kMsgSTR2BCD)}));
    QTest::qWait(100);
    EXPECT_EQ(jobs.Simulator()->GetStats().wakeUps, 0);
}

TEST_F(RadioJobTest, AReadThatFailsAfterTheIdentificationKeepsOnlyThat)
{
    StartInEnglish();
    CZEMTRA800Doc doc;
    Program(doc.Data(), "Q80103", 440.0);
    doc.DecodeImage();
    const std::vector<uint8_t> before(doc.Data().Image(), doc.Data().Image() + ImageMap::kSize);
    QWidget owner;
    RadioJobs jobs(doc, &owner);
    const SimulatedRadio::Memory memory = RadioMemory("Q80106");
    jobs.AttachSimulatedRadio(StartedRadio(memory, {.hangUpAfterBlocks = 5}));

    QSignalSpy taken(&jobs, &RadioJobs::readTaken);
    QSignalSpy ended(&jobs, &RadioJobs::jobEnded);
    jobs.StartJob(JobRead);
    ASSERT_TRUE(ended.wait(20000));
    EXPECT_FALSE(ended.at(0).at(1).toBool());
    EXPECT_EQ(boxes.messages, QStringList({"Communication failed,please try again!"}));
    EXPECT_EQ(taken.count(), 0);
    EXPECT_FALSE(doc.IsModified());

    // The radio's identification is in the image; every other byte and the
    // decoded channels are as they were.
    const uint8_t* image = doc.Data().Image();
    for (std::size_t i = 0; i < ImageMap::kSize; ++i) {
        const bool ident = i >= ImageMap::kModelCode && i < ImageMap::kModelCode + ImageMap::kIdentSize;
        EXPECT_EQ(image[i], ident ? memory[i] : before[i]) << i;
    }
    EXPECT_DOUBLE_EQ(doc.Settings()->channels[0].rxFrequency, 440.0);
}

// Radio information shows its box and keeps unsaved edits. The kept stable
// name is what jobs open: after a replug has given the cable another device,
// the name leads there and the job reaches it.
TEST_F(RadioJobTest, InformationThroughAKeptStableNameWhereverItNowLeads)
{
    StartInEnglish();
    QTemporaryDir dir;
    const QString name = dir.filePath("usb-1a86_USB_Serial-if00-port0");
    std::unique_ptr<SimulatedRadio> first = Radio("Q80103");
    std::unique_ptr<SimulatedRadio> second = Radio("Q7200B");
    ASSERT_TRUE(QFile::link(QString::fromStdString(first->DevicePath()), name));
    Profile::WriteInt("COM", "PORT", 5);
    Profile::WriteString("COM", "DEVICE", name);

    RunningApp run;
    EXPECT_EQ(run.jobs().JobDevice(), name.toStdString());
    run.settings().channels[1].rxFrequency = 435.0; // edited, not yet in the image
    ModalCloser closer; // the radio information box
    ASSERT_TRUE(RunJob(run, CMainFrame::ID_RADIO_INFORMATION));
    EXPECT_EQ(closer.seen, 1);
    EXPECT_TRUE(run.doc()->IsModified());
    EXPECT_DOUBLE_EQ(run.settings().channels[1].rxFrequency, 435.0);
    EXPECT_EQ(GetText(run.settings().modelCode), "Q80103");
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(run.doc()->Data().Image()) + 2000, 16), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(first->GetStats().sessionsCompleted, 1);

    // Replugged: the same name, another device behind it.
    ASSERT_TRUE(QFile::remove(name));
    ASSERT_TRUE(QFile::link(QString::fromStdString(second->DevicePath()), name));
    ASSERT_TRUE(RunJob(run, CMainFrame::ID_RADIO_INFORMATION));
    EXPECT_EQ(GetText(run.settings().modelCode), "Q7200B");
    EXPECT_EQ(second->GetStats().sessionsCompleted, 1);
    EXPECT_EQ(first->GetStats().wakeUps, 1);
    EXPECT_EQ(run.jobs().PortNumber(), 5); // a pseudo-terminal has no number to follow

    // Unplugged: the name is what the message says could not be opened.
    ASSERT_TRUE(QFile::remove(name));
    boxes.messages.clear();
    run.trigger(CMainFrame::ID_READ_DATA);
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_TRUE(boxes.messages[0].startsWith("Failed to open COM5,Please select COM port again!\n" + name +
                                             ": no such device.\n"))
        << boxes.messages[0];
}

// The serial layer's own warning (a device that opens but is no serial line)
// comes as an Application Error box with the critical icon.
TEST_F(RadioJobTest, TheSerialLayersOwnFailureHasTheStopIcon)
{
    StartInEnglish();
    RunningApp run;
    run.jobs().UseDevice("/dev/null");
    run.trigger(CMainFrame::ID_READ_DATA);
    EXPECT_EQ(boxes.messages, QStringList({"Failed to open COM1,Please select COM port again!"}));
    QMessageBox* box = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (QMessageBox* b : run.view()->findChildren<QMessageBox*>())
            if (b->isVisible() && b->windowTitle() == "Application Error")
                box = b;
        return box != nullptr;
    }, 5000));
    EXPECT_TRUE(box->text().startsWith("WARNING:  tcgetattr() Failed")) << box->text();
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    box->close();
}
