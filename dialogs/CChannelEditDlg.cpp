#include "dialogs/CChannelEditDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <initializer_list>

#include "ui/AppMessage.h"
#include "ui/CFrequencyEdit.h"
#include "dialogs/CToneCodeCombo.h"
#include "dialogs/ChannelUpdateSink.h"
#include "ui/DialogUnits.h"
#include "ui/Language.h"
#include "ui/OptionList.h"
#include "ui/Profile.h"
#include "image/ChannelRules.h"
#include "image/ModelTable.h"
#include "image/RadioSettings.h"
#include "image/ToneCode.h"
#include "dialogs/SettingsControls.h"

namespace {

const QString kDefaults = QStringLiteral("CHANNEL_DEFAULT");

constexpr int kFirstChannel = 1;
constexpr int kLastChannel = RadioSettings::kChannels;

QString Mhz(double value) { return QString::number(value, 'f', 5); }

bool IsNoneWord(const QString& text)
{
    const QString t = text.trimmed();
    return t.isEmpty() || t == QStringLiteral("无") || t.compare(QStringLiteral("None"), Qt::CaseInsensitive) == 0;
}

// The labels of the fields below the channel number, top to bottom, 12
// units apart; each names the field at the same step.
struct FieldLabel {
    int id;
    const char* english;
    const char* chinese;
};
const FieldLabel kFieldLabels[CChannelEditDlg::kFields] = {
    {1118, "Receive Frequency [MHz]:", "接收频率[MHz]"}, {1119, "Transmit Frequency [MHz]:", "发射频率[MHz]"},
    {1120, "QT / DQT Decode:", "QT/DQT解码:"},           {1121, "QT / DQT Encode:", "QT/DQT编码:"},
    {1122, "Option Signalling:", "可选信令:"},            {1123, "SP Unmute:", "SP不静音:"},
    {1124, "Busy Channel Lockout:", "遇忙禁发:"},         {1125, "Wide / Narrow:", "宽/窄:"},
};

} // namespace

// ---------------------------------------------------------------------------

CChannelSpin::CChannelSpin(QWidget* buddy, QWidget* parent) : QWidget(parent), buddy_(buddy)
{
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(false);
    }
    auto step = [this](int delta) {
        if (buddy_ && !buddy_->hasFocus())
            buddy_->setFocus(Qt::MouseFocusReason);
        emit positionChanging(delta);
    };
    connect(up_, &QToolButton::clicked, this, [step] { step(-1); });
    connect(down_, &QToolButton::clicked, this, [step] { step(+1); });
}

void CChannelSpin::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

// ---------------------------------------------------------------------------

CChannelEditDlg::CChannelEditDlg(const ChannelEditRequest& request, ChannelUpdateSink& view, QWidget* parent)
    : QDialog(parent),
      settings_(request.settings),
      view_(view),
      bandText_(request.bandText),
      lowestText_(request.lowestFrequency),
      highestText_(request.highestFrequency),
      band476_(request.band476),
      signallingList_(request.signallingList),
      wideNarrowList_(request.wideNarrowList),
      decodeCodeList_(request.decodeCodeList),
      encodeCodeList_(request.encodeCodeList),
      channel_(std::clamp(request.channel, kFirstChannel, kLastChannel))
{
    allowDefault_ = Profile::GetInt(kDefaults, QStringLiteral("ALLOWDEFAULT"), 0);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DialogUnits::DialogFont());
    BuildControls();
    OnInitDialog();
    // Enter and the arrow keys are looked at before the controls see them.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

