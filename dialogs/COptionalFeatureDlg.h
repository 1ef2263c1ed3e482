#pragma once
#include <QString>

#include "dialogs/CSettingsDlg.h"

class OptionList;
class QCheckBox;
class QComboBox;
class RadioSettings;

// Thirteen radio-wide options: five check boxes and eight lists whose
// wording comes from the configuration file; a list stores the position of
// its entry.
class COptionalFeatureDlg : public CSettingsDlg {
    Q_OBJECT
public:
    // The lists, in the order of their members.
    enum List { KeyLock, Tot, TotPreAlert, TotRekey, TotReset, Squelch, Lamp, VoxGain, ListCount };
    static const int kListIds[ListCount];
    static const char* const kSections[ListCount];

    explicit COptionalFeatureDlg(QWidget* parent = nullptr);

    // What the dialog edits; filled before it opens, read after OK.
    QString optionText[ListCount];
    int position[ListCount] = {};
    int wirelessClone = 0;
    int selfProgramming = 0;
    int testMode = 0;
    int beepTone = 0;
    int batterySave = 0;

    // Reads the eight configuration sections and sets the members from settings.
    void LoadFrom(const RadioSettings& settings, const OptionList& options);
    // Writes the thirteen fields; the OK result of the dialog.
    void StoreTo(RadioSettings& settings) const;

    QComboBox* ListControl(List list) const { return lists_[list]; }

public slots:
    void accept() override;

protected:
    void OnInitDialog() override;

private:
    void UpdateData(bool saveAndValidate);

    QComboBox* lists_[ListCount] = {};
    QCheckBox* clone_ = nullptr;
    QCheckBox* selfProg_ = nullptr;
    QCheckBox* test_ = nullptr;
    QCheckBox* beep_ = nullptr;
    QCheckBox* battery_ = nullptr;
};
