#pragma once
#include <QLineEdit>

// A one-line edit that behaves like the radio tool's classic edit fields:
// - a text limit that refuses further typing but never cuts a text the
//   program put there itself (a stored code may be longer than the limit of
//   the moment);
// - a per-character filter for typed characters, which may let a character
//   pass, turn it into another one, refuse it with a message or drop it
//   silently.
// Pasted, dropped and input-method text goes through the same filter and
// limit, so no route gets characters into the field that typing could not.
class FilteredEdit : public QLineEdit {
    Q_OBJECT
public:
    enum class Verdict { Accept, Refuse, Drop };

    explicit FilteredEdit(QWidget* parent = nullptr);

    // The most units (see Measure) the user may enter. The default is large.
    void SetLimitText(int units) { limit_ = units; }
    int LimitText() const { return limit_; }

    // Puts text into the field as the program (not the user); nothing happens
    // when the field already shows it, so the caret stays where it is.
    void SetText(const QString& text);

    // The units of text that count against the limit; characters by default.
    virtual int Measure(const QString& text) const { return int(text.size()); }

protected:
    // Decides on one typed character; may replace c.
    virtual Verdict FilterChar(QChar& c) const
    {
        (void)c;
        return Verdict::Accept;
    }
    // Shows why a character was refused.
    virtual void ReportRefused() {}
    // Whole-text rule for a user change from before to after.
    virtual bool AllowChange(const QString& before, const QString& after) const
    {
        (void)before;
        (void)after;
        return true;
    }

    void keyPressEvent(QKeyEvent* event) override;

private:
    class Guard;
    friend class Guard;

    QString accepted_;   // the text before the change being checked
    int limit_ = 30000;
    bool programmatic_ = false;
    bool refusedByGuard_ = false;
};
