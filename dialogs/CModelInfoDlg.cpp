#include "dialogs/CModelInfoDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "ui/AppMessage.h"
#include "ui/CFrequencyEdit.h"
#include "dialogs/ChannelUpdateSink.h"
#include "dialogs/DialogEntry.h"
#include "ui/DialogUnits.h"
#include "ui/Language.h"
#include "image/ModelTable.h"
#include "ui/OptionList.h"
#include "ui/Profile.h"
#include "image/RadioSettings.h"
#include "dialogs/SettingsControls.h"

namespace {

constexpr int kBand476Position = 7;
constexpr int kUnknownBandPosition = 8;

QString Mhz(double value) { return QString::number(value, 'f', 5); }

long long IntegerPart(const QString& text) { return CDigitsOnlyEdit::IntegerOf(text); }

} // namespace

CModelInfoDlg::CModelInfoDlg(ChannelUpdateSink& view, QWidget* parent) : QDialog(parent), view_(view)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DialogUnits::DialogFont());
    BuildControls();
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

void CModelInfoDlg::BuildControls()
{
    const DialogUnits du(font());
    fullSize_ = du.Size(143, 115);
    setFixedSize(fullSize_);

    // Frames first, so that they lie beneath the controls they frame.
    upperArea_ = MakeGroup(this, du, 1150, 1, 0, 140, 50);
    upperArea_->hide();
    customFrame_ = MakeGroup(this, du, 1151, 2, 47, 139, 67);

    typeLabel_ = MakeLabel(this, du, 1054, 7, 11, 48, 8);
    modelList_ = PlaceControl(new QComboBox(this), du, 1053, 59, 8, 71, 12);
    modelList_->setMaxVisibleItems(12);
    ok_ = MakeButton(this, du, 1, 27, 30, 38, 13);
    ok_->setDefault(true);
    cancel_ = MakeButton(this, du, 2, 77, 30, 38, 13);
    cancel_->setAutoDefault(false);

    lowestLabel_ = MakeLabel(this, du, 1153, 7, 60, 60, 8);
    lowestEdit_ = PlaceControl(new QLineEdit(this), du, 1156, 68, 58, 63, 12);
    highestLabel_ = MakeLabel(this, du, 1154, 7, 73, 58, 8);
    highestEdit_ = PlaceControl(new QLineEdit(this), du, 1157, 68, 71, 63, 12);
    middleLabel_ = MakeLabel(this, du, 1155, 7, 86, 60, 8);
    middleEdit_ = PlaceControl(new QLineEdit(this), du, 1158, 68, 84, 63, 12);
    oscillatorBox_ = MakeCheck(this, du, 1159, 7, 99, 57, 8);

    lowestEdit_->setMaxLength(9);
    highestEdit_->setMaxLength(9);
    middleEdit_->setMaxLength(8);
    typeLabel_->setBuddy(modelList_);
    lowestLabel_->setBuddy(lowestEdit_);
    highestLabel_->setBuddy(highestEdit_);
    middleLabel_->setBuddy(middleEdit_);

    connect(ok_, &QPushButton::clicked, this, &CModelInfoDlg::OnOK);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(modelList_, &QComboBox::activated, this, [this] {
        ControlsToMembers();
        ApplyListRule();
    });
    for (QLineEdit* e : {lowestEdit_, highestEdit_, middleEdit_})
        connect(e, &QLineEdit::textEdited, this, [this, e] { OnFrequencyTyped(e); });
}

