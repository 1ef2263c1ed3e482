// Undo and redo in the window: every change of the document is one step,
// undone and redone back to the same bytes, and the modified flag follows.
#include <array>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QUndoStack>

#include "AppTestKit.h"

using namespace apptest;

namespace {
using Cmd = ChannelTableCommands;
using Image = std::array<uint8_t, ImageMap::kSize>;

// What a save of the document would write, without touching the document.
Image Encoded(const CZEMTRA800Doc& doc)
{
    const DocumentSnapshot snapshot = doc.Snapshot();
    CImportData scratch;
    scratch.SetBytes(snapshot.image.data(), 0, snapshot.image.size());
    *scratch.GetSettings() = snapshot.settings;
    scratch.EncodeAll();
    Image bytes;
    scratch.GetBytes(bytes.data(), 0, bytes.size());
    return bytes;
}

// Opens a dialog, fills it and clicks its control `press` (by id); how many
// dialogs were answered.
int Answered(const std::function<void()>& open, const std::function<void(QDialog&)>& fill, int press)
{
    ModalCloser closer;
    closer.whileShown = [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        fill(*dialog);
        dialog->findChild<QPushButton*>(QString::number(press))->click();
    };
    open();
    return closer.seen;
}

void Choose(QDialog& dialog, const char* listId, int position)
{
    dialog.findChild<QComboBox*>(listId)->setCurrentIndex(position);
}

class UndoTest : public AppTest {
protected:
    QTemporaryDir dir;
};
} // namespace

TEST_F(UndoTest, AChainOfEditsUndoesAndRedoesToTheSameBytes)
{
    StartInEnglish();
    // An opened file with bytes no field owns, which every step must keep.
    CImportData file;
    Program(file, "Q80103");
    const uint8_t unowned[] = {0x12, 0x34};
    file.SetBytes(unowned, 2030, 2);
    const QString path = dir.filePath("plan.dat");
    ASSERT_TRUE(file.SaveFile(QFile::encodeName(path).toStdString()));

    // The radio's memory: another model and another channel 1.
    auto radio = StartedRadio(RadioMemory("Q80104", 355.0));

    RunningApp run({path});
    run.jobs().AttachSimulatedRadio(std::move(radio));
    CZEMTRA800Doc* doc = run.doc();
    CZEMTRA800View* view = run.view();
    ASSERT_FALSE(doc->IsModified());

    // After each step: the document (image and settings), the bytes a save
    // would write, the step's name.
    std::vector<DocumentSnapshot> states{doc->Snapshot()};
    std::vector<Image> images{Encoded(*doc)};
    std::vector<QString> names;
    auto stepDone = [&](const char* name) {
        states.push_back(doc->Snapshot());
        images.push_back(Encoded(*doc));
        names.push_back(QString::fromLatin1(name));
        EXPECT_EQ(doc->UndoName(), names.back());
        EXPECT_NE(images.back(), images[images.size() - 2]) << name;
        EXPECT_TRUE(doc->IsModified()) << name;
    };

    // 1. Paste two channels.
    Paste(run, 3, "Frequency\tTone\trToneFreq\n452.5\tTone\t67.0\n453.5\t\t\n");
    stepDone("Paste 2 Channels");

    // 2. A settings dialog's OK (the squelch level).
    const auto squelch = [](QDialog& d) { Choose(d, "1067", 5); };
    EXPECT_EQ(Answered([&] { run.trigger(CMainFrame::ID_OPTIONAL_FEATURES); }, squelch, 1), 1);
    stepDone("Optional Features");

    // 3. The channel editor: opening a blank channel fills it.
    view->SelectRange(10, 10);
    const auto tick = [](QDialog& d) { d.findChild<QCheckBox*>("1109")->click(); };
    EXPECT_EQ(Answered([&] { view->OpenChannelEditor(10); }, tick, 2), 1);
    EXPECT_DOUBLE_EQ(run.settings().channels[9].rxFrequency, 450.0);
    stepDone("Channel Edit");

    // 4. Delete.
    view->SelectRange(1, 3);
    run.trigger(Cmd::ID_EDIT_CLEAR);
    stepDone("Delete 2 Channels");

    // 5. The model dialog: another band, every channel cleared.
    boxes.answerYes = true;
    const auto vhf = [](QDialog& d) { Choose(d, "1053", 0); };
    EXPECT_EQ(Answered([&] { run.trigger(CMainFrame::ID_MODEL_INFORMATION); }, vhf, 1), 1);
    EXPECT_EQ(view->Model().bandText, "VHF:150-174MHz");
    stepDone("Model Information");

    // 6. A read from the radio.
    ASSERT_TRUE(RunJob(run, CMainFrame::ID_READ_DATA));
    EXPECT_DOUBLE_EQ(run.settings().channels[0].rxFrequency, 355.0);
    stepDone("Read Data");
    EXPECT_EQ(doc->UndoStack()->count(), 6);

    // Back to the opened file, step by step, each time the whole document
    // as it was (the read's undo gives back the radio's identification bytes
    // too), and the view's model with it.
    for (int k = int(names.size()); k > 0; --k) {
        EXPECT_EQ(doc->UndoName(), names[k - 1]);
        run.trigger(Cmd::ID_EDIT_UNDO);
        EXPECT_TRUE(doc->Snapshot() == states[k - 1]) << "undo " << names[k - 1];
    }
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(view->Model().bandText, "UHF:450-470MHz");

    // And forward again.
    for (std::size_t k = 1; k <= names.size(); ++k) {
        EXPECT_EQ(doc->RedoName(), names[k - 1]);
        run.trigger(Cmd::ID_EDIT_REDO);
        EXPECT_EQ(Encoded(*doc), images[k]) << "redo " << names[k - 1];
        EXPECT_TRUE(doc->IsModified());
    }
    EXPECT_EQ(view->Model().bandText, "UHF:350-370MHz");
}

