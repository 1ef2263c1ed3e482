#include "dialogs/CDtmfDecodePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "ui/AppMessage.h"
#include "ui/DialogUnits.h"
#include "ui/Language.h"
#include "ui/OptionList.h"
#include "dialogs/SettingsControls.h"

namespace {
bool IsDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

struct Row {
    int labelId, lx, ly, lw;
    const char* english;
    const char* chinese;
    int y;
};
// Each list with its label; the lists share x 132 and width 84.
const Row kListRows[CDtmfDecodePage::ListCount] = {
    {1143, 29, 88, 96, "Auto Reset Timer (s):", "自动复位定时器(秒):", 86},
    {1142, 29, 73, 96, "Transpond:", "自动应答:", 71},
    {1141, 29, 58, 96, "Call Alert:", "呼叫报警:", 56},
    {1140, 29, 43, 96, "Group code:", "组代码:", 41},
    {1139, 29, 28, 96, "Intermediate Code:", "中间信令:", 26},
    {1138, 29, 13, 96, "DTMF Signalling:", "DTMF信令:", 11},
};
constexpr int kIdLimitLong = 10;  // without DTMF signalling
constexpr int kIdLimitShort = 3;  // with DTMF signalling
} // namespace

const int CDtmfDecodePage::kListIds[ListCount] = {1095, 1094, 1093, 1092, 1091, 1058};

FilteredEdit::Verdict CStunCodeEdit::FilterChar(QChar& c) const
{
    const char16_t u = c.unicode();
    if (IsDigit(c) || (u >= 'A' && u <= 'C'))
        return Verdict::Accept;
    if (u >= 'a' && u <= 'c') {
        c = QChar(char16_t(u - 'a' + 'A'));
        return Verdict::Accept;
    }
    return Verdict::Refuse;
}

void CStunCodeEdit::ReportRefused()
{
    AppMessage(this, Lang("Stun code input range [0-9,A-C]!", "遥毙码输入范围[0-9,A-C]!"));
}

FilteredEdit::Verdict CDigitEdit::FilterChar(QChar& c) const
{
    return IsDigit(c) ? Verdict::Accept : Verdict::Drop;
}

CDtmfDecodePage::CDtmfDecodePage(QWidget* parent) : QWidget(parent)
{
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    resize(du.Size(274, 141));

    // Created top to bottom so that the tab order follows the page.
    for (int i = ListCount - 1; i >= 0; --i) {
        const Row& r = kListRows[i];
        QLabel* label = MakeLabel(this, du, r.labelId, r.lx, r.ly, r.lw, 8);
        lists_[i] = MakeDropList(this, du, kListIds[i], 132, r.y, 84);
        label->setBuddy(lists_[i]);
    }
    id_ = PlaceControl(new CDigitEdit(this), du, 1056, 61, 100, 60, 14);
    MakeLabel(this, du, 1144, 21, 103, 39, 8)->setBuddy(id_);
    clearBox_ = MakeCheck(this, du, 1147, 151, 102, 84, 10);
    stunAllowBox_ = MakeCheck(this, du, 1146, 21, 118, 69, 10);
    stun_ = PlaceControl(new CStunCodeEdit(this), du, 1097, 191, 117, 60, 14);
    MakeLabel(this, du, 1145, 151, 119, 39, 8)->setBuddy(stun_);
}

void CDtmfDecodePage::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        idCode = id_->text();
        stunCode = stun_->text();
        stunAllow = stunAllowBox_->isChecked() ? 1 : 0;
        clearTranspond = clearBox_->isChecked() ? 1 : 0;
    } else {
        id_->SetText(idCode);
        stun_->SetText(stunCode);
        stunAllowBox_->setChecked(stunAllow != 0);
        clearBox_->setChecked(clearTranspond != 0);
    }
}

void CDtmfDecodePage::ReadPositions() { ::ReadPositions(lists_, position); }

void CDtmfDecodePage::OnInitDialog()
{
    stun_->SetLimitText(6);
    UpdateData(false);

    for (const Row& r : kListRows)
        findChild<QLabel*>(IdName(r.labelId))->setText(Lang(r.english, r.chinese));
    findChild<QLabel*>(IdName(1144))->setText(Lang("ID Code:", "ID 代码:"));
    findChild<QLabel*>(IdName(1145))->setText(Lang("Stun Code:", "遥毙码:"));
    clearBox_->setText(Lang("Clear to Transpond", "清除自动应答"));
    stunAllowBox_->setText(Lang("Stun Allow", "遥毙允许"));

    for (int i = 0; i < ListCount; ++i)
        FillComboFromList(lists_[i], optionText[i]);
    for (int i = 0; i < ListCount; ++i)
        if (i != Signalling)
            SelectPosition(lists_[i], position[i]);

    ApplyStunAllowRule();
    UpdateData(false); // shows the stored stun code when stun is allowed

    SelectPosition(lists_[Signalling], position[Signalling]);
    ApplySignallingAtOpening();

    connect(lists_[Signalling], &QComboBox::currentIndexChanged, this, [this] { OnSignallingChanged(); });
    connect(stunAllowBox_, &QCheckBox::clicked, this, [this] { ApplyStunAllowRule(); });
    connect(id_, &QLineEdit::textEdited, this, [this] { OnIdCodeEdited(); });
}

void CDtmfDecodePage::ApplyStunAllowRule()
{
    UpdateData(true);
    if (stunAllow == 0) {
        stunCode.clear();
        stun_->setEnabled(false);
        UpdateData(false);
    } else {
        // Allowing stun always starts from an empty code.
        stun_->setEnabled(true);
        stun_->SetText(QString());
    }
}

void CDtmfDecodePage::ApplySignallingAtOpening()
{
    const bool signalling = SelectedPosition(lists_[Signalling]) != 0;
    id_->SetLimitText(signalling ? kIdLimitShort : kIdLimitLong);
    lists_[Intermediate]->setEnabled(signalling);
    if (id_->text().isEmpty())
        id_->SetText(QStringLiteral("000"));
}

void CDtmfDecodePage::OnSignallingChanged()
{
    // Take in what the user has typed since the last exchange first, or the
    // exchange below would put back older codes and check marks.
    UpdateData(true);
    const bool signalling = SelectedPosition(lists_[Signalling]) != 0;
    id_->SetLimitText(signalling ? kIdLimitShort : kIdLimitLong);
    idCode = QStringLiteral("000");
    id_->SetText(idCode);
    lists_[Intermediate]->setEnabled(signalling);
    UpdateData(false);
}

void CDtmfDecodePage::OnIdCodeEdited()
{
    UpdateData(true);
    const int end = id_->hasSelectedText() ? id_->selectionEnd() : id_->cursorPosition();
    if (end >= 1 && end <= idCode.size() && !IsDigit(idCode[end - 1])) {
        idCode.remove(end - 1, 1);
        UpdateData(false);
        id_->setCursorPosition(end - 1);
    }
}

int CDtmfDecodePage::ValidateStunCode()
{
    UpdateData(true);
    if (stunAllow == 0)
        return 1;
    if (stunCode.size() < 6) {
        AppMessage(this, Lang("code length is too short ,must six length!", "请输入输入六位遥毙码!"));
        return 0;
    }
    const bool hasLetter = stunCode.contains(QLatin1Char('A')) || stunCode.contains(QLatin1Char('B'))
        || stunCode.contains(QLatin1Char('C'));
    if (!hasLetter) {
        AppMessage(this, Lang("must be has one letter at leas!", "遥毙码中,至少应包含一位字母!"));
        stunCode.clear();
        UpdateData(false);
        return 0;
    }
    UpdateData(false);
    return 1;
}
