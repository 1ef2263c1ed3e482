#include "AppMessage.h"

#include <QMessageBox>

namespace {
AppMessageHook& Hook()
{
    static AppMessageHook hook;
    return hook;
}

const QString kCaption = QStringLiteral("ZEMTRA800");
} // namespace

void SetAppMessageHook(AppMessageHook hook) { Hook() = std::move(hook); }

void AppMessage(QWidget* parent, const QString& text)
{
    if (Hook()) {
        Hook()(text, false);
        return;
    }
    QMessageBox box(QMessageBox::Information, kCaption, text, QMessageBox::Ok, parent);
    box.exec();
}

bool AppAskYesNo(QWidget* parent, const QString& text)
{
    if (Hook())
        return Hook()(text, true);
    QMessageBox box(QMessageBox::Information, kCaption, text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
