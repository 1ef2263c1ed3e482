// The document in the window: open, new, save and save as with the save
// prompt, files that cannot be read or written, in both languages.
#include <QFileDialog>
#include <QTimer>
#include <QMessageBox>

#include "../FifoGuard.h"
#include "AppTestKit.h"
#include "app/ChannelTableCommands.h"
#include "app/SplashWindow.h"

using namespace apptest;

namespace {
class DocumentTest : public AppTest {
protected:
    // A data file with channel 1 on rx and the given model.
    QString MakeDataFile(const QString& name, const char* model = "Q80103", double rx = 450.0125)
    {
        CImportData data;
        Program(data, model, rx);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(data.SaveFile(QFile::encodeName(path).toStdString()));
        return path;
    }
    // path opened and given unsaved edits (channel 3 on 433 MHz); false
    // when it did not open.
    static bool OpenAndEdit(RunningApp& run, const QString& path)
    {
        if (!run.app->OpenDocumentFile(path))
            return false;
        run.settings().channels[2].rxFrequency = 433.0;
        run.doc()->SetModifiedFlag(true);
        return true;
    }
    QString ShortFile() { return WriteFile(dir.filePath("short.dat"), QByteArray(100, '\x11')); }

    QTemporaryDir dir;
};
} // namespace

TEST_F(DocumentTest, OpenNewSaveAndSaveAsWithThePrompt)
{
    const QString first = MakeDataFile("first.dat");
    RunningApp run;
    CZEMTRA800Doc* doc = run.doc();

    Profile::WriteInt("CHANNEL_DEFAULT", "ALLOWDEFAULT", 1);
    ASSERT_TRUE(run.app->OpenDocumentFile(first));
    EXPECT_EQ(Profile::GetInt("CHANNEL_DEFAULT", "ALLOWDEFAULT", 1), 0);
    EXPECT_DOUBLE_EQ(run.settings().channels[0].rxFrequency, 450.0125);

    // Unsaved changes: Cancel keeps everything, the prompt names the file.
    doc->SetModifiedFlag(true);
    boxes.promptAnswer = AppAnswer::Cancel;
    run.trigger(CMainFrame::ID_FILE_NEW);
    EXPECT_EQ(boxes.prompts, QStringList({QString::fromUtf8("是否保存对 first.dat 的修改?")}));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->PathName(), QFileInfo(first).absoluteFilePath());

    // No: a new document, the file untouched.
    const QByteArray before = Contents(first);
    boxes.promptAnswer = AppAnswer::No;
    run.trigger(CMainFrame::ID_FILE_NEW);
    EXPECT_LT(run.settings().channels[0].rxFrequency, 0.1);
    EXPECT_EQ(Contents(first), before);

    // Save on an untitled document is Save As; Cancel there saves nothing.
    doc->SetModifiedFlag(true);
    run.trigger(CMainFrame::ID_FILE_SAVE);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"first.dat"}));

    // Yes on an untitled document asks for a name and appends ".dat".
    run.settings().channels[4].rxFrequency = 440.5;
    boxes.promptAnswer = AppAnswer::Yes;
    boxes.nextFileName = dir.filePath("second");
    ASSERT_TRUE(run.app->OpenDocumentFile(first));
    const QString second = dir.filePath("second.dat");
    EXPECT_EQ(QFileInfo(second).size(), 2048);
    EXPECT_EQ(doc->PathName(), QFileInfo(first).absoluteFilePath());

    // What was saved opens again with the edit.
    ASSERT_TRUE(run.app->OpenDocumentFile(second));
    EXPECT_DOUBLE_EQ(run.settings().channels[4].rxFrequency, 440.5);

    // Save As: a name with an extension of its own keeps it.
    boxes.nextFileName = dir.filePath("plan.DAT");
    run.trigger(CMainFrame::ID_FILE_SAVE_AS);
    EXPECT_EQ(doc->PathName(), dir.filePath("plan.DAT"));
    EXPECT_TRUE(boxes.messages.isEmpty());
}

TEST_F(DocumentTest, ABadCommandLineFileIsReportedOverTheShownWindowAndTakesOneKey)
{
    const QString shortFile = ShortFile();
    StartInEnglish();

    // A real box, with the splash of an ordinary start: over the shown
    // window, the splash gone, one key closes it.
    SetAppMessageHook({});
    bool shown = false;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || shown)
            return;
        shown = true;
        QWidget* frame = box->parentWidget() ? box->parentWidget()->window() : nullptr;
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(frame->isVisible());
        EXPECT_EQ(SplashWindow::Current(), nullptr);
        EXPECT_TRUE(box->text().contains("short.dat")) << box->text();
        EXPECT_LE((box->frameGeometry().center() - frame->frameGeometry().center()).manhattanLength(), 40);
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_FALSE(box->isVisible());
        box->close();
    });
    watch.start();

    auto app = std::make_unique<CZEMTRA800App>();
    ASSERT_TRUE(app->InitInstance({"zemtra800", shortFile}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown; }, 5000));
    SplashWindow::HideSplash();
    SplashWindow::EnableSplash(false);
    EXPECT_EQ(app->Document()->PathName(), "");
}

TEST_F(DocumentTest, TheOpenDialogOffersAllFilesAfterTheDataFiles)
{
    RunningApp run;
    CZEMTRA800Doc::SetFileDialogHook({}); // the real dialog
    QStringList filters;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            filters << dialog->nameFilters();
            dialog->reject();
        }
    });
    watch.start();
    run.trigger(CMainFrame::ID_LANGUAGE); // English
    run.trigger(CMainFrame::ID_FILE_OPEN);
    EXPECT_EQ(filters, QStringList({CZEMTRA800Doc::FileFilter(), "All files (*)"}));
    // Saving offers the data files only: a name without extension gets ".dat".
    filters.clear();
    run.trigger(CMainFrame::ID_FILE_SAVE_AS);
    EXPECT_EQ(filters, QStringList({CZEMTRA800Doc::FileFilter()}));
}

