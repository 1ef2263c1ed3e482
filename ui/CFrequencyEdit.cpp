#include "ui/CFrequencyEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>

#include <algorithm>
#include <cmath>

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

// The longest prefix of text that reads as a decimal number.
QString NumberPrefix(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ++i;
    const qsizetype digitsStart = i;
    while (i < t.size() && IsAsciiDigit(t[i]))
        ++i;
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < t.size() && IsAsciiDigit(t[i]))
            ++i;
    }
    if (i == digitsStart || (i == digitsStart + 1 && t[digitsStart] == QLatin1Char('.')))
        return QString();
    return t.left(i);
}

} // namespace

CDigitsOnlyEdit::CDigitsOnlyEdit(QWidget* parent) : QLineEdit(parent) {}

double CDigitsOnlyEdit::NumberOf(const QString& text)
{
    QString prefix = NumberPrefix(text);
    if (prefix.endsWith(QLatin1Char('.')))
        prefix.chop(1);
    bool ok = false;
    const double value = QLocale::c().toDouble(prefix, &ok);
    return ok ? value : 0.0;
}

long long CDigitsOnlyEdit::IntegerOf(const QString& text)
{
    const double value = NumberOf(text);
    if (!std::isfinite(value) || std::fabs(value) > 1e15)
        return 0;
    return static_cast<long long>(value); // truncates toward zero
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
    if (text.isEmpty())
        return text;
    double f = NumberOf(text);
    const double lo = std::min(lower, upper);
    const double hi = std::max(lower, upper);
    f = std::clamp(f, lo, hi);
    // Hertz as the "%.0f" text of f * 1e6 reads.
    long long hz = std::llround(f * 1000000.0);
    if (hz % 6250 != 0 && hz % 5000 != 0)
        hz = (hz / 6250) * 6250;
    // Radio frequencies have three integer digits: the first 8 digits of
    // the hertz value with the point after the third.
    if (hz >= 100000000LL && hz <= 999999999LL) {
        QString digits = QString::number(hz).left(8);
        digits.insert(3, QLatin1Char('.'));
        return digits;
    }
    // Outside 100..999 MHz (a band whose limits are not set) the digit
    // shuffle would misplace the point; show the value itself.
    return QString::number(double(hz) / 1000000.0, 'f', 5);
}

void CFrequencyEdit::Normalise()
{
    const QString t = NormalisedText(text(), lower_, upper_);
    if (t != text())
        setText(t);
}
