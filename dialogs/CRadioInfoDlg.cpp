#include "dialogs/CRadioInfoDlg.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/DialogEntry.h"
#include "ui/DialogUnits.h"
#include "ui/Language.h"
#include "image/ModelTable.h"
#include "image/RadioSettings.h"
#include "dialogs/SettingsControls.h"

namespace {

// The radio's two identification texts are 8 characters each, letters and
// digits; anything unprintable in them is left out rather than shown as
// garbage.
QString Printable(std::string_view text)
{
    QString out;
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F)
            out += QLatin1Char(c);
    }
    return out.trimmed();
}

// The labels keep their place (29 units in) unless a text would run up to
// its box; then the column of labels starts further left, together, so the
// usual gap of 3 units stays before every box.
void FitLabels(std::initializer_list<std::pair<QLabel*, const QWidget*>> rows, const DialogUnits& du)
{
    int left = du.X(29);
    for (const auto& [label, box] : rows) {
        const int text = label->fontMetrics().horizontalAdvance(label->text()) + label->margin() * 2;
        left = std::min(left, box->x() - du.X(3) - text);
    }
    left = std::max(0, left);
    for (const auto& [label, box] : rows)
        label->setGeometry(left, label->y(), box->x() - du.X(3) - left, label->height());
}

} // namespace

CRadioInfoDlg::CRadioInfoDlg(QWidget* parent) : QDialog(parent)
{
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.Size(203, 84));

    auto makeRow = [&](int labelId, int editId, int y, QLabel*& label, QLineEdit*& edit) {
        // 35 units on the original; FitLabels gives it what its text needs.
        label = MakeLabel(this, du, labelId, 29, y + 2, 35, 8);
        edit = PlaceControl(new QLineEdit(this), du, editId, 68, y, 105, 14);
        edit->setReadOnly(true);
        label->setBuddy(edit);
    };
    makeRow(1160, 1163, 5, typeLabel_, typeEdit_);
    makeRow(1161, 1164, 25, frequencyLabel_, frequencyEdit_);
    makeRow(1162, 1165, 45, serialLabel_, serialEdit_);

    ok_ = MakeButton(this, du, 1, 82, 66, 38, 13);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

void CRadioInfoDlg::LoadFrom(const RadioSettings& settings)
{
    typeText.clear();
    frequencyText.clear();
    if (const ModelRow* row = ModelTable::Find(GetText(settings.modelCode))) {
        typeText = QString::fromLatin1(row->modelName);
        frequencyText = QString::fromLatin1(row->bandText);
    }
    // The information job reads two identification texts from the radio
    // that nothing else shows; they are what the radio reports about
    // itself, so they go in the serial number box.
    const QString first = Printable(GetText(settings.infoText1));
    const QString second = Printable(GetText(settings.infoText2));
    serialText = (first.isEmpty() || second.isEmpty()) ? first + second : first + QLatin1Char(' ') + second;
}

void CRadioInfoDlg::showEvent(QShowEvent* event)
{
    OnInitDialog();
    QDialog::showEvent(event);
}

void CRadioInfoDlg::OnInitDialog()
{
    typeEdit_->setText(typeText);
    frequencyEdit_->setText(frequencyText);
    serialEdit_->setText(serialText);
    typeEdit_->setCursorPosition(0);
    frequencyEdit_->setCursorPosition(0);
    serialEdit_->setCursorPosition(0);

    setWindowTitle(Lang("Radio Information", "对讲机信息"));
    typeLabel_->setText(Lang("Type :", "机型:"));
    frequencyLabel_->setText(Lang("Frequency:", "频率:"));
    serialLabel_->setText(Lang("Serial No.:", " 系列号:"));
    const DialogUnits du(font());
    FitLabels({{typeLabel_, typeEdit_}, {frequencyLabel_, frequencyEdit_}, {serialLabel_, serialEdit_}}, du);
    ok_->setText(Lang("OK", "确定"));
    typeEdit_->setAccessibleName(Lang("Type", "机型"));
    frequencyEdit_->setAccessibleName(Lang("Frequency", "频率"));
    serialEdit_->setAccessibleName(Lang("Serial No.", "系列号"));
    ok_->setFocus();
}

void RunRadioInfoDialog(QWidget* parent, const RadioSettings& settings)
{
    CRadioInfoDlg dialog(parent);
    dialog.LoadFrom(settings);
    dialog.exec();
}
