#include "ui/FilteredEdit.h"

#include <QKeyEvent>
#include <QTimer>
#include <QValidator>

// Checks every change the user makes, whatever its route (typing, paste,
// drag and drop, undo, input method). Changes made by the program pass.
class FilteredEdit::Guard : public QValidator {
public:
    explicit Guard(FilteredEdit* edit) : QValidator(edit), edit_(edit) {}

    State validate(QString& input, int& pos) const override
    {
        (void)pos;
        FilteredEdit* e = edit_;
        if (e->programmatic_)
            return Acceptable;
        e->refusedByGuard_ = false;
        const QString& before = e->accepted_;
        if (input == before)
            return Acceptable;

        // The inserted part is what lies between the common head and tail.
        qsizetype head = 0;
        const qsizetype shorter = std::min(input.size(), before.size());
        while (head < shorter && input[head] == before[head])
            ++head;
        qsizetype tail = 0;
        while (tail < shorter - head
               && input[input.size() - 1 - tail] == before[before.size() - 1 - tail])
            ++tail;
        for (qsizetype i = head; i < input.size() - tail; ++i) {
            QChar c = input[i];
            const Verdict v = e->FilterChar(c);
            if (v != Verdict::Accept) {
                if (v == Verdict::Refuse)
                    e->refusedByGuard_ = true;
                return Invalid;
            }
            input[i] = c;
        }

        const int units = e->Measure(input);
        if (units > e->limit_ && units >= e->Measure(before))
            return Invalid;
        if (!e->AllowChange(before, input))
            return Invalid;
        return Acceptable;
    }

private:
    FilteredEdit* edit_;
};

FilteredEdit::FilteredEdit(QWidget* parent) : QLineEdit(parent)
{
    setValidator(new Guard(this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { accepted_ = text; });
    connect(this, &QLineEdit::inputRejected, this, [this] {
        if (!refusedByGuard_)
            return;
        refusedByGuard_ = false;
        // Not from inside the edit's own change handling: the message box
        // runs an event loop of its own.
        QTimer::singleShot(0, this, [this] { ReportRefused(); });
    });
}

void FilteredEdit::SetText(const QString& text)
{
    if (text == this->text())
        return;
    programmatic_ = true;
    setText(text);
    programmatic_ = false;
}

void FilteredEdit::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (typed.size() == 1 && !command && typed[0].isPrint()) {
        QChar c = typed[0];
        switch (FilterChar(c)) {
        case Verdict::Refuse:
            event->accept();
            ReportRefused();
            return;
        case Verdict::Drop:
            event->accept();
            return;
        case Verdict::Accept:
            break;
        }
        if (c != typed[0]) {
            QKeyEvent mapped(event->type(), event->key(), event->modifiers(), QString(c),
                             event->isAutoRepeat(), ushort(event->count()));
            QLineEdit::keyPressEvent(&mapped);
            event->setAccepted(mapped.isAccepted());
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}
