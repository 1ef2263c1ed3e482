#include "app/ChannelTablePrinter.h"

#include <algorithm>

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include "app/GridText.h"
#include "dialogs/SettingsReport.h"
#include "image/ChannelRules.h"
#include "image/RadioSettings.h"
#include "ui/Language.h"

namespace {

// Small enough that the 50 channels fit on one A4 or Letter page.
constexpr double kBodyPoints = 8.5;
constexpr double kTitlePoints = 13.0;
constexpr double kHeadingPoints = 11.0;
const QColor kHeaderFill(228, 228, 228);

QFont BaseFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(kBodyPoints);
    return font;
}

QTextCharFormat CharFormat(double points, bool bold)
{
    QTextCharFormat format;
    QFont font = BaseFont();
    font.setPointSizeF(points);
    font.setBold(bold);
    format.setFont(font);
    return format;
}

QTextTableFormat TableFormat(int headerRows)
{
    QTextTableFormat format;
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    // Adjacent cells share one ruled line: each cell draws its own border.
    format.setBorderCollapse(true);
    format.setBorder(0);
    format.setCellSpacing(0);
    format.setCellPadding(0);
    format.setHeaderRowCount(headerRows);
    return format;
}

// Every cell ruled with a thin line and padded a little, more at the sides.
void RuleCells(QTextTable* table, double pt)
{
    for (int row = 0; row < table->rows(); ++row) {
        for (int column = 0; column < table->columns(); ++column) {
            QTextTableCell cell = table->cellAt(row, column);
            QTextTableCellFormat format = cell.format().toTableCellFormat();
            format.setBorder(0.5 * pt);
            format.setBorderBrush(QBrush(Qt::black));
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setTopPadding(0.5 * pt);
            format.setBottomPadding(0.5 * pt);
            format.setLeftPadding(3 * pt);
            format.setRightPadding(3 * pt);
            cell.setFormat(format);
        }
    }
}

// A cell's text, centred or to the left, on a grey header cell when fill.
void PutCell(QTextTable* table, int row, int column, const QString& text, Qt::Alignment align, bool bold,
             bool fill = false)
{
    QTextTableCell cell = table->cellAt(row, column);
    if (fill) {
        QTextTableCellFormat format = cell.format().toTableCellFormat();
        format.setBackground(kHeaderFill);
        cell.setFormat(format);
    }
    QTextCursor cursor = cell.firstCursorPosition();
    QTextBlockFormat block;
    block.setAlignment(align);
    cursor.setBlockFormat(block);
    cursor.insertText(text, CharFormat(kBodyPoints, bold));
}

void Heading(QTextCursor& cursor, const QString& text, double points, bool newPage = false)
{
    QTextBlockFormat block;
    block.setTopMargin(points * 0.6);
    block.setBottomMargin(points * 0.3);
    if (newPage)
        block.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor.insertBlock(block);
    cursor.insertText(text, CharFormat(points, true));
}

void Paragraph(QTextCursor& cursor, const QString& text)
{
    cursor.insertBlock(QTextBlockFormat());
    cursor.insertText(text, CharFormat(kBodyPoints, false));
}

QString ModelText(const RadioSettings& settings)
{
    const std::string_view code = GetText(settings.modelCode);
    if (code.empty())
        return Lang("Model: not set", "机型: 未设置");
    QString text = QString::fromLatin1(code.data(), qsizetype(code.size()));
    if (const ModelRow* row = ModelTable::Find(code); row && row->modelName[0] != '\0')
        text += QStringLiteral(" (%1)").arg(QString::fromLatin1(row->modelName));
    return Lang("Model: %1", "机型: %1").arg(text);
}

} // namespace

ChannelTablePrinter::ChannelTablePrinter(const RadioSettings& settings, const ModelState& model,
                                         const OptionList& options, const QString& fileName, const QDate& date)
    : settings_(settings), model_(model), options_(options), fileName_(fileName), date_(date)
{
}

