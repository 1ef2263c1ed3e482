#include "dialogs/CCompareDlg.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStringDecoder>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dialogs/DialogEntry.h"
#include "ui/DialogUnits.h"
#include "ui/Language.h"

namespace {

using SettingsFields::Charset;
using SettingsFields::Kind;

QString FromStd(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// A text in double quotes, escaped as a JSON string is, so an empty text,
// spaces and control bytes all show.
QString Quoted(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QStringLiteral("\\\""); break;
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

QTableWidgetItem* Cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setToolTip(text);
    return item;
}

} // namespace

QString CCompareDlg::ValueText(const SettingsFields::Field& field, const SettingsFields::Value& value)
{
    switch (value.kind) {
    case Kind::Scalar:
    case Kind::Flag: return QString::number(value.integer);
    case Kind::Frequency: return FromStd(SettingsFields::FrequencyText(value.frequency));
    case Kind::Text: break;
    }
    const QByteArrayView bytes(value.text.data(), qsizetype(value.text.size()));
    if (field.member->charset == Charset::Gbk) {
        QStringDecoder gbk("GBK");
        return Quoted(gbk(bytes));
    }
    return Quoted(QString::fromLatin1(bytes));
}

CCompareDlg::CCompareDlg(const ImageCompare::Differences& differences, Other other, const QString& otherName,
                         QWidget* parent)
    : QDialog(parent)
{
    setFont(DialogUnits::DialogFont());
    const bool radio = other == Other::Radio;
    const QString otherShown = radio ? Lang("the radio", "对讲机") : otherName;
    setWindowTitle(radio ? Lang("Compare With Radio", "与对讲机比较") : Lang("Compare With File", "与文件比较"));

    const int count = int(differences.values.size() + differences.bytes.size());
    summary_ = new QLabel(this);
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (differences.Equal())
        summary_->setText(Lang("This document and %1 are the same: all 2048 bytes are equal.",
                               "本文档与%1完全相同: 2048 字节全部一致。")
                              .arg(otherShown));
    else
        summary_->setText(Lang("Differences between this document and %1: %2", "本文档与%1的差异: %2 处")
                              .arg(otherShown)
                              .arg(count));

    table_ = new QTableWidget(count, 3, this);
    table_->setHorizontalHeaderLabels({Lang("Member", "项目"), Lang("This document", "本文档"),
                                       radio ? Lang("Radio", "对讲机") : otherName});
    table_->setAccessibleName(Lang("Differences", "差异"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->horizontalHeader()->setStretchLastSection(true);
    int row = 0;
    for (const ImageCompare::ValueDifference& v : differences.values) {
        table_->setItem(row, 0, Cell(FromStd(v.field.Name())));
        table_->setItem(row, 1, Cell(ValueText(v.field, v.a)));
        table_->setItem(row, 2, Cell(ValueText(v.field, v.b)));
        ++row;
    }
    for (const ImageCompare::ByteRun& r : differences.bytes) {
        table_->setItem(row, 0, Cell(FromStd(ImageCompare::ByteRunName(r))));
        table_->setItem(row, 1, Cell(FromStd(ImageCompare::HexBytes(r.a))));
        table_->setItem(row, 2, Cell(FromStd(ImageCompare::HexBytes(r.b))));
        ++row;
    }
    table_->resizeColumnsToContents();
    // Equal images have nothing to list.
    table_->setVisible(count > 0);

    copy_ = new QPushButton(Lang("Copy", "复制"), this);
    copy_->setAutoDefault(false);
    connect(copy_, &QPushButton::clicked, this, &CCompareDlg::Copy);
    close_ = new QPushButton(Lang("Close", "关闭"), this);
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(copy_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);

    const DialogUnits du(font());
    if (count == 0) {
        resize(du.X(260), sizeHint().height());
    } else {
        resize(du.Size(360, 240));
        // Member names are the longest: they get what they need, the two
        // value columns share the rest.
        const int member = table_->columnWidth(0);
        const int rest = du.X(360) - member - 40;
        table_->setColumnWidth(1, qMax(table_->columnWidth(1), rest / 2));
    }
    close_->setFocus();
}

QString CCompareDlg::Text() const
{
    QString text = summary_->text() + QLatin1Char('\n');
    for (int row = 0; row < table_->rowCount(); ++row)
        text += QStringLiteral("%1: %2 -> %3\n")
                    .arg(table_->item(row, 0)->text(), table_->item(row, 1)->text(), table_->item(row, 2)->text());
    return text;
}

void CCompareDlg::Copy()
{
    QGuiApplication::clipboard()->setText(Text());
}

void RunCompareDialog(QWidget* parent, const ImageCompare::Differences& differences, bool withRadio,
                      const QString& otherName)
{
    CCompareDlg dialog(differences, withRadio ? CCompareDlg::Other::Radio : CCompareDlg::Other::File, otherName,
                       parent);
    dialog.exec();
}
