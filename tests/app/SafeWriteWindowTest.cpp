// The window's writes against the simulated radio: the model question,
// verify after write, backups and the job log of every job, compares with a
// file and with the radio, and a port that goes away during a job.
#include <cerrno>

#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QUndoStack>

#include "AppTestKit.h"
#include "dialogs/CCompareDlg.h"
#include "image/SettingsFields.h"
#include "sim/SimulatedRadio.h"

using namespace apptest;

namespace {

// The rows a compare dialog showed before it was closed.
struct ShownCompare {
    QList<QStringList> rows;
    QString Cell(const QString& member, int column) const
    {
        for (const QStringList& row : rows)
            if (row[0] == member)
                return row[column];
        return "(no row)";
    }
};

class SafeWriteWindowTest : public AppTest {
protected:
    // A radio of the given model holding RadioMemory(model), kept in memory.
    std::unique_ptr<SimulatedRadio> Radio(const char* model, SimulatedRadioOptions options = {})
    {
        memory = RadioMemory(model);
        return StartedRadio(memory, options);
    }

    QString Folder() const { return dataHome.path() + "/Halvorn/ZEMTRA800"; }
    QList<QJsonObject> Log() const
    {
        QList<QJsonObject> lines;
        QFile file(Folder() + "/jobs.jsonl");
        if (!file.open(QIODevice::ReadOnly))
            return lines;
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.isEmpty())
                lines << QJsonDocument::fromJson(line).object();
        return lines;
    }
    // The backup a log line names (the line's fields are the job
    // recorder's, tested with it).
    static QByteArray Backup(const QJsonObject& line) { return Contents(line["backup"].toString()); }
    static QByteArray Bytes(const uint8_t* image) { return QByteArray(reinterpret_cast<const char*>(image), 2048); }

    // Runs command and waits for the compare dialog it brings up, copying
    // what the dialog shows before closing it.
    static ShownCompare RunCompare(RunningApp& run, int command)
    {
        ShownCompare shown;
        ModalCloser closer;
        closer.whileShown = [&shown] {
            if (auto* dialog = qobject_cast<CCompareDlg*>(QApplication::activeModalWidget())) {
                for (int r = 0; r < dialog->Table()->rowCount(); ++r) {
                    QStringList row;
                    for (int c = 0; c < 3; ++c)
                        row << dialog->Table()->item(r, c)->text();
                    shown.rows << row;
                }
            }
        };
        run.trigger(command);
        EXPECT_TRUE(QTest::qWaitFor([&] { return closer.seen > 0; }, 30000));
        closer.whileShown = nullptr;
        return shown;
    }

    SimulatedRadio::Memory memory{};
};

// A radio that stores a byte wrongly is named (the English sentence is the
// command-line tool's, tested with it); a sound one is read back and said so.
TEST_F(SafeWriteWindowTest, AVerifiedWriteReadsTheRadioBackAndSaysSo)
{
    const SettingsFields::Member* rx = SettingsFields::FindChannelMember("rxFrequency");
    ASSERT_NE(rx, nullptr);
    const std::size_t address = ImageMap::kChannels + rx->offset; // channel 1's first frequency byte
    RunningApp run; // in Chinese
    EXPECT_TRUE(run.frame()->Action(CMainFrame::ID_VERIFY_WRITE)->isChecked()); // on from the first start
    run.jobs().AttachSimulatedRadio(Radio("Q80103", {.corruptWriteAddress = int(address)}));
    run.settings().channels[0].rxFrequency = run.settings().channels[0].txFrequency = 440.0125;
    EXPECT_FALSE(RunJob(run, CMainFrame::ID_WRITE_DATA));
    const uint8_t wrote = run.doc()->Data().Image()[address];
    EXPECT_EQ(run.jobs().Simulator()->GetMemory()[address], uint8_t(wrote ^ 1));
    EXPECT_EQ(boxes.messages, QStringList({QString::fromUtf8("校验失败: 地址 %1 (channel 1 rxFrequency) 写入 %2, "
                                                             "对讲机中为 %3 (共 1 字节不同)")
                                               .arg(QString::asprintf("0x%04zX", address),
                                                    QString::asprintf("0x%02X", wrote),
                                                    QString::asprintf("0x%02X", wrote ^ 1))}));
    QList<QJsonObject> log = Log();
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0]["verified"], false);

    run.trigger(CMainFrame::ID_LANGUAGE);
    boxes.messages.clear();
    run.jobs().AttachSimulatedRadio(Radio("Q80103"));
    SimulatedRadio* radio = run.jobs().Simulator();
    EXPECT_TRUE(RunJob(run, CMainFrame::ID_WRITE_DATA));
    EXPECT_EQ(boxes.messages, QStringList({"Write and verify OK"}));
    EXPECT_EQ(radio->GetStats().blocksWritten, 250);
    EXPECT_EQ(radio->GetStats().blocksRead, 256);
    EXPECT_FALSE(run.doc()->IsModified());

    // The write's line (the image as sent) and the read-back's, both kept.
    log = Log();
    ASSERT_EQ(log.size(), 4);
    EXPECT_EQ(log[2]["verified"], true);
    EXPECT_EQ(Backup(log[2]), Bytes(run.doc()->Data().Image()));
    EXPECT_EQ(log[3]["job"], "verify");
    EXPECT_EQ(Backup(log[3]), Bytes(radio->GetMemory().data()));
    EXPECT_EQ(QDir(Folder() + "/backups").entryList(QDir::Files).size(), 4);
}

