#pragma once
// A running program for the window tests: the application with its frame,
// view and document, message boxes and file dialogs answered by hooks.
#include <functional>
#include <memory>
#include <ostream>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "../SimulatedRadios.h"
#include "ui/AppMessage.h"
#include "image/CImportData.h"
#include "app/CMainFrame.h"
#include "app/ChannelTableCommands.h"
#include "app/CZEMTRA800App.h"
#include "app/CZEMTRA800Doc.h"
#include "app/CZEMTRA800View.h"
#include "app/RadioJobs.h"
#include "ui/Language.h"
#include "ui/Profile.h"

// Readable texts in failure reports and assertion messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline std::ostream& operator<<(std::ostream& out, const QString& text) { return out << text.toStdString(); }

namespace apptest {

// A file of the given bytes (an empty one by default), its folder made.
inline QString WriteFile(const QString& path, const QByteArray& bytes = {})
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path;
    file.write(bytes);
    return path;
}

inline QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every box the program shows, answered without a modal loop.
struct MessageRecorder {
    QStringList messages;      // plain messages
    QStringList questions;     // Yes/No questions
    QStringList prompts;       // Yes/No/Cancel save prompts
    bool answerYes = false;
    AppAnswer promptAnswer = AppAnswer::No;
    QString nextFileName;      // the file dialog's answer ("" = Cancel)

    MessageRecorder()
    {
        SetAppMessageHook([this](const QString& text, bool yesNo) {
            (yesNo ? questions : messages).append(text);
            return answerYes;
        });
        SetAppPromptHook([this](const QString& text) {
            prompts.append(text);
            return promptAnswer;
        });
        CZEMTRA800Doc::SetFileDialogHook([this](bool, const QString&) { return nextFileName; });
    }
    ~MessageRecorder()
    {
        SetAppMessageHook({});
        SetAppPromptHook({});
        CZEMTRA800Doc::SetFileDialogHook({});
    }
};

// Closes every modal dialog that comes up, counting them; whileShown runs
// before each is closed.
struct ModalCloser {
    int seen = 0;
    std::function<void()> whileShown;
    QTimer timer;
    ModalCloser()
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ++seen;
                if (whileShown)
                    whileShown();
                modal->close();
            }
        });
        timer.start();
    }
};

// The next start in English.
inline void StartInEnglish()
{
    SetLanguageFlag(0);
    Profile::WriteInt("CHANNEL_DEFAULT", "LANGUAGE", 0);
}

// Channel 1 on rx (receive and transmit) and the given model, encoded.
inline void Program(CImportData& data, const char* model, double rx = 450.0125)
{
    RadioSettings& s = *data.GetSettings();
    s.channels[0].rxFrequency = s.channels[0].txFrequency = rx;
    SetText(s.modelCode, model);
    data.EncodeAll();
}

// The memory of a radio holding channel 1 on rx and the given model, and
// the information texts "ABCDEFGH" / "IJKLMNOP".
inline SimulatedRadio::Memory RadioMemory(const char* model, double rx = 450.0125)
{
    CImportData data;
    Program(data, model, rx);
    SimulatedRadio::Memory memory;
    data.GetBytes(memory.data(), 0, memory.size());
    for (int i = 0; i < 16; ++i)
        memory[2000 + i] = static_cast<uint8_t>('A' + i);
    return memory;
}

// Every window test starts from a first run's profile, in Chinese, and
// keeps the radio jobs' backups and log in a data folder of its own
// (dataHome), never in the user's.
class AppTest : public ::testing::Test {
protected:
    // From the profile of a first run.
    void SetUp() override
    {
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, "Halvorn", "ZEMTRA800");
        for (const char* key : {"CHANNEL_DEFAULT/LANGUAGE", "CHANNEL_DEFAULT/ALLOWDEFAULT", "COM/PORT", "COM/DEVICE",
                                "COM/VERIFYWRITE", "Recent File List"})
            settings.remove(QString::fromLatin1(key));
        savedDataHome_ = qgetenv("XDG_DATA_HOME");
        ASSERT_TRUE(dataHome.isValid());
        qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    }
    void TearDown() override
    {
        SetLanguageFlag(1);
        qputenv("XDG_DATA_HOME", savedDataHome_);
    }
    MessageRecorder boxes;
    QTemporaryDir dataHome;

private:
    QByteArray savedDataHome_;
};

struct RunningApp {
    std::unique_ptr<CZEMTRA800App> app = std::make_unique<CZEMTRA800App>();
    bool started = false;

    explicit RunningApp(const QStringList& extra = {})
    {
        started = app->InitInstance(QStringList{QStringLiteral("zemtra800"), QStringLiteral("--no-splash")} + extra);
        if (started)
            (void)QTest::qWaitForWindowExposed(app->MainFrame());
    }
    CMainFrame* frame() const { return app->MainFrame(); }
    CZEMTRA800View* view() const { return app->View(); }
    RadioJobs& jobs() const { return app->View()->Jobs(); }
    CZEMTRA800Doc* doc() const { return app->Document(); }
    RadioSettings& settings() const { return *app->Document()->Settings(); }
    void trigger(int command) const { frame()->Action(command)->trigger(); }
};

// The grid: the centre of a row's first cell on the current page, a click
// on it.
inline QPoint RowPoint(CZEMTRA800View* view, int row) { return view->Layout().cell[row - 1][0].center(); }
inline void ClickRow(CZEMTRA800View* view, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(view, Qt::LeftButton, modifiers, RowPoint(view, row));
}

// Pastes rows (UTF-8) onto channel at and on.
inline void Paste(RunningApp& run, int at, const char* rows)
{
    QGuiApplication::clipboard()->setText(QString::fromUtf8(rows));
    run.view()->SelectRange(at, at);
    run.trigger(ChannelTableCommands::ID_EDIT_PASTE);
}

// Runs command and waits for its job to end; the job's success.
inline bool RunJob(RunningApp& run, int command, int timeoutMs = 30000)
{
    QSignalSpy ended(&run.jobs(), &RadioJobs::jobEnded);
    run.trigger(command);
    if (!run.jobs().IsRunning())
        return false;
    if (!ended.wait(timeoutMs))
        return false;
    return ended.takeFirst().at(1).toBool();
}

} // namespace apptest
