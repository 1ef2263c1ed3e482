#pragma once
#include "ui/FilteredEdit.h"

// An edit for DTMF digit codes (BOT, EOT, autodial memories): only 0-9, A-D
// (either case), "#" and "*" may be typed; anything else is refused with a
// message. Lower-case letters stay as typed; the dialog upper-cases the
// codes when it stores them.
class CDtmfCodeEdit : public FilteredEdit {
    Q_OBJECT
public:
    explicit CDtmfCodeEdit(QWidget* parent = nullptr) : FilteredEdit(parent) {}

    static bool IsDtmfSymbol(QChar c);

protected:
    Verdict FilterChar(QChar& c) const override;
    void ReportRefused() override;
};