void CChannelEditDlg::BuildControls()
{
    const DialogUnits du(font());
    setFixedSize(du.Size(264, 172));

    auto button = [&](int id, int x) {
        QPushButton* b = MakeButton(this, du, id, x, 147, 75, 13);
        b->setAutoDefault(false);
        b->setDefault(false);
        return b;
    };

    // Creation order is the tab order.
    frame_ = new QGroupBox(this);
    du.Place(frame_, 7, 13, 250, 124);

    channelLabel_ = MakeLabel(this, du, 1117, 62, 3, 48, 8);
    // The arrows sit at the right edge of the number field, which gives up
    // their width.
    channelEdit_ = PlaceControl(new CDigitsOnlyEdit(this), du, 1167, 111, 1, 45, 12);
    spin_ = PlaceControl(new CChannelSpin(channelEdit_, this), du, 1105, 156, 1, 10, 12);
    channelLabel_->setBuddy(channelEdit_);

    rxEdit_ = PlaceControl(new CFrequencyEdit(this), du, 1056, 111, 23, 65, 12);
    txEdit_ = PlaceControl(new CFrequencyEdit(this), du, 1097, 111, 35, 65, 12);
    rxCode_ = PlaceControl(new CToneCodeCombo(this), du, 1091, 111, 47, 65, 12);
    txCode_ = PlaceControl(new CToneCodeCombo(this), du, 1092, 111, 59, 65, 12);
    rxCode_->setMaxVisibleItems(12);
    txCode_->setMaxVisibleItems(12);
    signal_ = MakeDropList(this, du, 1093, 111, 71, 65);
    spUnmute_ = MakeDropList(this, du, 1094, 111, 83, 65);
    lockout_ = MakeDropList(this, du, 1095, 111, 95, 65);
    wideNarrow_ = MakeDropList(this, du, 1096, 111, 107, 65);
    QWidget* const fields[kFields] = {rxEdit_, txEdit_, rxCode_, txCode_, signal_, spUnmute_, lockout_, wideNarrow_};
    for (int k = 0; k < kFields; ++k) {
        fieldLabels_[k] = MakeLabel(this, du, kFieldLabels[k].id, 37, 25 + 12 * k, 72, 8);
        fieldLabels_[k]->setBuddy(fields[k]);
    }

    openChannelBox_ = MakeCheck(this, du, 1109, 186, 24, 64, 8);
    openTxBox_ = MakeCheck(this, du, 1110, 186, 38, 64, 8);
    beatShiftBox_ = MakeCheck(this, du, 1089, 13, 124, 43, 10);
    highPowerBox_ = MakeCheck(this, du, 1090, 91, 124, 50, 10);
    scanAddBox_ = MakeCheck(this, du, 1106, 178, 124, 78, 10);

    saveDefault_ = button(3, 11);
    deleteAll_ = button(4, 95);
    exit_ = button(2, 179);

    connect(beatShiftBox_, &QCheckBox::clicked, this, [this] { OnCheckBox(beatShiftBox_); });
    connect(highPowerBox_, &QCheckBox::clicked, this, [this] { OnCheckBox(highPowerBox_); });
    connect(scanAddBox_, &QCheckBox::clicked, this, [this] { OnCheckBox(scanAddBox_); });
    connect(openChannelBox_, &QCheckBox::clicked, this, &CChannelEditDlg::OnOpenChannel);
    connect(openTxBox_, &QCheckBox::clicked, this, &CChannelEditDlg::OnOpenTx);
    for (CToneCodeCombo* code : {rxCode_, txCode_}) {
        connect(code, &QComboBox::activated, this, [this, code](int index) { OnCodeSelected(code, index); });
        connect(code, &CToneCodeCombo::focusLost, this, [this, code] { OnCodeEntered(code); });
    }
    for (QComboBox* l : {signal_, spUnmute_, lockout_, wideNarrow_})
        connect(l, &QComboBox::activated, this, [this, l] { OnListSelected(l); });
    connect(channelEdit_, &CDigitsOnlyEdit::focusGained, this, &CChannelEditDlg::OnChannelFocusGained);
    connect(channelEdit_, &CDigitsOnlyEdit::focusLost, this, [this] { OnChannelFocusLost(); });
    connect(spin_, &CChannelSpin::positionChanging, this, &CChannelEditDlg::OnSpin);
    connect(rxEdit_, &CDigitsOnlyEdit::focusLost, this, &CChannelEditDlg::OnReceiveFocusLost);
    connect(txEdit_, &CDigitsOnlyEdit::focusLost, this, [this] { OnTransmitFocusLost(); });
    connect(saveDefault_, &QPushButton::clicked, this, &CChannelEditDlg::SaveAsDefaultChannel);
    connect(deleteAll_, &QPushButton::clicked, this, &CChannelEditDlg::DeleteAllChannels);
    connect(exit_, &QPushButton::clicked, this, &QDialog::reject);
}

void CChannelEditDlg::SetTexts()
{
    setWindowTitle(Lang("Channel Edit", "信道编辑"));
    channelLabel_->setText(Lang("Channel NO:", "信道号:"));
    for (int k = 0; k < kFields; ++k) {
        fieldLabels_[k]->setText(Lang(kFieldLabels[k].english, kFieldLabels[k].chinese));
        fieldLabels_[k]->buddy()->setAccessibleName(StripColon(fieldLabels_[k]->text()));
    }
    openChannelBox_->setText(Lang("Open Channel", "开启信道"));
    openTxBox_->setText(Lang("Open TX", "开启发射"));
    beatShiftBox_->setText(Lang("Beat Shift", "差拍偏移"));
    highPowerBox_->setText(Lang("Tx High Power", "发射高功率"));
    scanAddBox_->setText(Lang("Scan Add", "扫描添加"));
    saveDefault_->setText(Lang("Save as default", "存为默认信道值"));
    deleteAll_->setText(Lang("Delete all channels", "删除所有信道数据"));
    exit_->setText(Lang("Exit", "退出"));

    channelEdit_->setAccessibleName(StripColon(channelLabel_->text()));
    spin_->setAccessibleName(StripColon(channelLabel_->text()));
    spin_->UpButton()->setAccessibleName(Lang("Previous channel", "上一信道"));
    spin_->DownButton()->setAccessibleName(Lang("Next channel", "下一信道"));
}

