#pragma once
#include <QString>

#include "dialogs/CSettingsDlg.h"

class OptionList;
class QComboBox;
class RadioSettings;

// The function of the radio's monitor (Moni) key, chosen from the list of
// section "CKeyAssig".
class CKeyAssignDlg : public CSettingsDlg {
    Q_OBJECT
public:
    explicit CKeyAssignDlg(QWidget* parent = nullptr);

    int position = 0;
    QString optionText;

    void LoadFrom(const RadioSettings& settings, const OptionList& options);
    void StoreTo(RadioSettings& settings) const;

    QComboBox* ListControl() const { return list_; }

public slots:
    void accept() override;

protected:
    void OnInitDialog() override;

private:
    QComboBox* list_ = nullptr;
};
