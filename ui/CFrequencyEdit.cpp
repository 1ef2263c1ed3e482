#include "ui/CFrequencyEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

#include <algorithm>

#include "image/ChannelRules.h"
#include "image/NumberText.h"

namespace {

// A key press that types one printable character (not a shortcut).
bool IsTypedCharacter(const QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event->text();
    return text.size() == 1 && text[0].isPrint();
}

bool IsAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

} // namespace

CDigitsOnlyEdit::CDigitsOnlyEdit(QWidget* parent) : QLineEdit(parent) {}

double CDigitsOnlyEdit::NumberOf(const QString& text)
{
    return LeadingNumber(text.trimmed().toStdString());
}

long long CDigitsOnlyEdit::IntegerOf(const QString& text)
{
    return LeadingInteger(text.trimmed().toStdString());
}

void CDigitsOnlyEdit::keyPressEvent(QKeyEvent* event)
{
    if (!IsTypedCharacter(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QChar c = event->text()[0];
    // The subclass's filter sees the character first, the digits-only style
    // afterwards: a character the filter lets through may still be dropped.
    if (!AcceptChar(c) || !IsAsciiDigit(c)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
    AfterChar();
}

void CDigitsOnlyEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    emit focusGained(event->reason());
}

void CDigitsOnlyEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A popup or another window taking the keyboard is not the user leaving
    // the field: the focus comes back here.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    LoseFocusTo(QApplication::focusWidget());
}

void CDigitsOnlyEdit::LoseFocusTo(QWidget* to)
{
    Normalise();
    emit focusLost(to);
}

// ---------------------------------------------------------------------------

CFrequencyEdit::CFrequencyEdit(QWidget* parent) : CDigitsOnlyEdit(parent) {}

bool CFrequencyEdit::AcceptChar(QChar c)
{
    static const QString kAllowed = QStringLiteral("0123456789.");
    if (!kAllowed.contains(c))
        return false;
    const int at = hasSelectedText() ? selectionStart() : cursorPosition();
    if (c == QLatin1Char('0') && at == 0)
        return false; // no frequency starts with 0
    if (c == QLatin1Char('.') && text().size() != 3)
        return false;
    if (text().size() >= 9 && selectedText().size() <= 1)
        return false; // full: only replacing a selection may type more
    return true;
}

void CFrequencyEdit::AfterChar()
{
    QString t = text();
    if (t.size() <= 3 || t[3] == QLatin1Char('.'))
        return;
    const int p = cursorPosition();
    t.remove(QLatin1Char('.'));
    t.insert(std::min<qsizetype>(3, t.size()), QLatin1Char('.'));
    setText(t);
    int caret = p < 3 ? p : (p == 3 ? 4 : p + 1);
    setCursorPosition(std::min<int>(caret, int(t.size())));
}

QString CFrequencyEdit::NormalisedText(const QString& text, double lower, double upper)
{
    return QString::fromStdString(NormalisedFrequencyText(text.toStdString(), lower, upper));
}

void CFrequencyEdit::Normalise()
{
    const QString t = NormalisedText(text(), lower_, upper_);
    if (t != text())
        setText(t);
}