// The layout was drawn for a narrow Windows font: where a text needs more
// room here, labels grow to the left (all together, so they stay aligned)
// and check boxes to the right, never into their neighbours.
void CChannelEditDlg::FitLabels()
{
    const DialogUnits du(font());
    const QFontMetrics fm(font());
    const int right = du.X(109);
    int needed = du.X(72);
    for (QLabel* l : fieldLabels_)
        needed = std::max(needed, fm.horizontalAdvance(l->text()) + 2);
    const int left = std::max(du.X(10), right - needed);
    for (QLabel* l : fieldLabels_)
        l->setGeometry(left, l->y(), right - left, l->height());
    {
        const int r = du.X(110);
        const int w = std::max(du.X(48), fm.horizontalAdvance(channelLabel_->text()) + 2);
        const int l = std::max(du.X(10), std::min(du.X(62), r - w));
        channelLabel_->setGeometry(l, channelLabel_->y(), r - l, channelLabel_->height());
    }
    auto widen = [&](QCheckBox* box, int maxRight) {
        const int want = box->sizeHint().width();
        if (want > box->width())
            box->resize(std::min(want, du.X(maxRight) - box->x()), std::max(box->height(), box->sizeHint().height()));
    };
    widen(openChannelBox_, 256);
    widen(openTxBox_, 256);
    widen(beatShiftBox_, 89);
    widen(highPowerBox_, 176);
    widen(scanAddBox_, 256);
}

void CChannelEditDlg::OnInitDialog()
{
    WriteMembers();
    SetTexts();
    FitLabels();

    const BandLimits band = BandLimitsOf(bandText_.toStdString(), lowestText_.trimmed().toStdString(),
                                         highestText_.trimmed().toStdString());
    lower_ = band.lower;
    upper_ = band.upper;
    rxEdit_->SetLimits(lower_, upper_);
    txEdit_->SetLimits(lower_, upper_);

    FillComboFromList(txCode_, encodeCodeList_);
    FillComboFromList(rxCode_, decodeCodeList_);
    if (IsBand476()) {
        txCode_->removeItem(2);
        rxCode_->removeItem(2);
    }
    FillComboFromList(signal_, signallingList_);
    FillComboFromList(wideNarrow_, wideNarrowList_);

    SelectPosition(signal_, Record().optionalSignalling ? 0 : 1);

    RefreshSquelchLists();
    ApplyChannelOpen(true);
    RefreshSquelchLists();
}

// ---------------------------------------------------------------------------
// Member exchange

bool CChannelEditDlg::ReadMembers(long long* typedNumber)
{
    openChannel_ = openChannelBox_->isChecked() ? 1 : 0;
    openTx_ = openTxBox_->isChecked() ? 1 : 0;
    beatShift_ = beatShiftBox_->isChecked() ? 1 : 0;
    txHighPower_ = highPowerBox_->isChecked() ? 1 : 0;
    scanAdd_ = scanAddBox_->isChecked() ? 1 : 0;

    bool ok = false;
    const long long number = channelEdit_->text().trimmed().toLongLong(&ok);
    if (!ok) {
        ChannelNumberRefused(Lang("Please enter an integer.", "请输入一个整数。"));
        return false;
    }
    if (typedNumber)
        *typedNumber = number;
    if (number < kFirstChannel || number > kLastChannel) {
        ChannelNumberRefused(Lang("Please enter an integer between 1 and 50.", "请输入一个介于 1 和 50 之间的整数。"));
        return false;
    }
    channel_ = int(number);
    return true;
}

void CChannelEditDlg::WriteMembers()
{
    const QString number = QString::number(channel_);
    if (channelEdit_->text() != number)
        channelEdit_->setText(number);
    openChannelBox_->setChecked(openChannel_ != 0);
    openTxBox_->setChecked(openTx_ != 0);
    beatShiftBox_->setChecked(beatShift_ != 0);
    highPowerBox_->setChecked(txHighPower_ != 0);
    scanAddBox_->setChecked(scanAdd_ != 0);
}

