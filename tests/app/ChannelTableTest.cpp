// The channel table as a whole in the window: the
// clipboard, delete, channel files and the Edit menu.
#include <QUndoStack>

#include "AppTestKit.h"
#include "image/ChannelCsv.h"
#include "image/ChannelRules.h"

using namespace apptest;

namespace {
using Cmd = ChannelTableCommands;

class ChannelTableTest : public AppTest {
protected:
    // Channel n in use on rx MHz, receive and transmit, as the editor stores it.
    static void Use(RadioSettings& s, int n, double rx)
    {
        s.channels[n - 1].rxFrequency = s.channels[n - 1].txFrequency = rx;
        MarkInUse(s.channels[n - 1]);
    }
    QTemporaryDir dir;
};
} // namespace

// A spreadsheet's rows go onto the selected channel and on as one step;
// this program's own copy pastes back as the same channels.
TEST_F(ChannelTableTest, PasteAndCopy)
{
    StartInEnglish();
    RunningApp run;
    CZEMTRA800View* view = run.view();
    RadioSettings& s = run.settings();

    // The spreadsheet's own columns, with decimal commas; Location is ignored.
    Paste(run, 5, "Location\tFrequency\tDuplex\tOffset\tTone\trToneFreq\tMode\tPower\tSkip\n"
                  "1\t451,0125\t+\t5,000000\tTone\t67,0\tNFM\t1.0W\tS\n"
                  "7\t452,500000\t\t\t\t\tFM\t5W\t\n");
    ASSERT_TRUE(boxes.messages.isEmpty()) << boxes.messages.join('\n');
    EXPECT_DOUBLE_EQ(s.channels[4].rxFrequency, 451.0125);
    EXPECT_DOUBLE_EQ(s.channels[4].txFrequency, 456.0125);
    EXPECT_STREQ(s.channels[4].txCode, "67.0");
    EXPECT_DOUBLE_EQ(s.channels[5].rxFrequency, 452.5);
    EXPECT_LT(s.channels[0].rxFrequency, 0.1); // Location 1 did not count
    EXPECT_LT(s.channels[6].rxFrequency, 0.1);
    EXPECT_EQ(view->SelectedChannels(), std::vector<int>({5, 6}));
    EXPECT_EQ(run.doc()->UndoName(), "Paste 2 Channels");

    view->SelectRange(5, 6);
    run.trigger(Cmd::ID_EDIT_COPY);
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith("5\t\t451.012500\t+\t5.000000\tTone\t67.0\t")) << lines[1];
    view->SelectRange(40, 40);
    run.trigger(Cmd::ID_EDIT_PASTE);
    EXPECT_EQ(s.channels[39], s.channels[4]);
    EXPECT_EQ(s.channels[40], s.channels[5]);
    EXPECT_EQ(view->SelectedChannels(), std::vector<int>({40, 41}));

}

// A paste that cannot go in whole changes nothing and says which rows (the
// row rules are the table's, tested with it).
TEST_F(ChannelTableTest, ABadRowRefusesThePasteAndSaysWhich)
{
    StartInEnglish();
    RunningApp run;
    Use(run.settings(), 3, 460.0);
    const DocumentSnapshot before = run.doc()->Snapshot();
    Paste(run, 2, "Location\tFrequency\n1\t451.000000\n2\t520.000000\n3\t452.000000\n");
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_TRUE(boxes.messages[0].startsWith("Nothing was pasted onto channel 2 and those after it. These rows "
                                             "cannot go in:\nline 3: Frequency 520.000000 is outside 450-470 MHz"))
        << boxes.messages[0];
    EXPECT_TRUE(run.doc()->Snapshot() == before);
    EXPECT_EQ(run.doc()->UndoStack()->count(), 0);
}

TEST_F(ChannelTableTest, BlankChannelsTakeTheStoredDefaultChannel)
{
    RunningApp run;
    RadioSettings& s = run.settings();
    // A channel in use keeps what the table does not carry.
    Use(s, 4, 455.0);
    s.channels[3].busyLockout = 0;
    s.channels[3].spUnmute = 1;

    // "Save as default" stored: DTMF signalling, "carrier+DTMF", the DTMF
    // lockout entry (position 2, code 1), beat shift on.
    for (auto [key, value] : {std::pair{"SIGNAL", 1}, {"SQUEL", 1}, {"BUSYLOCK", 2}, {"BEARSHIFT", 1}, {"ALLOWDEFAULT", 1}})
        Profile::WriteInt("CHANNEL_DEFAULT", key, value);
    Paste(run, 3, "Frequency\n451.000000\n452.000000\n");
    ASSERT_TRUE(boxes.messages.isEmpty()) << boxes.messages.join('\n');
    EXPECT_EQ(s.channels[2].busyLockout, 1u);
    EXPECT_EQ(s.channels[2].optionalSignalling, 0u);
    EXPECT_DOUBLE_EQ(s.channels[3].rxFrequency, 452.0);
    EXPECT_EQ(s.channels[3].busyLockout, 0u);
    EXPECT_EQ(s.channels[3].spUnmute, 1u);

    // Once the defaults are no longer allowed, a blank channel is a cleared one.
    Profile::WriteInt("CHANNEL_DEFAULT", "ALLOWDEFAULT", 0);
    run.view()->SelectRange(10, 10);
    run.trigger(Cmd::ID_EDIT_PASTE);
    EXPECT_EQ(s.channels[9].busyLockout, ChannelRecord{}.busyLockout);
    EXPECT_EQ(s.channels[9].optionalSignalling, ChannelRecord{}.optionalSignalling);
}

