#include "dialogs/CDtmfDlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMetaObject>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

#include "dialogs/CAutodialPage.h"
#include "dialogs/CDtmfDecodePage.h"
#include "dialogs/CDtmfEncodePage.h"
#include "dialogs/DialogEntry.h"
#include "ui/DialogUnits.h"
#include "ui/Language.h"
#include "ui/OptionList.h"
#include "image/RadioSettings.h"
#include "dialogs/SettingsControls.h"

// ---------------------------------------------------------------- tab strip

CDtmfTabCtrl::CDtmfTabCtrl(QWidget* parent) : QWidget(parent)
{
    bar_ = new QTabBar(this);
    bar_->setObjectName(QStringLiteral("tabs"));
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    bar_->installEventFilter(this);
    connect(bar_, &QTabBar::currentChanged, this, &CDtmfTabCtrl::OnBarChanged);
}

int CDtmfTabCtrl::AddPage(const QString& title, QWidget* page, int templateId)
{
    if (count_ >= kMaxPages)
        return 0;
    pages_[count_].title = title;
    pages_[count_].templateId = templateId;
    pages_[count_].page = page;
    ++count_;
    return 1;
}

void CDtmfTabCtrl::CreatePages()
{
    for (int i = 0; i < count_; ++i) {
        QWidget* page = pages_[i].page;
        page->setParent(this);
        page->hide();
        QMetaObject::invokeMethod(page, "OnInitDialog", Qt::DirectConnection);
        const QSignalBlocker quiet(bar_);
        bar_->insertTab(i, pages_[i].title);
    }
    current_ = 0;
    {
        const QSignalBlocker quiet(bar_);
        bar_->setCurrentIndex(0);
    }
    LayoutPages();
    ShowOnly(0);
}

void CDtmfTabCtrl::LayoutPages()
{
    bar_->setGeometry(QRect(QPoint(2, 2), bar_->sizeHint()));
    if (count_ == 0)
        return;
    // Pages fill the pane below the tab items, inside its frame.
    const QRect item = bar_->tabRect(0).translated(bar_->pos());
    const int left = item.left();
    const int top = item.top() + item.height() + 1;
    const QRect pane(left, top, width() - left - 2, height() - top - 2);
    for (int i = 0; i < count_; ++i) {
        pages_[i].page->setGeometry(pane);
        pages_[i].page->raise();
    }
}

void CDtmfTabCtrl::ShowOnly(int index)
{
    for (int i = 0; i < count_; ++i)
        if (i != index)
            pages_[i].page->hide();
    if (index >= 0 && index < count_)
        pages_[index].page->show();
}

int CDtmfTabCtrl::SelectPage(int index)
{
    if (index < 0 || index >= count_)
        return -1;
    if (index == current_)
        return current_;
    const int former = current_;
    pages_[current_].page->hide();
    current_ = index;
    pages_[current_].page->show();
    const QSignalBlocker quiet(bar_);
    bar_->setCurrentIndex(index);
    return former;
}

bool CDtmfTabCtrl::MayLeaveCurrent()
{
    auto* decode = qobject_cast<CDtmfDecodePage*>(Page(current_));
    if (!decode || decode->ValidateStunCode())
        return true;
    decode->StunEdit()->setFocus(Qt::OtherFocusReason);
    return false;
}

int CDtmfTabCtrl::NextPage()
{
    if (!MayLeaveCurrent())
        return -2;
    return SelectPage(current_ + 1);
}