// The field keeps the channel the dialog is on; the user is sent back to it.
void CChannelEditDlg::ChannelNumberRefused(const QString& message)
{
    if (refusing_)
        return;
    refusing_ = true;
    AppMessage(this, message);
    channelEdit_->setText(QString::number(channel_));
    refusing_ = false;
    QPointer<CDigitsOnlyEdit> edit = channelEdit_;
    QTimer::singleShot(0, this, [edit] {
        if (edit && edit->isEnabled() && edit->window()->isVisible()) {
            edit->setFocus(Qt::OtherFocusReason);
            edit->selectAll();
        }
    });
}

ChannelRecord& CChannelEditDlg::Record() { return settings_->channels[channel_ - 1]; }

void CChannelEditDlg::Notify(int mode) { view_.OnChannelUpdate(channel_, mode); }

void CChannelEditDlg::SetBox(QCheckBox* box, int& member, bool checked)
{
    member = checked ? 1 : 0;
    box->setChecked(checked);
}

void CChannelEditDlg::ShowCode(CToneCodeCombo* combo, const char* code)
{
    const QString text = QString::fromLatin1(code, qsizetype(strnlen(code, 6)));
    if (text.isEmpty())
        SelectPosition(combo, 0);
    else
        combo->SetTextNoSelection(text);
}

// The list's first entry and the words for "no code" store as no code, also
// when they stand in the field as text (a stored default channel puts the
// texts of both code fields there).
bool CChannelEditDlg::IsNoCodeWord(const CToneCodeCombo* combo, const QString& text) const
{
    if (IsNoneWord(text))
        return true;
    return combo->count() > 0 && text.trimmed().compare(combo->itemText(0), Qt::CaseInsensitive) == 0;
}

QString CChannelEditDlg::StoredCode(const CToneCodeCombo* combo) const
{
    const int index = combo->currentIndex();
    if (index == 0)
        return QString();
    const QString text = index > 0 ? combo->itemText(index) : combo->currentText();
    if (index < 0 && IsNoCodeWord(combo, text))
        return QString();
    return text.left(ToneCode::kMaxLength);
}

// ---------------------------------------------------------------------------
// Channel operations

std::array<QWidget*, 10> CChannelEditDlg::ChannelControls() const
{
    return {rxCode_, txCode_, signal_, spUnmute_, lockout_, wideNarrow_, beatShiftBox_, highPowerBox_, scanAddBox_,
            openTxBox_};
}

void CChannelEditDlg::ApplyChannelOpen(bool reload)
{
    if (reload) {
        openChannel_ = ChannelInUse(Record()) ? 1 : 0;
        WriteMembers();
    }
    if (openChannel_) {
        for (QWidget* w : ChannelControls())
            w->setEnabled(true);
        saveDefault_->setEnabled(true);
        txEdit_->setEnabled(true);
        // Stored defaults fill a channel only right after the user opened it.
        if (openedByUser_ && allowDefault_)
            ApplyDefaultChannel();
        else
            LoadChannel();
        openedByUser_ = 0;
        return;
    }
    for (CToneCodeCombo* code : {rxCode_, txCode_}) {
        code->setEnabled(false);
        code->ClearSelectionAndText();
    }
    for (QComboBox* l : {signal_, spUnmute_, lockout_, wideNarrow_}) {
        l->setEnabled(false);
        l->setCurrentIndex(-1);
    }
    saveDefault_->setEnabled(false);
    rxEdit_->clear();
    txEdit_->setEnabled(false);
    txEdit_->clear();
    beatShiftBox_->setEnabled(false);
    highPowerBox_->setEnabled(false);
    scanAddBox_->setEnabled(false);
    openTxBox_->setEnabled(false);
    SetBox(beatShiftBox_, beatShift_, false);
    SetBox(highPowerBox_, txHighPower_, false);
    SetBox(scanAddBox_, scanAdd_, false);
    SetBox(openTxBox_, openTx_, false);
    WriteMembers();
    settings_->ResetChannel(channel_);
    Notify();
}

void CChannelEditDlg::EnterChannel(bool open, bool reload)
{
    openChannel_ = open ? 1 : 0;
    if (open)
        openedByUser_ = 0;
    ApplyChannelOpen(reload);
    RefreshSquelchLists();
}

