#include "dialogs/CDtmfEncodePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "ui/CDtmfCodeEdit.h"
#include "ui/DialogUnits.h"
#include "ui/Language.h"
#include "dialogs/SettingsControls.h"

const int CDtmfEncodePage::kListIds[ListCount] = {1096, 1095, 1093, 1094, 1091, 1092, 1058};

namespace {
struct Row {
    int labelId, lx, ly, lw;
    const char* english;
    const char* chinese;
    int x, y, w; // the list or edit the label names
};
// The lists sit a little further left and the right-hand labels are wider
// than on the classic page: the texts are wider in the fonts found here.
const Row kListRows[CDtmfEncodePage::ListCount] = {
    {1135, 146, 48, 66, "No.of DTMF Keys:", "DTMF键制式:", 214, 47, 50},
    {1134, 146, 33, 66, "D Key Assignment:", "D键设定:", 214, 31, 50},
    {1130, 9, 66, 79, "PTT ID:", "PTT ID:", 89, 62, 50},
    {1133, 146, 18, 66, "* and # Tone(ms):", "*和#音(毫秒):", 214, 16, 50},
    {1128, 9, 34, 79, "First Digit Time(ms):", "首位数码时间(毫秒):", 89, 31, 50},
    {1129, 9, 50, 79, "First Digit Delay(ms):", "首位数码延迟(毫秒):", 89, 47, 50},
    {1127, 9, 18, 79, "DTMF Speed(digit / s):", "DTMF速率(数字 / 秒):", 89, 16, 50},
};
const Row kBotRow = {1131, 9, 82, 79, "Begin of TX code:", "传送ID信号的开始(BOT):", 89, 77, 114};
const Row kEotRow = {1132, 9, 98, 79, "End of TX code:", "传送ID信号的结束(EOT):", 89, 93, 114};
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
        auto* edit = PlaceControl(new CDtmfCodeEdit(this), du, id, r.x, r.y, r.w, 14);
        MakeLabel(this, du, r.labelId, r.lx, r.ly, r.lw, 8)->setBuddy(edit);
        return edit;
    };
    bot_ = makeCode(kBotRow, 1056);
    eot_ = makeCode(kEotRow, 1097);
    hold_ = MakeCheck(this, du, 1136, 9, 114, 95, 8);
    storeSend_ = MakeCheck(this, du, 1137, 146, 112, 95, 8);
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

void CDtmfEncodePage::ReadPositions() { ::ReadPositions(lists_, position); }

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

    ShowPositions(lists_, optionText, position);
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
