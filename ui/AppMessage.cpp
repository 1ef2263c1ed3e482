#include "ui/AppMessage.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QStringList>

#include "link/JobRecorder.h"
#include "ui/Language.h"

namespace {
AppMessageHook& Hook()
{
    static AppMessageHook hook;
    return hook;
}

const QString kCaption = QStringLiteral("ZEMTRA800");

// No Qt translation is installed, so the standard buttons get their words here.
void LabelButtons(QMessageBox& box)
{
    struct Label {
        QMessageBox::StandardButton button;
        const char* english;
        const char* chinese;
    };
    static const Label labels[] = {{QMessageBox::Ok, "OK", "确定"},
                                   {QMessageBox::Yes, "&Yes", "是(&Y)"},
                                   {QMessageBox::No, "&No", "否(&N)"},
                                   {QMessageBox::Cancel, "Cancel", "取消"}};
    for (const Label& l : labels)
        if (QAbstractButton* b = box.button(l.button))
            b->setText(Lang(l.english, l.chinese));
}
} // namespace

QString ListedLines(const std::vector<std::string>& lines)
{
    constexpr std::size_t kShown = 15;
    QStringList shown;
    for (std::size_t i = 0; i < lines.size() && i < kShown; ++i)
        shown << QString::fromStdString(lines[i]);
    if (lines.size() > kShown)
        shown << Lang("... and %1 more", "……另有 %1 行").arg(lines.size() - kShown);
    return shown.join(QLatin1Char('\n'));
}

QString CommunicationFailedText() { return Lang(JobRecorder::kCommunicationFailed, "通讯失败,请重新操作?"); }

void SetAppMessageHook(AppMessageHook hook) { Hook() = std::move(hook); }

void AppMessage(QWidget* parent, const QString& text)
{
    if (Hook()) {
        Hook()(text, false);
        return;
    }
    QMessageBox box(QMessageBox::Information, kCaption, text, QMessageBox::Ok, parent);
    LabelButtons(box);
    box.exec();
}

bool AppAskYesNo(QWidget* parent, const QString& text)
{
    if (Hook())
        return Hook()(text, true);
    QMessageBox box(QMessageBox::Information, kCaption, text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    LabelButtons(box);
    return box.exec() == QMessageBox::Yes;
}

namespace {
AppPromptHook& PromptHook()
{
    static AppPromptHook hook;
    return hook;
}
} // namespace

void SetAppPromptHook(AppPromptHook hook) { PromptHook() = std::move(hook); }

AppAnswer AppAskYesNoCancel(QWidget* parent, const QString& text)
{
    if (PromptHook())
        return PromptHook()(text);
    QMessageBox box(QMessageBox::Warning, kCaption, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    LabelButtons(box);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return AppAnswer::Yes;
    case QMessageBox::No:
        return AppAnswer::No;
    default:
        return AppAnswer::Cancel;
    }
}
