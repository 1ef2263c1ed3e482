#include "dialogs/CSettingsDlg.h"

void CSettingsDlg::Prepare()
{
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
}

void CSettingsDlg::showEvent(QShowEvent* event)
{
    Prepare();
    QDialog::showEvent(event);
}
