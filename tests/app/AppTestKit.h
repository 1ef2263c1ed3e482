#pragma once
// A running program for the window tests: the application with its frame,
// view and document, message boxes and file dialogs answered by hooks.
#include <memory>

#include <QApplication>
#include <QSettings>
#include <QStringList>
#include <QTest>

#include "AppMessage.h"
#include "CMainFrame.h"
#include "CZEMTRA800App.h"
#include "CZEMTRA800Doc.h"
#include "CZEMTRA800View.h"
#include "Language.h"
#include "Profile.h"

namespace apptest {

// Every box the program shows, answered without a modal loop.
struct MessageRecorder {
    QStringList messages;      // plain messages
    QStringList questions;     // Yes/No questions
    QStringList prompts;       // Yes/No/Cancel save prompts
    bool answerYes = false;
    AppAnswer promptAnswer = AppAnswer::No;
    QStringList savedAs;       // names handed out by the file dialog hook
    QString nextFileName;      // the file dialog's answer ("" = Cancel)
    QString lastSuggested;

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
        CZEMTRA800Doc::SetFileDialogHook([this](bool, const QString& suggested) {
            lastSuggested = suggested;
            return nextFileName;
        });
    }
    ~MessageRecorder()
    {
        SetAppMessageHook({});
        SetAppPromptHook({});
        CZEMTRA800Doc::SetFileDialogHook({});
    }
};

// A fresh profile value, as on a first run.
inline void RemoveProfileValue(const QString& section, const QString& key)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Halvorn"),
                       QStringLiteral("ZEMTRA800"));
    settings.remove(section + QLatin1Char('/') + key);
    settings.sync();
}

inline void ResetProfile()
{
    RemoveProfileValue(QStringLiteral("CHANNEL_DEFAULT"), QStringLiteral("LANGUAGE"));
    RemoveProfileValue(QStringLiteral("CHANNEL_DEFAULT"), QStringLiteral("ALLOWDEFAULT"));
    RemoveProfileValue(QStringLiteral("COM"), QStringLiteral("PORT"));
    for (int i = 1; i <= 4; ++i)
        RemoveProfileValue(QStringLiteral("Recent File List"), QStringLiteral("File%1").arg(i));
}

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
    CZEMTRA800Doc* doc() const { return app->Document(); }
    RadioSettings& settings() const { return *app->Document()->Settings(); }
    void trigger(int command) const { frame()->Action(command)->trigger(); }
    // Lets pending paints run (title and status panes are set while painting).
    void paint() const
    {
        view()->repaint();
        QCoreApplication::processEvents();
    }
};

} // namespace apptest