void CModelInfoDlg::SetTexts()
{
    setWindowTitle(Lang("Model Information", "型式信息"));
    typeLabel_->setText(Lang("Model Type:", "型式:"));
    ok_->setText(Lang("OK", "确定"));
    cancel_->setText(Lang("Cancel", "取消"));
    lowestLabel_->setText(Lang("Lowest Frequency:", "最低频率:"));
    highestLabel_->setText(Lang("Highest Frequency:", "最高频率:"));
    middleLabel_->setText(Lang("Middle Frequency:", "第一中频:"));
    oscillatorBox_->setText(Lang("High Local Oscillator", "高本振"));
    for (QLabel* l : {typeLabel_, lowestLabel_, highestLabel_, middleLabel_})
        l->buddy()->setAccessibleName(StripColon(l->text()));

    // The layout was drawn for a narrow Windows font. Where a label needs
    // more room here, the frequency fields give up width on their left (they
    // still hold "999.00000"); the check box may run to the frame.
    const DialogUnits du(font());
    const QFontMetrics fm(font());
    int needed = 0;
    for (QLabel* l : {lowestLabel_, highestLabel_, middleLabel_})
        needed = std::max(needed, fm.horizontalAdvance(l->text()) + 2);
    const int fieldRight = du.X(131);
    const int minField = fm.horizontalAdvance(QStringLiteral("999.000000")) + 8;
    const int fieldLeft = std::min(std::max(du.X(68), du.X(7) + needed + du.X(2)), fieldRight - minField);
    for (QLabel* l : {lowestLabel_, highestLabel_, middleLabel_})
        l->resize(fieldLeft - du.X(1) - l->x(), l->height());
    for (QLineEdit* e : {lowestEdit_, highestEdit_, middleEdit_})
        e->setGeometry(fieldLeft, e->y(), fieldRight - fieldLeft, e->height());
    const int boxWant = oscillatorBox_->sizeHint().width();
    if (boxWant > oscillatorBox_->width())
        oscillatorBox_->resize(std::min(boxWant, du.X(138) - oscillatorBox_->x()), oscillatorBox_->height());
    const int typeWant = fm.horizontalAdvance(typeLabel_->text()) + 2;
    if (typeWant > typeLabel_->width())
        typeLabel_->resize(std::min(typeWant, modelList_->x() - typeLabel_->x() - 1), typeLabel_->height());
}

// The band texts are wider here than in the narrow Windows font: the list
// grows to the right edge of the upper area and, if need be, to the left up
// to its label.
void CModelInfoDlg::FitModelList()
{
    const DialogUnits du(font());
    const QFontMetrics fm(font());
    const int want = modelList_->sizeHint().width();
    if (want <= modelList_->width())
        return;
    const int right = std::min(du.X(138), modelList_->x() + want);
    const int labelEnd = typeLabel_->x() + fm.horizontalAdvance(typeLabel_->text()) + du.X(2);
    const int left = std::max(labelEnd, right - want);
    modelList_->setGeometry(left, modelList_->y(), right - left, modelList_->height());
    if (typeLabel_->x() + typeLabel_->width() > left)
        typeLabel_->resize(left - typeLabel_->x() - 1, typeLabel_->height());
}

void CModelInfoDlg::ControlsToMembers()
{
    lowest = lowestEdit_->text();
    highest = highestEdit_->text();
    middle = middleEdit_->text();
    highLocalOscillator = oscillatorBox_->isChecked() ? 1 : 0;
}

void CModelInfoDlg::MembersToControls()
{
    // Only changed texts are put back, so no caret jumps in the others.
    for (auto [edit, text] : {std::pair<QLineEdit*, QString*>{lowestEdit_, &lowest}, {highestEdit_, &highest},
                              {middleEdit_, &middle}}) {
        if (edit->text() != *text)
            edit->setText(*text);
    }
    oscillatorBox_->setChecked(highLocalOscillator != 0);
}

QString& CModelInfoDlg::MemberOf(QLineEdit* edit)
{
    if (edit == lowestEdit_)
        return lowest;
    if (edit == highestEdit_)
        return highest;
    return middle;
}

void CModelInfoDlg::OnInitDialog()
{
    MembersToControls();
    SetTexts();
    ShowCustomArea(0);

    modelList_->clear();
    const QStringList pieces = modelTypeText.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i) { // the piece after the last "|" is not an entry
        if (pieces[i].isEmpty())
            break;
        modelList_->insertItem(int(i), pieces[i]);
    }
    FitModelList();

    int position = -1;
    if (!bandText.isEmpty()) {
        const int n = modelList_->count();
        for (int k = 1; k <= n && position < 0; ++k) {
            const int i = k % n; // 1, 2, ..., n - 1, then 0
            if (modelList_->itemText(i).startsWith(bandText, Qt::CaseInsensitive))
                position = i;
        }
    }
    if (position < 0)
        position = kUnknownBandPosition;
    if (position == kUnknownBandPosition) {
        if (IntegerPart(lowest) < 100)
            lowest = QStringLiteral("100.00000");
        if (IntegerPart(highest) < 100)
            highest = QStringLiteral("999.00000");
        MembersToControls();
    }
    position_ = position;
    SelectPosition(modelList_, position);
    ApplyListRule();
}