TEST_F(ChannelTableTest, DeleteAndCutClearTheSelectedChannels)
{
    StartInEnglish();
    RunningApp run;
    CZEMTRA800View* view = run.view();
    RadioSettings& s = run.settings();
    for (int n = 1; n <= 5; ++n)
        Use(s, n, 450.0 + n);

    ClickRow(view, 2);
    ClickRow(view, 4, Qt::ShiftModifier);
    run.trigger(Cmd::ID_EDIT_CLEAR);
    for (int n : {2, 3, 4})
        EXPECT_EQ(s.channels[n - 1], ChannelRecord{}) << n;
    EXPECT_DOUBLE_EQ(s.channels[0].rxFrequency, 451.0);
    EXPECT_DOUBLE_EQ(s.channels[4].rxFrequency, 455.0);
    EXPECT_EQ(run.doc()->UndoName(), "Delete 3 Channels");
    // Blank channels only: nothing to delete, no step.
    run.trigger(Cmd::ID_EDIT_CLEAR);
    EXPECT_EQ(run.doc()->UndoStack()->count(), 1);

    // Cut: the row on the clipboard, the channel blank; pasted elsewhere
    // it is the same channel again.
    const ChannelRecord fifth = s.channels[4];
    view->SelectRange(4, 5); // one blank, one in use
    run.trigger(Cmd::ID_EDIT_CUT);
    EXPECT_EQ(run.doc()->UndoName(), "Cut 1 Channel");
    EXPECT_LT(s.channels[4].rxFrequency, 0.1);
    view->SelectRange(30, 30);
    run.trigger(Cmd::ID_EDIT_PASTE);
    EXPECT_EQ(s.channels[29], fifth);

    // The 476-478 MHz model's plan is fixed: nothing to cut or delete.
    s.ApplyFixedPlan();
    view->ModelIdentify();
    view->SelectRange(1, 3);
    view->OnEditClear();
    view->OnEditCut();
    EXPECT_GT(s.channels[0].rxFrequency, 476.0);
    EXPECT_GT(s.channels[2].rxFrequency, 476.0);
}

// Row 17 of page 3 names no channel: nothing is selected, pasted or edited.
TEST_F(ChannelTableTest, TheLastPagesEmptyRowTakesNothing)
{
    RunningApp run;
    CZEMTRA800View* view = run.view();
    view->SelectPage(3);
    ClickRow(view, 17);
    EXPECT_TRUE(view->SelectedChannels().empty());
    QGuiApplication::clipboard()->setText("Frequency\n451.0\n");
    run.trigger(Cmd::ID_EDIT_PASTE);
    EXPECT_EQ(run.doc()->UndoStack()->count(), 0);
    ModalCloser closer;
    QTest::mouseDClick(view, Qt::LeftButton, {}, RowPoint(view, 17));
    QTest::qWait(100);
    EXPECT_EQ(closer.seen, 0);
}

TEST_F(ChannelTableTest, ImportAndExportChannelFiles)
{
    StartInEnglish();
    RunningApp run;
    RadioSettings& s = run.settings();
    Use(s, 1, 451.0);
    Use(s, 7, 457.0);

    // Export writes the table as the command-line tool does.
    boxes.nextFileName = dir.filePath("plan");
    run.trigger(Cmd::ID_EXPORT_CHANNELS);
    ASSERT_TRUE(boxes.messages.isEmpty()) << boxes.messages.join('\n');
    EXPECT_EQ(Contents(dir.filePath("plan.csv")).toStdString(), ChannelCsv::ExportAll(s).text);

    // A file with a bad row: the message names it and nothing changes.
    const DocumentSnapshot before = run.doc()->Snapshot();
    boxes.nextFileName = WriteFile(dir.filePath("bad.csv"), "Location,Frequency\r\n2,452.0\r\n60,453.0\r\n");
    run.trigger(Cmd::ID_IMPORT_CHANNELS);
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_TRUE(boxes.messages.takeFirst().startsWith("Nothing was imported. bad.csv has rows the radio cannot take:"));
    EXPECT_TRUE(run.doc()->Snapshot() == before);

    // A good file is the channel plan: channels it does not list go blank.
    boxes.nextFileName = WriteFile(dir.filePath("good.csv"), "Location,Frequency,Extra\n3,453.000000,x\n7,457.500000,\n");
    run.trigger(Cmd::ID_IMPORT_CHANNELS);
    EXPECT_EQ(boxes.messages.size(), 1); // the unknown column
    EXPECT_LT(s.channels[0].rxFrequency, 0.1);
    EXPECT_DOUBLE_EQ(s.channels[2].rxFrequency, 453.0);
    EXPECT_DOUBLE_EQ(s.channels[6].rxFrequency, 457.5);
    run.trigger(Cmd::ID_EDIT_UNDO);
    EXPECT_TRUE(run.doc()->Snapshot() == before);
}