bool CDtmfTabCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == bar_) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                // The stun code is checked before the press is processed,
                // even on the tab already shown.
                if (!MayLeaveCurrent())
                    return true;
                pressChecked_ = true;
            }
        } else if (type != QEvent::Paint) {
            pressChecked_ = false;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CDtmfTabCtrl::OnBarChanged(int index)
{
    if (index == current_ || index < 0 || index >= count_)
        return;
    // Keyboard and wheel reach the tab items too: the same check applies.
    const bool checked = pressChecked_;
    pressChecked_ = false;
    if (!checked && !MayLeaveCurrent()) {
        const QSignalBlocker quiet(bar_);
        bar_->setCurrentIndex(current_);
        return;
    }
    pages_[current_].page->hide();
    current_ = index;
    pages_[current_].page->show();
}

void CDtmfTabCtrl::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    const int top = bar_->geometry().bottom() + 1 - overlap;
    frame.rect = QRect(0, top, width(), height() - top);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = bar_->size();
    frame.tabBarRect = bar_->geometry();
    frame.selectedTabRect = bar_->tabRect(bar_->currentIndex()).translated(bar_->pos());
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

void CDtmfTabCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutPages();
}

// ------------------------------------------------------------------- dialog

namespace {
const char* const kEncodeSections[7] = {"CDTMFKey", "CDCode", "CPTTID", "CTONETIME",
                                         "CFIRSTDTMFTIME", "CFIRSTDTMFDELAYTIME", "CDTMFSPEED"};
const char* const kDecodeSections[6] = {"CAutoReset", "CTranspond", "CCallAlert",
                                         "CGroupCode", "CINTERMEDIATE_CODE", "CDTMFSign"};

int Low(uint32_t value) { return int(value & 0xFF); }
// Lists whose first entry is "not set" (0xFF) and whose next entries are 0, 1, 2, ...
int ShownAfterUnset(uint32_t value) { return Low(value) == 0xFF ? 0 : Low(value) + 1; }
uint32_t StoredAfterUnset(int position) { return position == 0 ? 0xFF : uint32_t(position - 1); }
// Lists whose first entry is "not set" and whose entry k stands for the value k.
int ShownInPlace(uint32_t value) { return Low(value) == 0xFF ? 0 : Low(value); }
uint32_t StoredInPlace(int position) { return position == 0 ? 0xFF : uint32_t(position); }
// Off (0xFF) / on (0x00) lists.
int ShownOnOff(uint32_t value) { return Low(value) == 0xFF ? 0 : 1; }
uint32_t StoredOnOff(int position) { return position == 0 ? 0xFF : 0x00; }

template <std::size_t N>
QString FieldText(const char (&field)[N])
{
    const std::string_view bytes = GetText(field);
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}
template <std::size_t N>
void StoreField(char (&field)[N], const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    SetText(field, std::string_view(bytes.constData(), std::size_t(bytes.size())));
}
} // namespace

CDtmfDlg::CDtmfDlg(QWidget* parent) : CSettingsDlg(parent)
{
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.Size(283, 187));

    tab_ = PlaceControl(new CDtmfTabCtrl(this), du, 1084, 7, 7, 269, 153);
    encode_ = new CDtmfEncodePage(tab_);
    decode_ = new CDtmfDecodePage(tab_);
    autodial_ = new CAutodialPage(tab_);
    encode_->setObjectName(QStringLiteral("page137"));
    decode_->setObjectName(QStringLiteral("page138"));
    autodial_->setObjectName(QStringLiteral("page139"));
    for (QWidget* page : {static_cast<QWidget*>(encode_), static_cast<QWidget*>(decode_),
                          static_cast<QWidget*>(autodial_)})
        page->hide();

    MakeOkCancel(this, du, 172, 220, 167);
}

CDtmfDlg::~CDtmfDlg()
{
    if (filtering_)
        qApp->removeEventFilter(this);
}