TEST_F(UndoTest, TheModifiedFlagFollowsTheCleanPoint)
{
    StartInEnglish();
    RunningApp run;
    CZEMTRA800Doc* doc = run.doc();
    CZEMTRA800View* view = run.view();
    Paste(run, 1, "Frequency\n451.0\n");
    Paste(run, 2, "Frequency\n452.0\n");

    // Saved: clean. An undo leaves the saved state, the redo comes back to it.
    boxes.nextFileName = dir.filePath("saved.dat");
    run.trigger(CMainFrame::ID_FILE_SAVE);
    EXPECT_FALSE(doc->IsModified());
    run.trigger(Cmd::ID_EDIT_UNDO);
    EXPECT_TRUE(doc->IsModified());
    run.trigger(Cmd::ID_EDIT_REDO);
    EXPECT_FALSE(doc->IsModified());
    run.trigger(Cmd::ID_EDIT_UNDO);
    run.trigger(Cmd::ID_EDIT_UNDO);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_LT(run.settings().channels[0].rxFrequency, 0.1);

    // A dialog left without a change leaves no step and no mark.
    run.trigger(Cmd::ID_EDIT_REDO);
    run.trigger(Cmd::ID_EDIT_REDO);
    ASSERT_FALSE(doc->IsModified());
    EXPECT_EQ(Answered([&] { view->OpenChannelEditor(1); }, [](QDialog&) {}, 2), 1); // the editor's Exit
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->UndoStack()->count(), 2);
    // A mark set outside the steps survives a dialog that changes nothing.
    doc->SetModifiedFlag(true);
    EXPECT_EQ(Answered([&] { run.trigger(CMainFrame::ID_OPTIONAL_FEATURES); }, [](QDialog&) {}, 2), 1); // Cancel
    EXPECT_TRUE(doc->IsModified());
    // A new step after an undo drops the step that could be redone.
    run.trigger(Cmd::ID_EDIT_UNDO);
    Paste(run, 5, "Frequency\n455.0\n");
    EXPECT_FALSE(doc->UndoStack()->canRedo());

    // New and Open forget every step.
    boxes.promptAnswer = AppAnswer::No;
    run.trigger(CMainFrame::ID_FILE_NEW);
    EXPECT_EQ(doc->UndoStack()->count(), 0);
    Paste(run, 3, "Frequency\n453.0\n");
    ASSERT_TRUE(run.app->OpenDocumentFile(dir.filePath("saved.dat")));
    EXPECT_EQ(doc->UndoStack()->count(), 0);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_DOUBLE_EQ(run.settings().channels[1].rxFrequency, 452.0);
}
