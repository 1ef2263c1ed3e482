#pragma once
#include <QLineEdit>

// A one-line edit with the classic "digits only" style: typed characters
// other than digits are dropped (editing keys, shortcuts and Backspace pass).
// It reports focus changes with the widget that received the focus, so a
// dialog can react differently to where the user went.
class CDigitsOnlyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CDigitsOnlyEdit(QWidget* parent = nullptr);

    // Runs the focus-lost handling as if the focus had moved to `to` (may be
    // null). A dialog that closes while the field holds the focus calls it,
    // so what was typed is not lost.
    void LoseFocusTo(QWidget* to);

    // The number a text starts with ("450.1abc" gives 450.1, "" gives 0),
    // whatever the user's locale.
    static double NumberOf(const QString& text);
    // The integer a text starts with ("136.9" gives 136).
    static long long IntegerOf(const QString& text);

signals:
    void focusGained(Qt::FocusReason reason);
    void focusLost(QWidget* newFocus);

protected:
    // Decides on one typed character before the digits-only style sees it;
    // false drops it.
    virtual bool AcceptChar(QChar c)
    {
        (void)c;
        return true;
    }
    // After an accepted character has gone into the text.
    virtual void AfterChar() {}
    // Reformats the text when the field loses the focus.
    virtual void Normalise() {}

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// Receive and transmit frequency field of the channel editor: the decimal
// point is placed after the third digit while typing, and on leaving the
// field the frequency is clamped into the band and put on the 6.25 kHz or
// 5 kHz raster ("450.01250").
class CFrequencyEdit : public CDigitsOnlyEdit {
    Q_OBJECT
public:
    explicit CFrequencyEdit(QWidget* parent = nullptr);

    void SetLimits(double lower, double upper)
    {
        lower_ = lower;
        upper_ = upper;
    }
    double LowerLimit() const { return lower_; }
    double UpperLimit() const { return upper_; }

    // What the field shows after losing the focus with text in it.
    static QString NormalisedText(const QString& text, double lower, double upper);

protected:
    bool AcceptChar(QChar c) override;
    void AfterChar() override;
    void Normalise() override;

private:
    double lower_ = 0.0;
    double upper_ = 0.0;
};
