#include "dialogs/CAutodialPage.h"

#include <QLabel>

#include "ui/CDtmfCodeEdit.h"
#include "ui/DialogUnits.h"
#include "ui/Language.h"
#include "dialogs/SettingsControls.h"

const int CAutodialPage::kEditIds[kMemories] = {1056, 1097, 1098, 1099, 1100, 1101, 1102, 1103, 1104};

CAutodialPage::CAutodialPage(QWidget* parent) : QWidget(parent)
{
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    resize(du.Size(274, 141));
    for (int k = 0; k < kMemories; ++k) {
        // As tall as its edit, so that the number sits level with the text.
        QLabel* label = MakeLabel(this, du, -1, 18, 10 + 13 * k, 8, 12);
        label->setObjectName(QString());
        label->setText(QString::number(k + 1));
        edits_[k] = PlaceControl(new CDtmfCodeEdit(this), du, kEditIds[k], 52, 10 + 13 * k, 188, 12);
        label->setBuddy(edits_[k]);
    }
}

void CAutodialPage::OnInitDialog()
{
    for (int k = 0; k < kMemories; ++k) {
        edits_[k]->SetLimitText(16);
        edits_[k]->setAccessibleName(Lang("Autodial Memory %1", "自动拨号存储单元%1").arg(k + 1));
    }
    UpdateData(false);
}

void CAutodialPage::UpdateData(bool saveAndValidate)
{
    for (int k = 0; k < kMemories; ++k) {
        if (saveAndValidate)
            text[k] = edits_[k]->text();
        else
            edits_[k]->SetText(text[k]);
    }
}