void CChannelEditDlg::LoadChannel()
{
    ChannelRecord& r = Record();
    if (ChannelInUse(r)) {
        SetBox(openChannelBox_, openChannel_, true);
        rxEdit_->setText(Mhz(r.rxFrequency));
        if (FrequencyInUse(r.txFrequency)) {
            SetBox(openTxBox_, openTx_, true);
            txEdit_->setText(Mhz(r.txFrequency));
            txEdit_->setEnabled(true);
            txCode_->setEnabled(true);
            ShowCode(txCode_, r.txCode);
        } else {
            SetBox(openTxBox_, openTx_, false);
            txEdit_->clear();
            txEdit_->setEnabled(false);
            txCode_->ClearSelectionAndText();
            txCode_->setEnabled(false);
        }
    } else {
        // A channel just opened starts at the bottom of the band.
        rxEdit_->setText(Mhz(lower_));
        SetBox(openTxBox_, openTx_, true);
        r.txFrequency = lower_;
        txEdit_->setText(rxEdit_->text());
        txEdit_->setEnabled(true);
        txCode_->setEnabled(true);
        SelectPosition(txCode_, 0);
    }

    SetBox(beatShiftBox_, beatShift_, r.beatShiftOff == 0);
    SetBox(highPowerBox_, txHighPower_, r.highPower != 0);
    SetBox(scanAddBox_, scanAdd_, r.scanAdd != 0);
    SelectPosition(signal_, r.optionalSignalling ? 0 : 1);
    SelectPosition(wideNarrow_, r.wideNarrow ? 0 : 1);
    ShowCode(rxCode_, r.rxCode);
    // The squelch lists still hold the entries of the channel shown before;
    // build this channel's first, or a position that only its lists have
    // would be lost on the next store.
    FillSquelchLists();
    SelectPosition(spUnmute_, r.spUnmute ? 0 : 1);
    SelectPosition(lockout_, BusyLockoutPosition(r.busyLockout));

    if (IsBand476()) {
        // The fixed plan: frequencies and multi-channel actions are not the
        // user's to change, and some channels are not used at all.
        for (QWidget* w : std::initializer_list<QWidget*>{saveDefault_, deleteAll_, rxEdit_, txEdit_, openChannelBox_,
                                                         openTxBox_, signal_})
            w->setEnabled(false);
        const bool unused = !InFixedPlan(channel_);
        if (unused) {
            rxEdit_->clear();
            txEdit_->clear();
        }
        for (QWidget* w : std::initializer_list<QWidget*>{beatShiftBox_, highPowerBox_, scanAddBox_, rxCode_, txCode_,
                                                         spUnmute_, lockout_, wideNarrow_})
            w->setEnabled(!unused);
    }

    WriteMembers();
    RefreshSquelchLists();
}

void CChannelEditDlg::StoreChannel()
{
    ReadMembers();
    if (rxEdit_->text().isEmpty()) {
        settings_->ResetChannel(channel_);
        Notify();
        return;
    }
    ChannelRecord& r = Record();
    r.rxFrequency = CDigitsOnlyEdit::NumberOf(rxEdit_->text());
    r.txFrequency = txEdit_->text().isEmpty() ? 0.0 : CDigitsOnlyEdit::NumberOf(txEdit_->text());
    SetText(r.rxCode, StoredCode(rxCode_).toLatin1().toStdString());
    SetText(r.txCode, StoredCode(txCode_).toLatin1().toStdString());
    r.optionalSignalling = signal_->currentIndex() == 0 ? 1 : 0;
    r.spUnmute = spUnmute_->currentIndex() == 0 ? 1 : 0;
    r.busyLockout = BusyLockoutCode(lockout_->currentIndex());
    r.wideNarrow = wideNarrow_->currentIndex() == 0 ? 1 : 0;
    r.beatShiftOff = beatShift_ ? 0 : 1;
    r.highPower = txHighPower_ ? 1 : 0;
    r.scanAdd = scanAdd_ ? 1 : 0;
    r.carriedFlag13Bit3 = 1;
    MarkInUse(r);
    Notify();
}

void CChannelEditDlg::FillSquelchLists()
{
    const ChannelRecord& r = Record();
    const bool noTones = IsNoneWord(QString::fromUtf8(GetText(r.txCode).data(), qsizetype(GetText(r.txCode).size())))
        && IsNoneWord(QString::fromUtf8(GetText(r.rxCode).data(), qsizetype(GetText(r.rxCode).size())));
    const bool dtmf = signal_->currentIndex() == 1;
    if (noTones && !dtmf) {
        spUnmuteListText_ = Lang("carrier|", "载波|");
        lockoutListText_ = Lang("OFF|carrier|", "关|载波|");
    } else if (noTones) {
        spUnmuteListText_ = Lang("carrier|carrier+DTMF|", "载波|载波+DTMF|");
        lockoutListText_ = Lang("OFF|carrier|DTMF|", "关|载波|DTMF|");
    } else if (!dtmf) {
        spUnmuteListText_ = QStringLiteral("QT/DQT|");
        lockoutListText_ = Lang("OFF|carrier|QT/DQT|", "关|载波|QT/DQT|");
    } else {
        spUnmuteListText_ = QStringLiteral("QT/DQT|QT/DQT+DTMF|");
        lockoutListText_ = Lang("OFF|carrier|QT/DQT|DTMF|", "关|载波|QT/DQT|DTMF|");
    }
    FillComboFromList(spUnmute_, spUnmuteListText_);
    FillComboFromList(lockout_, lockoutListText_);
}

