#include "app/DocumentUndo.h"

#include "app/CZEMTRA800Doc.h"
#include "ui/Language.h"

QString StepName::Text() const { return IsChinese() ? chinese : english; }

DocumentStep::DocumentStep(CZEMTRA800Doc& doc, StepName name, DocumentSnapshot before, DocumentSnapshot after)
    : doc_(doc), name_(std::move(name)), before_(std::move(before)), after_(std::move(after))
{
    setText(name_.english);
}

void DocumentStep::undo() { doc_.Restore(before_); }

void DocumentStep::redo()
{
    if (!pushed_) {
        pushed_ = true;
        return;
    }
    doc_.Restore(after_);
}