void CDtmfDlg::LoadFrom(const RadioSettings& s, const OptionList& options)
{
    for (int i = 0; i < 7; ++i)
        encodeOptionText[i] = options.ReadSection(QString::fromLatin1(kEncodeSections[i]));
    for (int i = 0; i < 6; ++i)
        decodeOptionText[i] = options.ReadSection(QString::fromLatin1(kDecodeSections[i]));

    for (int k = 0; k < 9; ++k)
        autodial[k] = FieldText(s.autodial[k]);
    botText = FieldText(s.botCode);
    eotText = FieldText(s.eotCode);

    encodePosition[CDtmfEncodePage::KeyFormat] = ShownOnOff(s.dtmfKeyFormat);
    encodePosition[CDtmfEncodePage::DKey] = ShownInPlace(s.dKeyAssignment);
    encodePosition[CDtmfEncodePage::PttId] = ShownAfterUnset(s.pttId);
    encodePosition[CDtmfEncodePage::ToneTime] = ShownAfterUnset(s.starHashToneTime);
    encodePosition[CDtmfEncodePage::FirstTime] = ShownAfterUnset(s.firstDigitTime);
    encodePosition[CDtmfEncodePage::FirstDelay] = Low(s.firstDigitDelay) - 2;
    encodePosition[CDtmfEncodePage::Speed] = ShownAfterUnset(s.dtmfSpeed);
    holdTime = int(s.dtmfHoldTime);
    storeAndSend = s.storeAndSendOff == 0 ? 1 : 0;

    decodePosition[CDtmfDecodePage::AutoReset] = ShownInPlace(s.autoResetTimer);
    decodePosition[CDtmfDecodePage::Transpond] = ShownAfterUnset(s.transpond);
    decodePosition[CDtmfDecodePage::CallAlert] = ShownAfterUnset(s.callAlert);
    decodePosition[CDtmfDecodePage::GroupCode] = Low(s.groupCode) == 0xFF ? 0 : Low(s.groupCode) - 9;
    decodePosition[CDtmfDecodePage::Intermediate] = ShownAfterUnset(s.intermediateCode);
    decodePosition[CDtmfDecodePage::Signalling] = ShownOnOff(s.dtmfSignalling);
    idCode = FieldText(s.idCode);
    stunCode = FieldText(s.stunCode);
    stunAllow = Low(s.stunAllow) == 0xFF ? 1 : 0;
    clearTranspond = s.clearTranspondOff != 1 ? 1 : 0;
}

void CDtmfDlg::StoreTo(RadioSettings& s) const
{
    // A list without a selection reads -1 and goes through the same rules.
    s.dtmfKeyFormat = StoredOnOff(encodePosition[CDtmfEncodePage::KeyFormat]);
    s.dKeyAssignment = StoredInPlace(encodePosition[CDtmfEncodePage::DKey]);
    s.pttId = StoredAfterUnset(encodePosition[CDtmfEncodePage::PttId]);
    s.starHashToneTime = StoredAfterUnset(encodePosition[CDtmfEncodePage::ToneTime]);
    s.firstDigitTime = StoredAfterUnset(encodePosition[CDtmfEncodePage::FirstTime]);
    s.firstDigitDelay = uint32_t(encodePosition[CDtmfEncodePage::FirstDelay] + 2);
    s.dtmfSpeed = StoredAfterUnset(encodePosition[CDtmfEncodePage::Speed]);
    s.dtmfHoldTime = uint32_t(holdTime);
    s.storeAndSendOff = storeAndSend ? 0 : 1;
    StoreField(s.botCode, botText);
    StoreField(s.eotCode, eotText);

    s.autoResetTimer = StoredInPlace(decodePosition[CDtmfDecodePage::AutoReset]);
    s.transpond = StoredAfterUnset(decodePosition[CDtmfDecodePage::Transpond]);
    s.callAlert = StoredAfterUnset(decodePosition[CDtmfDecodePage::CallAlert]);
    const int group = decodePosition[CDtmfDecodePage::GroupCode];
    s.groupCode = group == 0 ? 0xFF : uint32_t(group + 9);
    s.intermediateCode = StoredAfterUnset(decodePosition[CDtmfDecodePage::Intermediate]);
    s.dtmfSignalling = StoredOnOff(decodePosition[CDtmfDecodePage::Signalling]);
    StoreField(s.idCode, idCode);
    StoreField(s.stunCode, stunCode);
    s.stunAllow = stunAllow ? 0xFF : 0x00;
    s.clearTranspondOff = clearTranspond ? 0 : 1;

    for (int k = 0; k < 9; ++k)
        StoreField(s.autodial[k], autodial[k]);
    s.carriedByte1079 = 0xFF;
}