TEST_F(SafeWriteWindowTest, APlainWriteAsksAboutAnotherModelAndTheChoiceIsKept)
{
    StartInEnglish();
    {
        RunningApp run;
        run.jobs().AttachSimulatedRadio(Radio("Q80104")); // the new document is for Q80103
        SimulatedRadio* radio = run.jobs().Simulator();
        run.trigger(CMainFrame::ID_VERIFY_WRITE);
        EXPECT_FALSE(run.frame()->Action(CMainFrame::ID_VERIFY_WRITE)->isChecked());
        EXPECT_EQ(Profile::GetInt("COM", "VERIFYWRITE", 1), 0);
        run.settings().channels[0].rxFrequency = 440.0;

        boxes.answerYes = false;
        EXPECT_FALSE(RunJob(run, CMainFrame::ID_WRITE_DATA));
        EXPECT_EQ(boxes.questions, QStringList({"Model type is wrong,are you sure to overwrite?"}));
        EXPECT_EQ(boxes.messages, QStringList({"Communication failed,please try again!"}));
        EXPECT_EQ(radio->GetStats().blocksWritten, 0);

        boxes.answerYes = true;
        boxes.messages.clear();
        EXPECT_TRUE(RunJob(run, CMainFrame::ID_WRITE_DATA));
        EXPECT_TRUE(boxes.messages.isEmpty());
        EXPECT_EQ(radio->GetStats().blocksWritten, 250);
        EXPECT_EQ(radio->GetStats().blocksRead, 0);
        // The radio holds the edited document, encoded at the start; the
        // document's modified flag is left alone.
        const RadioSettings held = HeldSettings(*radio);
        EXPECT_DOUBLE_EQ(held.channels[0].rxFrequency, 440.0);
        EXPECT_EQ(GetText(held.modelCode), "Q80103");
        EXPECT_FALSE(run.doc()->IsModified());
        EXPECT_FALSE(Log().last().contains("verified"));
    }
    RunningApp again;
    EXPECT_FALSE(again.frame()->Action(CMainFrame::ID_VERIFY_WRITE)->isChecked());
    EXPECT_FALSE(again.jobs().VerifyWrites());
}

TEST_F(SafeWriteWindowTest, AnUnwritableBackupFolderIsSaidOnceAndFailsNoJob)
{
    // The data folder is a file: nothing can be made under it, even as root.
    const QString blocker = WriteFile(dataHome.path() + "/not-a-folder");
    qputenv("XDG_DATA_HOME", blocker.toUtf8());
    StartInEnglish();
    RunningApp run;
    run.jobs().AttachSimulatedRadio(Radio("Q80103"));
    QSignalSpy problems(&run.jobs(), &RadioJobs::archiveProblem);

    // A verified write keeps two entries and says so once.
    EXPECT_TRUE(RunJob(run, CMainFrame::ID_WRITE_DATA));
    EXPECT_EQ(boxes.messages, QStringList({"Write and verify OK"}));
    QCoreApplication::processEvents();
    ASSERT_EQ(problems.count(), 1);
    EXPECT_EQ(run.frame()->statusBar()->currentMessage(), "No backup or job log kept: " + blocker + "/Halvorn: Not a directory");
    EXPECT_TRUE(QFileInfo(blocker).isFile());
}

