#include "CDtmfEncodePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "CDtmfCodeEdit.h"
#include "DialogUnits.h"
#include "Language.h"
#include "OptionList.h"
#include "SettingsControls.h"

const int CDtmfEncodePage::kListIds[ListCount] = {1096, 1095, 1093, 1094, 1091, 1092, 1058};

namespace {
struct Row {
    int labelId, lx, ly, lw;
    const char* english;
    const char* chinese;
    int x, y, w; // the list or edit the label names
};
const Row kListRows[CDtmfEncodePage::ListCount] = {
    {1135, 153, 48, 68, "No.of DTMF Keys:", "DTMF键制式:", 217, 47, 48},
    {1134, 153, 33, 70, "D Key Assignment:", "D键设定:", 217, 31, 48},
    {1130, 9, 66, 81, "PTT ID:", "PTT ID:", 96, 62, 48},
    {1133, 153, 18, 52, "* and # Tone(ms):", "*和#音(毫秒):", 217, 16, 48},
    {1128, 9, 34, 81, "First Digit Time(ms):", "首位数码时间(毫秒):", 96, 31, 48},
    {1129, 9, 50, 81, "First Digit Delay(ms):", "首位数码延迟(毫秒):", 96, 47, 48},
    {1127, 9, 18, 81, "DTMF Speed(digit / s):", "DTMF速率(数字 / 秒):", 96, 16, 48},
};
const Row kBotRow = {1131, 9, 82, 81, "Begin of TX code:", "传送ID信号的开始(BOT):", 96, 77, 114};
const Row kEotRow = {1132, 9, 98, 81, "End of TX code:", "传送ID信号的结束(EOT):", 96, 93, 114};
} // namespace

CDtmfEncodePage::CDtmfEncodePage(QWidget* parent) : QWidget(parent)
{
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    resize(du.Size(274, 141));

    for (int i = 0; i < ListCount; ++i) {
        const Row& r = kListRows[i];
        QLabel* label = MakeLabel(this, du, r.labelId, r.lx, r.ly, r.lw, 8);
        lists_[i] = MakeDropList(this, du, kListIds[i], r.x, r.y, r.w);
        label->setBuddy(lists_[i]);
    }
    auto makeCode = [&](const Row& r, int id) {
        QLabel* label = MakeLabel(this, du, r.labelId, r.lx, r.ly, r.lw, 8);
        auto* edit = new CDtmfCodeEdit(this);
        edit->setObjectName(IdName(id));
        du.Place(edit, r.x, r.y, r.w, 14);
        label->setBuddy(edit);
        return edit;
    };
    bot_ = makeCode(kBotRow, 1056);
    eot_ = makeCode(kEotRow, 1097);
    hold_ = MakeCheck(this, du, 1136, 9, 114, 95, 8);
    storeSend_ = MakeCheck(this, du, 1137, 153, 112, 95, 8);
}

void CDtmfEncodePage::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        botText = bot_->text();
        eotText = eot_->text();
        holdTime = hold_->isChecked() ? 1 : 0;
        storeAndSend = storeSend_->isChecked() ? 1 : 0;
    } else {
        bot_->SetText(botText);
        eot_->SetText(eotText);
        hold_->setChecked(holdTime != 0);
        storeSend_->setChecked(storeAndSend != 0);
    }
}

void CDtmfEncodePage::ReadPositions()
{
    for (int i = 0; i < ListCount; ++i)
        position[i] = SelectedPosition(lists_[i]);
}

void CDtmfEncodePage::OnInitDialog()
{
    bot_->SetLimitText(16);
    eot_->SetLimitText(16);
    UpdateData(false);

    for (const Row& r : kListRows)
        findChild<QLabel*>(IdName(r.labelId))->setText(Lang(r.english, r.chinese));
    findChild<QLabel*>(IdName(kBotRow.labelId))->setText(Lang(kBotRow.english, kBotRow.chinese));
    findChild<QLabel*>(IdName(kEotRow.labelId))->setText(Lang(kEotRow.english, kEotRow.chinese));
    hold_->setText(Lang("DTMF Hold Time", "DTMF保持时间"));
    storeSend_->setText(Lang("Store and Send", "存储和发送"));

    for (int i = 0; i < ListCount; ++i) {
        FillComboFromList(lists_[i], optionText[i]);
        SelectPosition(lists_[i], position[i]);
    }
    ApplyPttIdRule();
    UpdateData(false);
    connect(lists_[PttId], &QComboBox::currentIndexChanged, this, [this] { ApplyPttIdRule(); });
}

void CDtmfEncodePage::ApplyPttIdRule()
{
    const int ptt = SelectedPosition(lists_[PttId]);
    UpdateData(true);
    const bool botOpen = ptt != 0 && ptt != 2;
    const bool eotOpen = ptt != 0 && ptt != 1;
    bot_->setEnabled(botOpen);
    eot_->setEnabled(eotOpen);
    if (!botOpen)
        botText.clear();
    if (!eotOpen)
        eotText.clear();
    UpdateData(false);
}
