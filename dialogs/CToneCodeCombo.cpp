#include "dialogs/CToneCodeCombo.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalBlocker>

CToneCodeCombo::CToneCodeCombo(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    // Typed codes are never added to the list, and no inline completion may
    // put characters in the field that the user did not type.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setDuplicatesEnabled(true);
    // Nor does leaving the field turn a typed text into the entry it spells:
    // the dialog treats typed codes (completion, copy to the encode field)
    // apart from chosen ones.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, &CToneCodeCombo::OnTextEdited);
}

void CToneCodeCombo::SetTextNoSelection(const QString& text)
{
    const QSignalBlocker block(this);
    setCurrentIndex(-1);
    lineEdit()->setText(text);
}

bool CToneCodeCombo::CharacterAllowed(const QString& text, int k)
{
    if (k < 0 || k >= text.size())
        return true;
    const QChar c = text[k];
    const bool dqt = text.startsWith(QLatin1Char('D'), Qt::CaseInsensitive);
    static const QString kDqtChars = QStringLiteral("01234567DdNnIi");
    static const QString kQtChars = QStringLiteral("0123456789.");
    if (!(dqt ? kDqtChars : kQtChars).contains(c))
        return false;
    if (dqt) {
        if (k == 0)
            return true;
        if (k <= 3)
            return c >= QLatin1Char('0') && c <= QLatin1Char('7');
        if (k == 4)
            return QStringLiteral("NnIi").contains(c);
        return false;
    }
    if (k >= 5)
        return false;
    if (k == 0 && c == QLatin1Char('0'))
        return false;
    if (text.startsWith(QLatin1Char('.')))
        return false;
    return true;
}

void CToneCodeCombo::OnTextEdited(const QString& text)
{
    QLineEdit* edit = lineEdit();
    if (!text.isEmpty()) {
        const int k = edit->cursorPosition() - 1;
        if (!CharacterAllowed(text, k)) {
            QString kept = text;
            kept.remove(k, 1);
            edit->setText(kept);
            edit->setCursorPosition(k);
        }
    }
    // A typed text is not a list entry, even when it spells one.
    if (currentIndex() != -1) {
        const QString kept = edit->text();
        const int caret = edit->cursorPosition();
        SetTextNoSelection(kept);
        edit->setCursorPosition(caret);
    }
}

void CToneCodeCombo::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    emit focusLost(QApplication::focusWidget());
}