void CModelInfoDlg::ApplyListRule()
{
    const int selected = modelList_->currentIndex();
    if (selected >= 0 && selected == modelList_->count() - 1) {
        ShowCustomArea(1);
        if (IntegerPart(lowest) < 100)
            lowest = QStringLiteral("100.00000");
        if (IntegerPart(highest) < 100) {
            highest = QStringLiteral("999.00000");
            middle = QStringLiteral("51.80000");
        }
        MembersToControls();
    } else {
        ShowCustomArea(0);
    }
}

void CModelInfoDlg::ShowCustomArea(int show)
{
    show = show ? 1 : 0;
    if (show == expanded_ || !upperArea_)
        return;
    const QRect upper = upperArea_->geometry();
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w != upperArea_ && !w->isWindow() && !w->geometry().intersects(upper))
            w->setEnabled(show != 0);
    }
    if (show) {
        setFixedSize(fullSize_);
        if (isVisible()) {
            // Keep the grown dialog on the screen.
            if (const QScreen* s = screen()) {
                const QRect avail = s->availableGeometry();
                QRect frame = frameGeometry();
                if (frame.right() > avail.right())
                    frame.moveRight(avail.right());
                if (frame.bottom() > avail.bottom())
                    frame.moveBottom(avail.bottom());
                if (frame.left() < avail.left())
                    frame.moveLeft(avail.left());
                if (frame.top() < avail.top())
                    frame.moveTop(avail.top());
                if (frame.topLeft() != frameGeometry().topLeft())
                    move(frame.topLeft());
            }
        }
        expanded_ = 1;
    } else {
        fullSize_ = size();
        upperArea_->hide();
        // The outer bottom-right corner goes to the corner of the upper area.
        const QRect frame = frameGeometry();
        const QRect client = geometry();
        const int rightBorder = frame.right() - client.right();
        const int bottomBorder = frame.bottom() - client.bottom();
        setFixedSize(upper.right() + 1 - rightBorder, upper.bottom() + 1 - bottomBorder);
        expanded_ = 0;
    }
}

void CModelInfoDlg::OnFrequencyTyped(QLineEdit* edit)
{
    if (!expanded_)
        return;
    const int pointPosition = edit == middleEdit_ ? 2 : 3;
    const QString before = MemberOf(edit);
    edited_ = 0;
    ControlsToMembers();
    const int selectionEnd = edit->hasSelectedText() ? edit->selectionEnd() : edit->cursorPosition();
    if (selectionEnd < 1)
        return;
    QString text = MemberOf(edit);
    const QChar c = text[selectionEnd - 1];
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
        if (selectionEnd == 1 && text.startsWith(QLatin1Char('0'))) {
            // No frequency starts with 0: take the typing back.
            MemberOf(edit) = before;
            edit->setText(before);
            edit->setCursorPosition(0);
            return;
        }
        text.remove(QLatin1Char('.'));
        if (text.size() > pointPosition - 1)
            text.insert(pointPosition, QLatin1Char('.'));
    } else {
        text.remove(selectionEnd - 1, 1);
    }
    MemberOf(edit) = text;
    edited_ = 1;
    MembersToControls();
    edit->setCursorPosition(std::min<int>(selectionEnd + 1, int(edit->text().size())));
}

void CModelInfoDlg::OnFrequencyLeft(QLineEdit* edit)
{
    if (!expanded_ || !edited_)
        return;
    ControlsToMembers();
    const bool isMiddle = edit == middleEdit_;
    const int length = isMiddle ? 8 : 9;
    QString& text = MemberOf(edit);
    while (text.size() < length)
        text += QLatin1Char('0');
    if (!text.contains(QLatin1Char('.'))) {
        text.insert(isMiddle ? 2 : 3, QLatin1Char('.'));
        text = text.left(length);
    }
    MembersToControls();
}

int CModelInfoDlg::ValidateModel()
{
    ControlsToMembers();
    if (!expanded_) {
        lowest.clear();
        highest.clear();
        custom = 0;
        MembersToControls();
        return 1;
    }
    custom = 1;
    if (lowest.isEmpty() || highest.isEmpty()) {
        AppMessage(this, Lang("Highest(lowest) frequency cann't be empty!", "最低频率(最高频率)不能为空!"));
        return 0;
    }
    const long long low = IntegerPart(lowest);
    const long long high = IntegerPart(highest);
    const long long mid = IntegerPart(middle);
    if (low >= high || mid < 20) {
        AppMessage(this, Lang("Highest frequency must be larger than lowest frequency!\n"
                              " Middle frequency must be no less than 20.0MHz!",
                              "最高频率必须大于最低频率!\n第一中频应大于20.0MHz "));
        return 0;
    }
    return 1;
}

