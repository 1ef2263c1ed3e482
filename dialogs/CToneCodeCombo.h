#pragma once
#include <QComboBox>

// Editable drop-down for a QT/DQT code. Typing is checked character by
// character: a CTCSS tone takes digits and a point ("88.5"), a DCS code
// starts with D and takes three octal digits and N or I ("D023N"). Like the
// classic combo box, typing into the edit part leaves no list entry
// selected, which is how the dialog tells a typed code from a chosen one.
class CToneCodeCombo : public QComboBox {
    Q_OBJECT
public:
    explicit CToneCodeCombo(QWidget* parent = nullptr);

    // Shows text in the edit part with no entry selected, as typing does.
    void SetTextNoSelection(const QString& text);
    // Removes the selection and empties the edit part.
    void ClearSelectionAndText() { SetTextNoSelection(QString()); }

    // Whether the character just before position k + 1 of text (the one at
    // index k) may stay there.
    static bool CharacterAllowed(const QString& text, int k);

    // As CDigitsOnlyEdit::LoseFocusTo.
    void LoseFocusTo(QWidget* to) { emit focusLost(to); }

signals:
    void focusLost(QWidget* newFocus);

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void OnTextEdited(const QString& text);
};
