#include "dialogs/CToneCodeCombo.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalBlocker>

#include "image/ToneCode.h"

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
    if (ToneCode::IsDcs(text.left(1).toStdString()))
        return c.unicode() < 0x80 && ToneCode::FitsDcs(std::size_t(k), char(c.unicode()));
    static const QString kQtChars = QStringLiteral("0123456789.");
    if (!kQtChars.contains(c))
        return false;
    if (k >= qsizetype(ToneCode::kMaxLength))
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