void CChannelEditDlg::RefreshSquelchLists()
{
    ReadMembers();
    if (!lockout_->isEnabled())
        lockout_->setCurrentIndex(-1);
    if (!spUnmute_->isEnabled()) {
        spUnmute_->setCurrentIndex(-1);
        return;
    }
    const int spSelected = spUnmute_->currentIndex();
    const int lockSelected = lockout_->currentIndex();
    FillSquelchLists();
    SelectPosition(spUnmute_, std::max(0, spSelected));
    if (spUnmute_->currentIndex() < 0)
        SelectPosition(spUnmute_, 0);
    SelectPosition(lockout_, std::max(0, lockSelected));
    if (lockout_->currentIndex() < 0)
        SelectPosition(lockout_, 0);

    // A chosen entry that the new lists no longer have falls back to the
    // first; the channel then holds what the dialog shows, not a condition
    // that no longer applies (say "carrier+DTMF" with DTMF switched off).
    ChannelRecord& r = Record();
    if (spSelected >= 0 && spUnmute_->currentIndex() != spSelected && spUnmute_->currentIndex() == 0)
        r.spUnmute = 1;
    if (lockSelected >= 0 && lockout_->isEnabled() && lockout_->currentIndex() != lockSelected
        && lockout_->currentIndex() == 0)
        r.busyLockout = BusyLockoutCode(0);
}

void CChannelEditDlg::ApplyDefaultChannel()
{
    auto getInt = [](const char* key) { return Profile::GetInt(kDefaults, QString::fromLatin1(key), 0); };
    auto getText = [](const char* key) { return Profile::GetString(kDefaults, QString::fromLatin1(key)); };

    SelectPosition(signal_, getInt("SIGNAL"));
    SelectPosition(wideNarrow_, getInt("WIDENORROW"));
    txCode_->SetTextNoSelection(getText("QT"));
    rxCode_->SetTextNoSelection(getText("DQT"));
    beatShift_ = getInt("BEARSHIFT") ? 1 : 0;
    scanAdd_ = getInt("SCANADD") ? 1 : 0;
    txHighPower_ = getInt("RF") ? 1 : 0;
    openChannel_ = getInt("RX") ? 1 : 0;
    openTx_ = getInt("TX") ? 1 : 0;
    rxEdit_->setText(getText("RXFRE"));
    txEdit_->setText(getText("TXFRE"));
    spUnmuteListText_ = getText("SQUELSEL");
    lockoutListText_ = getText("BUSYLOCKSEL");
    FillComboFromList(spUnmute_, spUnmuteListText_);
    FillComboFromList(lockout_, lockoutListText_);
    SelectPosition(lockout_, getInt("BUSYLOCK"));
    SelectPosition(spUnmute_, getInt("SQUEL"));
    WriteMembers();
    StoreChannel();
}

void CChannelEditDlg::SaveAsDefaultChannel()
{
    ReadMembers();
    if (rxEdit_->text().isEmpty()) {
        SetBox(openChannelBox_, openChannel_, false);
        SetBox(openTxBox_, openTx_, false);
        txEdit_->clear();
        txEdit_->setEnabled(false);
        for (QWidget* w : ChannelControls())
            w->setEnabled(false);
        WriteMembers();
        return;
    }
    allowDefault_ = 1;
    auto putInt = [](const char* key, int value) { Profile::WriteInt(kDefaults, QString::fromLatin1(key), value); };
    auto putText = [](const char* key, const QString& value) {
        Profile::WriteString(kDefaults, QString::fromLatin1(key), value);
    };
    putInt("ALLOWDEFAULT", 1);
    putInt("SIGNAL", signal_->currentIndex());
    putInt("WIDENORROW", wideNarrow_->currentIndex());
    putText("DQT", rxCode_->currentText());
    putText("QT", txCode_->currentText());
    putInt("BEARSHIFT", beatShift_);
    putInt("SCANADD", scanAdd_);
    putInt("RF", txHighPower_);
    putInt("RX", openChannel_);
    putInt("TX", openTx_);
    putText("RXFRE", rxEdit_->text());
    putText("TXFRE", txEdit_->text());
    putInt("SQUEL", spUnmute_->currentIndex());
    putText("SQUELSEL", spUnmuteListText_);
    putInt("BUSYLOCK", lockout_->currentIndex());
    putText("BUSYLOCKSEL", lockoutListText_);
    WriteMembers();
}

