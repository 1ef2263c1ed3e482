#include "dialogs/CEmbeddedMsgDlg.h"

#include <QLabel>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>

#include "dialogs/DialogEntry.h"
#include "ui/DialogUnits.h"
#include "ui/Language.h"
#include "image/RadioSettings.h"
#include "dialogs/SettingsControls.h"

QByteArray CMessageEdit::ToGbk(const QString& text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

QString CMessageEdit::FromGbk(const QByteArray& bytes)
{
    QStringDecoder decoder("GBK");
    return decoder.decode(bytes);
}

int CMessageEdit::Measure(const QString& text) const { return int(ToGbk(text).size()); }

int CMessageEdit::UnstorableCount(const QString& text)
{
    int count = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder encoder("GBK");
        // The conversion runs when its result becomes a byte array.
        const QByteArray bytes = encoder.encode(QStringView(text).mid(i, width));
        if (encoder.hasError())
            ++count;
        i += width;
    }
    return count;
}

bool CMessageEdit::AllowChange(const QString& before, const QString& after) const
{
    // A stored text may already hold such characters; no new ones come in.
    return UnstorableCount(after) <= UnstorableCount(before);
}

namespace {
template <std::size_t N>
QByteArray FieldBytes(const char (&field)[N])
{
    const std::string_view bytes = GetText(field);
    return QByteArray(bytes.data(), qsizetype(std::min<std::size_t>(bytes.size(), CEmbeddedMsgDlg::kMaxBytes)));
}

template <std::size_t N>
void PutText(char (&field)[N], const QByteArray& bytes)
{
    static_assert(N > CEmbeddedMsgDlg::kMaxBytes);
    const std::size_t n = std::min<std::size_t>(std::size_t(bytes.size()), CEmbeddedMsgDlg::kMaxBytes);
    std::memcpy(field, bytes.constData(), n);
    field[n] = '\0';
}
} // namespace

CEmbeddedMsgDlg::CEmbeddedMsgDlg(QWidget* parent) : CSettingsDlg(parent)
{
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.Size(202, 81));

    edit1_ = PlaceControl(new CMessageEdit(this), du, 1088, 55, 12, 140, 14);
    MakeLabel(this, du, 1086, 9, 16, 41, 8)->setBuddy(edit1_);
    edit2_ = PlaceControl(new CMessageEdit(this), du, 1085, 55, 35, 140, 14);
    MakeLabel(this, du, 1087, 9, 38, 41, 8)->setBuddy(edit2_);
    MakeOkCancel(this, du, 73, 123, 61);
}

void CEmbeddedMsgDlg::LoadFrom(const RadioSettings& settings)
{
    stored1_ = FieldBytes(settings.message1);
    stored2_ = FieldBytes(settings.message2);
    message1 = shown1_ = CMessageEdit::FromGbk(stored1_);
    message2 = shown2_ = CMessageEdit::FromGbk(stored2_);
}

void CEmbeddedMsgDlg::StoreTo(RadioSettings& settings) const
{
    PutText(settings.message1, message1 == shown1_ ? stored1_ : CMessageEdit::ToGbk(message1));
    PutText(settings.message2, message2 == shown2_ ? stored2_ : CMessageEdit::ToGbk(message2));
}

void CEmbeddedMsgDlg::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        message1 = edit1_->text();
        message2 = edit2_->text();
    } else {
        edit1_->SetLimitText(kMaxBytes);
        edit2_->SetLimitText(kMaxBytes);
        edit1_->SetText(message1);
        edit2_->SetText(message2);
    }
}

void CEmbeddedMsgDlg::OnInitDialog()
{
    UpdateData(false);
    setWindowTitle(Lang("Embedded Message", "嵌入信息"));
    findChild<QLabel*>(IdName(1086))->setText(Lang("Message 1:", "信息1:"));
    findChild<QLabel*>(IdName(1087))->setText(Lang("Message 2:", "信息2:"));
    SetOkCancelTexts(this);
}

void CEmbeddedMsgDlg::accept()
{
    UpdateData(true);
    QDialog::accept();
}

bool RunEmbeddedMsgDialog(QWidget* parent, RadioSettings& settings)
{
    return RunSettingsDialog<CEmbeddedMsgDlg>(parent, settings);
}
