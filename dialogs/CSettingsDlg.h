#pragma once
#include <QDialog>

class RadioSettings;

// A dialog that edits part of RadioSettings: the opener fills its transfer
// members (LoadFrom), the first showing moves them into the controls
// (OnInitDialog), OK reads them back (accept) and the opener stores them
// (StoreTo).
class CSettingsDlg : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    // Moves the transfer members into the controls without showing the
    // dialog (the first showing then does not do it again): the printout
    // reads the settings off the controls as the dialog would show them.
    void Prepare();

protected:
    virtual void OnInitDialog() = 0;
    void showEvent(QShowEvent* event) override;

private:
    bool initialised_ = false;
};

// Runs dialog D modally on settings; true, with the fields stored, on OK.
template <class D, class... Load>
bool RunSettingsDialog(QWidget* parent, RadioSettings& settings, const Load&... load)
{
    D dialog(parent);
    dialog.LoadFrom(settings, load...);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.StoreTo(settings);
    return true;
}