void CModelInfoDlg::OnOK()
{
    if (modelList_->currentIndex() < 0)
        return; // nothing chosen: nothing to confirm
    if (!AppAskYesNo(this, Lang("All data will be cleared!", "要删除所有信道数据?")))
        return;
    ControlsToMembers();
    bandText = modelList_->currentText();
    // The entry is checked before anything is cleared, so a refused entry
    // followed by Cancel leaves the user's channels as they were.
    if (!ValidateModel())
        return;
    view_.OnChannelUpdate(1, 1);
    if (modelList_->currentIndex() == kBand476Position)
        band476 = 1;
    accept();
}

bool CModelInfoDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) {
        auto* w = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::KeyPress && w == QApplication::focusWidget()) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (IsEnterKey(key)) {
                if (w == ok_ || w == cancel_) {
                    static_cast<QPushButton*>(w)->click();
                } else if (QWidget* next = NextTabItem(this, w)) {
                    next->setFocus(Qt::TabFocusReason);
                }
                return true;
            }
        }
        if (event->type() == QEvent::FocusOut
            && (w == lowestEdit_ || w == highestEdit_ || w == middleEdit_)) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
                OnFrequencyLeft(static_cast<QLineEdit*>(w));
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------

bool RunModelInfoDialog(QWidget* parent, RadioSettings& settings, ModelState& model, const OptionList& options,
                        ChannelUpdateSink& view)
{
    CModelInfoDlg dialog(view, parent);
    dialog.modelTypeText = options.ReadSection(QStringLiteral("modeltype"));
    if (const ModelRow* row = ModelTable::Find(GetText(settings.modelCode)))
        dialog.bandText = QString::fromLatin1(row->bandText);
    if (model.customModel == 1) {
        dialog.custom = 1;
        dialog.lowest = QString::fromStdString(model.lowestFrequency);
        dialog.highest = QString::fromStdString(model.highestFrequency);
        dialog.middle = QString::fromStdString(model.firstIntermediateFrequency);
        dialog.highLocalOscillator = model.highSideOscillator;
    } else {
        dialog.lowest = Mhz(settings.lowerLimit);
        dialog.highest = Mhz(settings.upperLimit);
        dialog.middle = Mhz(settings.firstIf);
        dialog.highLocalOscillator = int(settings.highLocalOscillator);
    }
    dialog.OnInitDialog();
    if (dialog.exec() != QDialog::Accepted)
        return false;

    Profile::WriteInt(QStringLiteral("CHANNEL_DEFAULT"), QStringLiteral("ALLOWDEFAULT"), 0);
    model.bandText = dialog.bandText.toStdString();
    model.customModel = dialog.custom;
    model.band476 = dialog.band476;
    if (dialog.band476 == 1) {
        settings.ApplyFixedPlan();
        model.customModel = 0;
    }
    if (model.customModel == 1) {
        std::memset(settings.modelCode, 0, sizeof settings.modelCode);
        SetText(settings.modelCode, ModelTable::kCustomModelCode);
        model.lowestFrequency = dialog.lowest.toStdString();
        model.highestFrequency = dialog.highest.toStdString();
        model.firstIntermediateFrequency = dialog.middle.toStdString();
        model.highSideOscillator = dialog.highLocalOscillator;
        settings.upperLimit = CDigitsOnlyEdit::NumberOf(dialog.highest);
        settings.lowerLimit = CDigitsOnlyEdit::NumberOf(dialog.lowest);
        settings.firstIf = CDigitsOnlyEdit::NumberOf(dialog.middle);
        settings.bandCentre = 10.0 * std::trunc((settings.lowerLimit + settings.upperLimit) * 0.05);
        settings.highLocalOscillator = dialog.highLocalOscillator ? 1 : 0;
    } else {
        for (const ModelRow& row : ModelTable::Rows()) {
            if (QString::fromLatin1(row.bandText).compare(dialog.bandText, Qt::CaseInsensitive) == 0) {
                SetText(settings.modelCode, row.modelCode);
                break;
            }
        }
    }
    return true;
}