void ChannelTablePrinter::BuildBody(QTextDocument& document, double pt) const
{
    const bool zh = IsChinese();
    document.setDefaultFont(BaseFont());
    document.setDocumentMargin(0);
    QTextCursor cursor(&document);
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.insertText(QStringLiteral("ZEMTRA800"), CharFormat(kTitlePoints, true));
    Paragraph(cursor, ModelText(settings_));
    Paragraph(cursor, Lang("Band: %1", "频段: %1").arg(QString::fromStdString(TitleBandText(model_))));

    // The channels: the number, then the grid's eight columns under its
    // group and column headers; both header rows repeat on every page.
    Heading(cursor, Lang("Channels", "信道"), kHeadingPoints);
    constexpr int kColumns = 9;
    constexpr int kHeaderRows = 2;
    QTextTableFormat format = TableFormat(kHeaderRows);
    QList<QTextLength> widths{QTextLength(QTextLength::PercentageLength, 7)};
    for (int c = 0; c < 8; ++c)
        widths << QTextLength(QTextLength::PercentageLength, 93.0 / 8);
    format.setColumnWidthConstraints(widths);
    QTextTable* table = cursor.insertTable(kHeaderRows + RadioSettings::kChannels, kColumns, format);
    RuleCells(table, pt);
    for (int c = 0; c < kColumns; ++c)
        PutCell(table, 0, c, QString(), Qt::AlignCenter, true, true);
    table->mergeCells(0, 1, 1, 2);
    table->mergeCells(0, 3, 1, 2);
    PutCell(table, 0, 1, GridText::GroupHeader(0, zh), Qt::AlignCenter, true, true);
    PutCell(table, 0, 3, GridText::GroupHeader(1, zh), Qt::AlignCenter, true, true);
    PutCell(table, 0, 8, GridText::GroupHeader(2, zh), Qt::AlignCenter, true, true);
    PutCell(table, 1, 0, Lang("CH", "信道"), Qt::AlignCenter, true, true);
    for (int c = 0; c < 8; ++c)
        PutCell(table, 1, c + 1, GridText::ColumnHeader(c, zh), Qt::AlignCenter, true, true);
    for (int n = 1; n <= RadioSettings::kChannels; ++n) {
        const int row = kHeaderRows + n - 1;
        const ChannelRecord& channel = settings_.channels[n - 1];
        PutCell(table, row, 0, QString::number(n), Qt::AlignCenter, false);
        if (!ChannelInUse(channel))
            continue;
        for (int c = 0; c < 8; ++c)
            PutCell(table, row, c + 1, GridText::CellText(channel, c, zh), Qt::AlignCenter, false);
    }
    cursor.movePosition(QTextCursor::End);

    // The settings on a page of their own, each dialog's fields in two
    // label-value columns.
    Heading(cursor, Lang("Radio-wide settings", "整机设置"), kTitlePoints * 0.85, true);
    for (const SettingsSection& section : DescribeSettings(settings_, options_, model_.band476 == 0)) {
        Heading(cursor, section.title, kHeadingPoints);
        const int lines = int(section.lines.size());
        const int rows = std::max(1, (lines + 1) / 2);
        QTextTableFormat pairs = TableFormat(0);
        pairs.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 30),
                                         QTextLength(QTextLength::PercentageLength, 20),
                                         QTextLength(QTextLength::PercentageLength, 30),
                                         QTextLength(QTextLength::PercentageLength, 20)});
        QTextTable* t = cursor.insertTable(rows, 4, pairs);
        RuleCells(t, pt);
        for (int i = 0; i < lines; ++i) {
            const int row = i % rows;
            const int column = i < rows ? 0 : 2;
            PutCell(t, row, column, section.lines[std::size_t(i)].label, Qt::AlignLeft, false, true);
            PutCell(t, row, column + 1, section.lines[std::size_t(i)].value, Qt::AlignLeft, false);
        }
        cursor.movePosition(QTextCursor::End);
    }
}

bool ChannelTablePrinter::Print(QPagedPaintDevice& device)
{
    pages_ = 0;
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // The text layout scales the lengths of table formats from the screen's
    // 96 dots per inch to the device's own.
    const double pt = 96.0 / 72.0;
    const QRectF paper = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const double width = paper.width();

    QFont small = BaseFont();
    small.setPointSizeF(8);
    painter.setFont(small);
    const double line = painter.fontMetrics().height();
    const double headerHeight = line * 2.2;
    const double footerHeight = line * 2.0;
    const double bodyHeight = paper.height() - headerHeight - footerHeight;

    // Built first and then laid out once for the device: laid out for it
    // while it is built, every insertion lays the document out again.
    QTextDocument document;
    BuildBody(document, pt);
    document.documentLayout()->setPaintDevice(&device);
    document.setPageSize(QSizeF(width, bodyHeight));
    pages_ = document.pageCount();

    const QString name = fileName_.isEmpty() ? Lang("Untitled", "无标题") : fileName_;
    // The date as 2025-01-31: read alike in both languages and every country.
    const QString printed = Lang("Printed %1", "打印日期 %1").arg(date_.toString(Qt::ISODate));
    for (int page = 0; page < pages_; ++page) {
        if (page > 0)
            device.newPage();
        painter.setFont(small);
        painter.setPen(Qt::black);
        const QRectF header(0, 0, width, line);
        painter.drawText(header, Qt::AlignLeft | Qt::AlignVCenter, name);
        painter.drawText(header, Qt::AlignRight | Qt::AlignVCenter, printed);
        painter.drawLine(QPointF(0, line * 1.3), QPointF(width, line * 1.3));

        painter.save();
        painter.translate(0, headerHeight - page * bodyHeight);
        document.drawContents(&painter, QRectF(0, page * bodyHeight, width, bodyHeight));
        painter.restore();

        painter.setFont(small);
        const QRectF footer(0, paper.height() - line, width, line);
        painter.drawText(footer, Qt::AlignHCenter | Qt::AlignVCenter,
                         Lang("Page %1 of %2", "第 %1 页,共 %2 页").arg(page + 1).arg(pages_));
    }
    return painter.end();
}
