#include "dialogs/CSettingsDlg.h"

void CSettingsDlg::showEvent(QShowEvent* event)
{
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}
