#include "dialogs/CKeyAssignDlg.h"

#include <QComboBox>
#include <QLabel>

#include "dialogs/DialogEntry.h"
#include "ui/DialogUnits.h"
#include "ui/Language.h"
#include "dialogs/ListIndexOfByte.h"
#include "ui/OptionList.h"
#include "image/RadioSettings.h"
#include "dialogs/SettingsControls.h"

CKeyAssignDlg::CKeyAssignDlg(QWidget* parent) : CSettingsDlg(parent)
{
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    // Wider than the classic 145 units so that the longest function fits.
    setFixedSize(du.Size(165, 51));

    QLabel* label = MakeLabel(this, du, 1082, 8, 9, 62, 8);
    list_ = MakeDropList(this, du, 1083, 72, 7, 86);
    label->setBuddy(list_);
    MakeOkCancel(this, du, 36, 90, 31);
}

void CKeyAssignDlg::LoadFrom(const RadioSettings& settings, const OptionList& options)
{
    optionText = options.ReadSection(QStringLiteral("CKeyAssig"));
    position = ListIndexOfByte(settings.moniKey);
}

void CKeyAssignDlg::StoreTo(RadioSettings& settings) const
{
    // No selection reads -1 and stores 0xFE, as the rule gives.
    settings.moniKey = position == 0 ? 0xFF : uint32_t(position - 1) & 0xFF;
}

void CKeyAssignDlg::OnInitDialog()
{
    setWindowTitle(Lang("Key Assignment", "键设定"));
    findChild<QLabel*>(IdName(1082))->setText(Lang("Key Assignment:", "监听器(Moni):"));
    SetOkCancelTexts(this);
    FillAndSelect(list_, optionText, position);
}

void CKeyAssignDlg::accept()
{
    position = SelectedPosition(list_);
    QDialog::accept();
}

bool RunKeyAssignDialog(QWidget* parent, RadioSettings& settings, const OptionList& options)
{
    return RunSettingsDialog<CKeyAssignDlg>(parent, settings, options);
}