void CChannelEditDlg::DeleteAllChannels()
{
    if (!AppAskYesNo(this, Lang("will clear all channels data?", "要删除所有信道数据?")))
        return;
    SetBox(openChannelBox_, openChannel_, false);
    SetBox(openTxBox_, openTx_, false);
    rxEdit_->clear();
    txEdit_->clear();
    for (QWidget* w : ChannelControls())
        w->setEnabled(false);
    WriteMembers();
    Notify(1);
}

// ---------------------------------------------------------------------------
// Handlers

void CChannelEditDlg::OnCheckBox(QCheckBox* box)
{
    ReadMembers();
    ChannelRecord& r = Record();
    if (box == beatShiftBox_)
        r.beatShiftOff = beatShift_ ? 0 : 1;
    else if (box == highPowerBox_)
        r.highPower = txHighPower_ ? 1 : 0;
    else if (box == scanAddBox_)
        r.scanAdd = scanAdd_ ? 1 : 0;
    Notify();
}

void CChannelEditDlg::OnOpenChannel()
{
    ReadMembers();
    openedByUser_ = openChannelBox_->isChecked() ? 1 : 0;
    ApplyChannelOpen(false);
    StoreChannel();
}

void CChannelEditDlg::OnOpenTx()
{
    ReadMembers();
    ChannelRecord& r = Record();
    if (openTx_) {
        txCode_->setEnabled(true);
        txEdit_->setEnabled(true);
        txEdit_->setText(rxEdit_->text());
        r.txFrequency = CDigitsOnlyEdit::NumberOf(rxEdit_->text());
        ShowCode(txCode_, r.txCode);
    } else {
        txEdit_->setEnabled(false);
        txEdit_->clear();
        r.txFrequency = 0.0;
        txCode_->ClearSelectionAndText();
        SetText(r.txCode, "");
        txCode_->setEnabled(false);
    }
    // The raster flag goes with the frequency it describes.
    r.txStep625 = Step625Flag(r.txFrequency);
    WriteMembers();
    RefreshSquelchLists();
    Notify();
}

void CChannelEditDlg::OnCodeSelected(CToneCodeCombo* combo, int index)
{
    if (index >= 0) {
        ChannelRecord& r = Record();
        auto& field = combo == rxCode_ ? r.rxCode : r.txCode;
        SetText(field, "");
        if (index != 0)
            SetText(field, combo->itemText(index).left(ToneCode::kMaxLength).toLatin1().toStdString());
    }
    RefreshSquelchLists();
    Notify();
}

void CChannelEditDlg::OnCodeEntered(CToneCodeCombo* combo)
{
    if (combo->currentIndex() >= 0)
        return; // a chosen entry, not a typed code
    ReadMembers();
    QString text = combo->currentText();
    if (IsNoCodeWord(combo, text))
        return;
    text = text.left(ToneCode::kMaxLength).toUpper();
    if (ToneCode::IsDcs(text.toStdString())) {
        // Complete a DCS code by its length: "D2" -> "D200N".
        static const char* const kTails[] = {"000N", "00N", "0N", "N"};
        if (text.size() <= 4)
            text += QLatin1String(kTails[text.size() - 1]);
    } else {
        const double tone = CDigitsOnlyEdit::NumberOf(text);
        if (tone > 254.1)
            text = QStringLiteral("254.1");
        else if (tone < 67.0)
            text = QStringLiteral("67.0");
        else
            text = QString::number(tone, 'f', 1);
    }
    combo->SetTextNoSelection(text);
    ChannelRecord& r = Record();
    const std::string bytes = text.toLatin1().toStdString();
    if (combo == rxCode_) {
        SetText(r.rxCode, bytes);
        if (openTx_ && r.txCode[0] == 0) {
            SetText(r.txCode, bytes);
            txCode_->SetTextNoSelection(text);
        }
    } else {
        SetText(r.txCode, bytes);
    }
    RefreshSquelchLists();
    Notify();
}

void CChannelEditDlg::OnListSelected(QComboBox* list)
{
    const int index = list->currentIndex();
    ChannelRecord& r = Record();
    if (list == signal_)
        r.optionalSignalling = index == 0 ? 1 : 0;
    else if (list == spUnmute_)
        r.spUnmute = index == 0 ? 1 : 0;
    else if (list == lockout_)
        r.busyLockout = BusyLockoutCode(index);
    else if (list == wideNarrow_)
        r.wideNarrow = index == 0 ? 1 : 0;
    if (list == signal_)
        RefreshSquelchLists();
    Notify();
}

