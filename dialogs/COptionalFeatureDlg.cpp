#include "dialogs/COptionalFeatureDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "dialogs/DialogEntry.h"
#include "ui/DialogUnits.h"
#include "ui/Language.h"
#include "dialogs/ListIndexOfByte.h"
#include "ui/OptionList.h"
#include "image/RadioSettings.h"
#include "dialogs/SettingsControls.h"

const int COptionalFeatureDlg::kListIds[ListCount] = {1081, 1062, 1063, 1064, 1066, 1067, 1068, 1069};
// The time-out timer list has always taken its wording from "COptSign".
const char* const COptionalFeatureDlg::kSections[ListCount] = {
    "Ckeylock", "COptSign", "CTOTAlert", "CTOTReKey", "CTOTReset", "Csquelchlevel", "Clamp", "Cvoxgain"};

namespace {
struct LabelRow {
    int id, x, y, w, h;
    const char* english;
    const char* chinese;
};
// Each label with the list it names.
const LabelRow kLabels[COptionalFeatureDlg::ListCount] = {
    {1073, 9, 43, 36, 8, "Key Lock:", "键锁:"},
    {1074, 9, 58, 76, 8, "Time Out Timer(s):", "超时定时器[TOT](秒)"},
    {1075, 9, 73, 76, 8, "TOT Pre_Alert(s):", "TOT预告警(秒)"},
    {1076, 9, 88, 76, 8, "TOT Rekey Time(s):", "TOT再键时间(秒):"},
    {1077, 142, 42, 67, 8, "TOT Reset Time(s):", "TOT复位时间(秒):"},
    {1078, 142, 57, 67, 8, "Squelch Operation:", "静噪电平:"},
    {1079, 142, 72, 67, 8, "Lamp Operation:", "照明操作:"},
    {1080, 142, 87, 67, 8, "VOX Gain:", "声控增益:"},
};
struct ListPlace {
    int x, y, w;
};
const ListPlace kListPlaces[COptionalFeatureDlg::ListCount] = {
    {48, 41, 87}, {87, 55, 48}, {87, 71, 48}, {87, 85, 48},
    {211, 41, 58}, {211, 55, 58}, {211, 71, 58}, {211, 85, 58},
};

// The timer lists keep "not set" (0xFF) as their first entry.
int TimerPosition(uint32_t value)
{
    const uint32_t b = value & 0xFF;
    return b == 0xFF ? 0 : int(b);
}
uint32_t TimerValue(int position) { return position == 0 ? 0xFF : uint32_t(position) & 0xFF; }
} // namespace

COptionalFeatureDlg::COptionalFeatureDlg(QWidget* parent) : CSettingsDlg(parent)
{
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    // Wider than the classic 267 units, and the check boxes and right-hand
    // column spread out: the texts are wider in the fonts found here.
    setFixedSize(du.Size(277, 158));

    MakeGroup(this, du, 1071, 4, 4, 268, 23);
    MakeGroup(this, du, 1072, 4, 29, 268, 101);

    clone_ = MakeCheck(this, du, 1059, 11, 12, 87, 10);
    selfProg_ = MakeCheck(this, du, 1060, 100, 12, 100, 10);
    test_ = MakeCheck(this, du, 1061, 205, 12, 62, 10);
    for (int i = 0; i < ListCount; ++i) {
        const LabelRow& l = kLabels[i];
        QLabel* label = MakeLabel(this, du, l.id, l.x, l.y, l.w, l.h);
        lists_[i] = MakeDropList(this, du, kListIds[i], kListPlaces[i].x, kListPlaces[i].y, kListPlaces[i].w);
        label->setBuddy(lists_[i]);
    }
    beep_ = MakeCheck(this, du, 1065, 9, 103, 60, 8);
    battery_ = MakeCheck(this, du, 1070, 142, 102, 93, 10);

    MakeOkCancel(this, du, 148, 197, 137);
}

void COptionalFeatureDlg::LoadFrom(const RadioSettings& s, const OptionList& options)
{
    for (int i = 0; i < ListCount; ++i)
        optionText[i] = options.ReadSection(QString::fromLatin1(kSections[i]));

    position[KeyLock] = int(s.keyLock);
    position[Tot] = int(s.tot);
    position[TotPreAlert] = TimerPosition(s.totPreAlert);
    position[TotRekey] = TimerPosition(s.totRekey);
    position[TotReset] = TimerPosition(s.totReset);
    position[Squelch] = int(s.squelchLevel);
    position[Lamp] = ListIndexOfByte(s.lampMode);
    position[VoxGain] = ListIndexOfByte(s.voxGain);
    wirelessClone = int(s.wirelessClone);
    selfProgramming = int(s.selfProgramming);
    testMode = int(s.testMode);
    beepTone = int(s.beepTone);
    batterySave = int(s.batterySave);
}

void COptionalFeatureDlg::StoreTo(RadioSettings& s) const
{
    // A list left without a selection reads -1, which goes through the same rules.
    s.keyLock = uint32_t(position[KeyLock]);
    s.tot = uint32_t(position[Tot]) & 0xFF;
    s.totPreAlert = TimerValue(position[TotPreAlert]);
    s.totRekey = TimerValue(position[TotRekey]);
    s.totReset = TimerValue(position[TotReset]);
    s.squelchLevel = uint32_t(position[Squelch]) & 0xFF;
    s.lampMode = position[Lamp] == 0 ? 0xFF : uint32_t(position[Lamp] - 1);
    s.voxGain = position[VoxGain] == 0 ? 0xFF : uint32_t(position[VoxGain] - 1) & 0xFF;
    s.wirelessClone = uint32_t(wirelessClone);
    s.selfProgramming = uint32_t(selfProgramming);
    s.testMode = uint32_t(testMode);
    s.beepTone = uint32_t(beepTone);
    s.batterySave = uint32_t(batterySave);
}

void COptionalFeatureDlg::UpdateData(bool saveAndValidate)
{
    struct Pair {
        QCheckBox* box;
        int* value;
    };
    const Pair pairs[] = {{clone_, &wirelessClone}, {selfProg_, &selfProgramming}, {test_, &testMode},
                          {beep_, &beepTone}, {battery_, &batterySave}};
    for (const Pair& p : pairs) {
        if (saveAndValidate)
            *p.value = p.box->isChecked() ? 1 : 0;
        else
            p.box->setChecked(*p.value != 0);
    }
}

void COptionalFeatureDlg::OnInitDialog()
{
    UpdateData(false);

    setWindowTitle(Lang("Optional Feature", "可选功能"));
    findChild<QGroupBox*>(IdName(1071))->setTitle(Lang("MODE", "模式"));
    clone_->setText(Lang("Wireless Clone Mode", "无线复制模式"));
    selfProg_->setText(Lang("Self Programming Mode", "自台编程"));
    test_->setText(Lang("Test Mode", "测试模式"));
    for (const LabelRow& l : kLabels)
        findChild<QLabel*>(IdName(l.id))->setText(Lang(l.english, l.chinese));
    beep_->setText(Lang("Beep Tone", "提示音"));
    battery_->setText(Lang("Battery Save", "省电"));
    SetOkCancelTexts(this);
    ShowPositions(lists_, optionText, position);
}

void COptionalFeatureDlg::accept()
{
    ReadPositions(lists_, position);
    UpdateData(true);
    QDialog::accept();
}

bool RunOptionalFeatureDialog(QWidget* parent, RadioSettings& settings, const OptionList& options)
{
    return RunSettingsDialog<COptionalFeatureDlg>(parent, settings, options);
}
