#include "CKeyAssignDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "DialogEntry.h"
#include "DialogUnits.h"
#include "Language.h"
#include "ListIndexOfByte.h"
#include "OptionList.h"
#include "RadioSettings.h"
#include "SettingsControls.h"

CKeyAssignDlg::CKeyAssignDlg(QWidget* parent) : QDialog(parent)
{
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    // Wider than the classic 145 units so that the longest function fits.
    setFixedSize(du.Size(165, 51));

    QLabel* label = MakeLabel(this, du, 1082, 8, 9, 62, 8);
    list_ = MakeDropList(this, du, 1083, 72, 7, 86);
    label->setBuddy(list_);
    QPushButton* ok = MakeButton(this, du, 1, 36, 31, 38, 13);
    QPushButton* cancel = MakeButton(this, du, 2, 90, 31, 38, 13);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
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

void CKeyAssignDlg::showEvent(QShowEvent* event)
{
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CKeyAssignDlg::OnInitDialog()
{
    setWindowTitle(Lang("Key Assignment", "键设定"));
    findChild<QLabel*>(IdName(1082))->setText(Lang("Key Assignment:", "监听器(Moni):"));
    findChild<QPushButton*>(IdName(1))->setText(Lang("OK", "确定"));
    findChild<QPushButton*>(IdName(2))->setText(Lang("Cancel", "取消"));
    FillComboFromList(list_, optionText);
    SelectPosition(list_, position);
}

void CKeyAssignDlg::accept()
{
    position = SelectedPosition(list_);
    QDialog::accept();
}

bool RunKeyAssignDialog(QWidget* parent, RadioSettings& settings, const OptionList& options)
{
    CKeyAssignDlg dlg(parent);
    dlg.LoadFrom(settings, options);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    dlg.StoreTo(settings);
    return true;
}