// A file that cannot be read or written leaves the document, its edits and
// its name, and the files, as they were; a file that cannot be read leaves
// the recent list. The reasons are in Chinese words of their own (the English
// are the command-line tool's).
TEST_F(DocumentTest, FileErrorsLoseNothingAndAreToldInTheWindowsLanguage)
{
    const QString good = MakeDataFile("good.dat");
    const QByteArray goodBytes = Contents(good);
    ShortFile();
    QDir(dir.path()).mkdir("folder.dat");
    auto native = [&](const char* name) { return QDir::toNativeSeparators(dir.filePath(name)); };

    RunningApp run; // a first run: Chinese
    CZEMTRA800Doc* doc = run.doc();
    ASSERT_TRUE(OpenAndEdit(run, good));
    boxes.promptAnswer = AppAnswer::No;
    EXPECT_FALSE(run.app->OpenDocumentFile(dir.filePath("absent.dat")));
    EXPECT_FALSE(run.app->OpenDocumentFile(dir.filePath("short.dat")));
    EXPECT_FALSE(run.app->OpenDocumentFile(dir.filePath("folder.dat")));
    EXPECT_FALSE(doc->DoSave(run.frame(), dir.filePath("folder.dat")));
    EXPECT_FALSE(doc->DoSave(run.frame(), dir.filePath("nowhere/radio.dat")));
    EXPECT_EQ(doc->PathName(), QFileInfo(good).absoluteFilePath());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_DOUBLE_EQ(run.settings().channels[2].rxFrequency, 433.0);
    EXPECT_EQ(run.frame()->RecentFileActions().size(), 1);
    EXPECT_EQ(Contents(good), goodBytes);
    // No temporary file is left beside the targets.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"good.dat", "short.dat"}));

    ASSERT_EQ(boxes.messages.size(), 5);
    EXPECT_EQ(boxes.messages[0], QString::fromUtf8("无法打开 %1:\n没有这个文件: %1").arg(native("absent.dat")));
    EXPECT_EQ(boxes.messages[1], QString::fromUtf8("无法打开 %1:\n文件不足 2048 字节(只有 100 字节)").arg(native("short.dat")));
    EXPECT_EQ(boxes.messages[2], QString::fromUtf8("无法打开 %1:\n%1 是文件夹,不是数据文件").arg(native("folder.dat")));
    EXPECT_TRUE(boxes.messages[3].contains(QString::fromUtf8("%1 是文件夹\n数据没有保存").arg(native("folder.dat"))))
        << boxes.messages[3];
    EXPECT_TRUE(boxes.messages[4].contains(QString::fromUtf8("无法在 %1 中建立文件: 没有那个文件或目录").arg(native("nowhere"))))
        << boxes.messages[4];

    // Closing still asks, so the edits can be saved elsewhere.
    boxes.prompts.clear();
    boxes.promptAnswer = AppAnswer::Cancel;
    run.frame()->close();
    EXPECT_EQ(boxes.prompts.size(), 1);
    EXPECT_TRUE(run.frame()->isVisible());
}

// A FIFO named as a data file, a channel table or an export: the window
// neither waits on it (it would freeze, or never appear at start-up) nor
// puts a plain file in its place.
TEST_F(DocumentTest, FifoIsRefusedWhenOpeningAndSaving)
{
    StartInEnglish();
    const QString good = MakeDataFile("good.dat");
    const QString pipe = dir.filePath("pipe.dat");
    FifoGuard fifo(QFile::encodeName(pipe).toStdString());
    ASSERT_TRUE(fifo.Made());
    {
        // On the command line: reported, and the window comes up with a new document.
        RunningApp run(QStringList{pipe});
        ASSERT_TRUE(run.started);
        ASSERT_EQ(boxes.messages.size(), 1);
        EXPECT_EQ(boxes.messages[0], "Could not open " + pipe + ":\n" + pipe + " is a FIFO, not a regular file");
        EXPECT_EQ(run.doc()->PathName(), "");
    }
    RunningApp run;
    CZEMTRA800Doc* doc = run.doc();
    ASSERT_TRUE(OpenAndEdit(run, good));
    boxes.nextFileName = pipe;

    // Save As, channel import, channel and PDF export onto it: refused, the
    // FIFO stays, the edits wait to be saved.
    ASSERT_TRUE(QFile::link(pipe, dir.filePath("link.pdf")));
    run.trigger(CMainFrame::ID_FILE_SAVE_AS);
    const DocumentSnapshot before = doc->Snapshot();
    run.trigger(ChannelTableCommands::ID_IMPORT_CHANNELS);
    run.trigger(ChannelTableCommands::ID_EXPORT_CHANNELS);
    boxes.nextFileName = dir.filePath("link.pdf");
    run.trigger(ChannelTableCommands::ID_EXPORT_PDF);
    ASSERT_EQ(boxes.messages.size(), 5);
    for (const QString& said : boxes.messages)
        EXPECT_TRUE(said.contains("not a regular file")) << said;
    EXPECT_TRUE(fifo.StillAFifo());
    EXPECT_TRUE(QFileInfo(dir.filePath("link.pdf")).isSymLink());
    EXPECT_TRUE(doc->Snapshot() == before);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->PathName(), QFileInfo(good).absoluteFilePath());
    EXPECT_FALSE(fifo.HadToUnblock()) << "something waited on the FIFO";
}