void CDtmfDlg::showEvent(QShowEvent* event)
{
    if (!filtering_) {
        // Enter is seen before the focused control gets it, as a message
        // pre-filter would.
        qApp->installEventFilter(this);
        filtering_ = true;
    }
    CSettingsDlg::showEvent(event);
}

void CDtmfDlg::hideEvent(QHideEvent* event)
{
    if (filtering_) {
        qApp->removeEventFilter(this);
        filtering_ = false;
    }
    QDialog::hideEvent(event);
}

void CDtmfDlg::OnInitDialog()
{
    setWindowTitle(QStringLiteral("DTMF"));
    SetOkCancelTexts(this);

    tab_->AddPage(Lang("Encode", "编码"), encode_, 137);
    tab_->AddPage(Lang("Decode", "解码"), decode_, 138);
    tab_->AddPage(Lang("Autodial Memory", "自动拨号存储单元"), autodial_, 139);

    for (int i = 0; i < 7; ++i) {
        encode_->optionText[i] = encodeOptionText[i];
        encode_->position[i] = encodePosition[i];
    }
    encode_->botText = botText;
    encode_->eotText = eotText;
    encode_->holdTime = holdTime;
    encode_->storeAndSend = storeAndSend;
    for (int i = 0; i < 6; ++i) {
        decode_->optionText[i] = decodeOptionText[i];
        decode_->position[i] = decodePosition[i];
    }
    decode_->idCode = idCode;
    decode_->stunCode = stunCode;
    decode_->stunAllow = stunAllow;
    decode_->clearTranspond = clearTranspond;
    for (int k = 0; k < 9; ++k)
        autodial_->text[k] = autodial[k];

    tab_->CreatePages();
}

void CDtmfDlg::accept()
{
    encode_->UpdateData(true);
    encode_->ReadPositions();
    decode_->UpdateData(true);
    decode_->ReadPositions();
    autodial_->UpdateData(true);
    if (!decode_->ValidateStunCode())
        return;

    for (int i = 0; i < 7; ++i)
        encodePosition[i] = encode_->position[i];
    holdTime = encode_->holdTime;
    storeAndSend = encode_->storeAndSend;
    botText = encode_->botText.toUpper();
    eotText = encode_->eotText.toUpper();
    for (int i = 0; i < 6; ++i)
        decodePosition[i] = decode_->position[i];
    idCode = decode_->idCode;
    stunCode = decode_->stunCode;
    stunAllow = decode_->stunAllow;
    clearTranspond = decode_->clearTranspond;
    for (int k = 0; k < 9; ++k)
        autodial[k] = autodial_->text[k].toUpper();
    QDialog::accept();
}

bool CDtmfDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (dispatchingEnter_ || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return QDialog::eventFilter(watched, event);
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || (target != this && !isAncestorOf(target)))
        return QDialog::eventFilter(watched, event);

    const int result = tab_->NextPage();
    if (result == -1) {
        // The last page: Enter does what it does in any dialog, pressing the
        // focused push button or else the default one.
        dispatchingEnter_ = true;
        QApplication::sendEvent(watched, event);
        dispatchingEnter_ = false;
    }
    // -2: the stun code was refused and the focus put on it; an Enter there
    // does nothing more.
    event->accept();
    return true;
}

bool RunDtmfDialog(QWidget* parent, RadioSettings& settings, const OptionList& options)
{
    return RunSettingsDialog<CDtmfDlg>(parent, settings, options);
}