void CChannelEditDlg::OnChannelFocusGained(Qt::FocusReason reason)
{
    // Coming back from another window is not entering the field; only the
    // first focus when the dialog opens is.
    if (reason == Qt::PopupFocusReason || (reason == Qt::ActiveWindowFocusReason && firstFocusSeen_))
        return;
    firstFocusSeen_ = true;
    EnterChannel(ChannelInUse(Record()) || IsBand476(), !IsBand476());
}

void CChannelEditDlg::OnChannelFocusLost()
{
    if (refusing_ || !ReadMembers())
        return;
    Notify(2);
    EnterChannel(ChannelInUse(Record()), !IsBand476());
}

void CChannelEditDlg::OnSpin(int delta)
{
    Notify(0); // the channel being left
    long long number = channel_;
    ReadMembers(&number);
    if ((number < kFirstChannel && delta < 0) || (number > kLastChannel && delta > 0)) {
        WriteMembers();
        return;
    }
    channel_ = int(std::clamp<long long>(number + delta, kFirstChannel, kLastChannel));
    Notify(2);
    EnterChannel(ChannelInUse(Record()), true);
}

void CChannelEditDlg::OnReceiveFocusLost(QWidget* newFocus)
{
    ReadMembers();
    if (newFocus == openChannelBox_)
        return;
    ChannelRecord& r = Record();
    if (rxEdit_->text().isEmpty()) {
        r.rxFrequency = 0.0;
        SetBox(openChannelBox_, openChannel_, false);
        SetBox(openTxBox_, openTx_, false);
        txEdit_->clear();
        r.txFrequency = 0.0;
    } else if (newFocus != openTxBox_ && newFocus != channelEdit_) {
        r.rxFrequency = CDigitsOnlyEdit::NumberOf(rxEdit_->text());
        SetBox(openChannelBox_, openChannel_, true);
        if (!HasTransmitFrequency(r)) {
            r.txFrequency = r.rxFrequency;
            txEdit_->setText(rxEdit_->text());
            SetBox(openTxBox_, openTx_, true);
        }
    }
    WriteMembers();
    ApplyChannelOpen(true);
    StoreChannel();
}

void CChannelEditDlg::OnTransmitFocusLost()
{
    ReadMembers();
    ChannelRecord& r = Record();
    if (txEdit_->text().isEmpty()) {
        SetBox(openTxBox_, openTx_, false);
        r.txFrequency = 0.0;
        txEdit_->clear();
        txEdit_->setEnabled(false);
        SetText(r.txCode, "");
        txCode_->ClearSelectionAndText();
        txCode_->setEnabled(false);
    } else {
        SetBox(openTxBox_, openTx_, true);
        r.txFrequency = CDigitsOnlyEdit::NumberOf(txEdit_->text());
        txCode_->setEnabled(true);
        ShowCode(txCode_, r.txCode);
    }
    WriteMembers();
    StoreChannel();
}

bool CChannelEditDlg::OnEnterKey(QWidget* focus)
{
    QWidget* next = NextTabItem(this, focus);
    if (next == exit_) {
        // No default button: Enter ends the dialog with the OK result once
        // the channel number is valid.
        if (ReadMembers())
            accept();
        return true;
    }
    if (next)
        next->setFocus(Qt::TabFocusReason);
    return true;
}

bool CChannelEditDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsEnterKey(key) && watched == QApplication::focusWidget())
            return OnEnterKey(static_cast<QWidget*>(watched));
        if (watched == channelEdit_ && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            OnSpin(key->key() == Qt::Key_Up ? -1 : +1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CChannelEditDlg::done(int result)
{
    if (!closing_) {
        closing_ = true;
        // Closing with the keyboard or the window's close button leaves the
        // focus in a field: finish its entry as leaving it for "Exit" would.
        QWidget* focus = QApplication::focusWidget();
        if (focus == rxEdit_ || focus == txEdit_) {
            static_cast<CDigitsOnlyEdit*>(focus)->LoseFocusTo(exit_);
        } else if (focus == rxCode_ || focus == txCode_) {
            static_cast<CToneCodeCombo*>(focus)->LoseFocusTo(exit_);
        }
    }
    QDialog::done(result);
}

// ---------------------------------------------------------------------------

bool RunChannelEditDialog(QWidget* parent, const ChannelEditRequest& request, ChannelUpdateSink& view)
{
    if (!request.settings)
        return false;
    CChannelEditDlg dialog(request, view, parent);
    return dialog.exec() == QDialog::Accepted;
}