TEST_F(SafeWriteWindowTest, APulledCableIsNamedOnceAfterTheFailure)
{
    SimulatedRadioOptions pulled;
    pulled.hangUpAfterBlocks = 5;
    pulled.hangUpClosesLine = true;
    StartInEnglish();
    RunningApp run;
    run.jobs().AttachSimulatedRadio(Radio("Q80103", pulled));
    const QString device = QString::fromStdString(run.jobs().Simulator()->DevicePath());
    EXPECT_FALSE(RunJob(run, CMainFrame::ID_WRITE_DATA));
    EXPECT_EQ(boxes.messages, QStringList({"Communication failed,please try again!\n" + device +
                                           ": the port went away during the write; the radio may be half-programmed."}));
    QTest::qWait(200);
    for (QMessageBox* box : run.frame()->findChildren<QMessageBox*>())
        EXPECT_FALSE(box->isVisible()) << box->text();
}

// Compares with the radio and with a file show the document as edited, not
// yet encoded, and leave it alone.
TEST_F(SafeWriteWindowTest, ComparesShowWhatDiffersAndLeaveTheDocumentAlone)
{
    StartInEnglish();
    RunningApp run;
    Profile::WriteInt("CHANNEL_DEFAULT", "ALLOWDEFAULT", 1);
    run.jobs().AttachSimulatedRadio(Radio("Q80103"));
    const QString same = dataHome.filePath("same.dat");
    ASSERT_TRUE(run.doc()->OnSaveDocument(same));
    run.settings().channels[0].rxFrequency = run.settings().channels[0].txFrequency = 440.0;
    const QByteArray imageBefore = Bytes(run.doc()->Data().Image());
    const bool modified = run.doc()->IsModified();

    QSignalSpy ended(&run.jobs(), &RadioJobs::jobEnded);
    ShownCompare shown = RunCompare(run, CMainFrame::ID_COMPARE_RADIO);
    ASSERT_EQ(ended.count(), 1);
    EXPECT_TRUE(ended.at(0).at(1).toBool());
    EXPECT_EQ(shown.Cell("channel 1 rxFrequency", 1), "440.00000");
    EXPECT_EQ(shown.Cell("channel 1 rxFrequency", 2), "450.01250");
    // The read is kept as any read.
    const QList<QJsonObject> log = Log();
    ASSERT_EQ(log.size(), 1);
    EXPECT_EQ(log[0]["job"], "read");
    EXPECT_EQ(Backup(log[0]), Bytes(memory.data()));

    // The file with squelch 5.
    CImportData changed;
    ASSERT_TRUE(changed.LoadFile(same.toStdString()));
    changed.GetSettings()->squelchLevel = 5;
    ASSERT_EQ(changed.EncodeAll(), 0);
    const QString other = dataHome.filePath("other.dat");
    ASSERT_TRUE(changed.SaveFile(other.toStdString()));
    boxes.nextFileName = other;
    shown = RunCompare(run, CMainFrame::ID_COMPARE_FILE);
    EXPECT_EQ(shown.Cell("channel 1 rxFrequency", 1), "440.00000");
    EXPECT_EQ(shown.Cell("squelchLevel", 2), "5");
    EXPECT_TRUE(boxes.messages.isEmpty());

    // Nothing of the radio or the file reached the document.
    EXPECT_EQ(Bytes(run.doc()->Data().Image()), imageBefore);
    EXPECT_DOUBLE_EQ(run.settings().channels[0].rxFrequency, 440.0);
    EXPECT_EQ(run.doc()->IsModified(), modified);
    EXPECT_EQ(run.doc()->UndoStack()->count(), 0);
    EXPECT_EQ(run.doc()->PathName(), QFileInfo(same).absoluteFilePath());
    EXPECT_EQ(Profile::GetInt("CHANNEL_DEFAULT", "ALLOWDEFAULT", 0), 1);
}

} // namespace

