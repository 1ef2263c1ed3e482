#include "ui/CDtmfCodeEdit.h"

#include "ui/AppMessage.h"
#include "ui/Language.h"

bool CDtmfCodeEdit::IsDtmfSymbol(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'D') || (u >= 'a' && u <= 'd') || u == '#'
        || u == '*';
}

FilteredEdit::Verdict CDtmfCodeEdit::FilterChar(QChar& c) const
{
    return IsDtmfSymbol(c) ? Verdict::Accept : Verdict::Refuse;
}

void CDtmfCodeEdit::ReportRefused()
{
    AppMessage(this, Lang("ID code input range[0-9,A-D,a-d,*#]!", "ID码输入范围[0-9,A-D,a-d,*#]!"));
}
