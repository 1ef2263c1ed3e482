#pragma once
#include <functional>
#include <string>
#include <vector>

#include <QString>

class QWidget;

// Lines for a message box (a refused table's bad rows, say), one a line,
// the first 15 and then how many more, so the box stays on the screen.
QString ListedLines(const std::vector<std::string>& lines);

// What a radio job that failed says, in the window's language: the link's
// "Communication failed,please try again!" or its Chinese.
QString CommunicationFailedText();

// Application message boxes, captioned "ZEMTRA800" with the information icon.
void AppMessage(QWidget* parent, const QString& text);
// Yes and No buttons, No the default. true when the answer is Yes.
bool AppAskYesNo(QWidget* parent, const QString& text);

// Tests answer message boxes through a hook instead of a modal box: it gets
// the text and whether Yes/No was asked, and returns true for Yes (ignored
// for plain messages). An empty hook restores the real boxes.
using AppMessageHook = std::function<bool(const QString& text, bool yesNo)>;
void SetAppMessageHook(AppMessageHook hook);

// The save prompt: Yes, No and Cancel, Yes the default.
enum class AppAnswer { Yes, No, Cancel };
AppAnswer AppAskYesNoCancel(QWidget* parent, const QString& text);
// Tests answer the Yes/No/Cancel prompt through this hook; empty restores the box.
using AppPromptHook = std::function<AppAnswer(const QString& text)>;
void SetAppPromptHook(AppPromptHook hook);
