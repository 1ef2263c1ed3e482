#include "app/ChannelTableCommands.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QUndoStack>

#include <vector>

#include "app/ChannelTablePrinter.h"
#include "app/CZEMTRA800Doc.h"
#include "app/CZEMTRA800View.h"
#include "image/ChannelCsv.h"
#include "image/FileAccess.h"
#include "ui/AppMessage.h"
#include "ui/FileErrorWording.h"
#include "ui/Language.h"

namespace {

struct Label {
    int command;
    const char* english;
    const char* chinese;
};
// Undo and Redo are labelled with their step in Relabel.
const Label kLabels[] = {
    {ChannelTableCommands::ID_IMPORT_CHANNELS, "&Import Channels…", "导入信道(&I)…"},
    {ChannelTableCommands::ID_EXPORT_CHANNELS, "&Export Channels…", "导出信道(&E)…"},
    {ChannelTableCommands::ID_FILE_PRINT, "&Print…", "打印(&P)…"},
    {ChannelTableCommands::ID_FILE_PRINT_PREVIEW, "Print Pre&view", "打印预览(&V)"},
    {ChannelTableCommands::ID_EXPORT_PDF, "Export P&DF…", "导出 PDF(&D)…"},
    {ChannelTableCommands::ID_EDIT_CUT, "Cu&t", "剪切(&T)"},
    {ChannelTableCommands::ID_EDIT_COPY, "&Copy", "复制(&C)"},
    {ChannelTableCommands::ID_EDIT_PASTE, "&Paste", "粘贴(&P)"},
    {ChannelTableCommands::ID_EDIT_CLEAR, "De&lete", "删除(&L)"},
    {ChannelTableCommands::ID_EDIT_SELECT_ALL, "Select &All", "全选(&A)"},
};

// Large enough for any channel table; a larger file is not one.
constexpr qint64 kLargestTable = 4 * 1024 * 1024;

// The paper of the place the program runs in: Letter where it is the
// custom, A4 elsewhere.
QPageSize LocalPaper()
{
    const QLocale::MeasurementSystem system = QLocale().measurementSystem();
    return QPageSize(system == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4);
}

const QMarginsF kMarginsMm(15, 12, 15, 12);

// Every export that could not be written says so alike.
QString ExportFailedText(const QString& path, const QString& reason)
{
    return Lang("Could not write %1:\n%2\nNothing was exported.", "无法写入 %1:\n%2\n没有导出。")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

ChannelTableCommands::ChannelTableCommands(QWidget* window, CZEMTRA800Doc& doc, CZEMTRA800View& view)
    : QObject(window), window_(window), doc_(doc), view_(view)
{
    QUndoStack* stack = doc_.UndoStack();
    connect(stack, &QUndoStack::indexChanged, this, [this] { Relabel(); UpdateCommandUI(busy_); });
    connect(stack, &QUndoStack::cleanChanged, this, [this] { Relabel(); });
}

QAction* ChannelTableCommands::Add(QMenu* menu, QAction* before, int command, void (ChannelTableCommands::*handler)())
{
    auto* action = new QAction(window_);
    connect(action, &QAction::triggered, this, handler);
    menu->insertAction(before, action);
    actions_[command] = action;
    return action;
}

void ChannelTableCommands::AddFileCommands(QMenu* file, QAction* before)
{
    file->insertSeparator(before);
    Add(file, before, ID_IMPORT_CHANNELS, &ChannelTableCommands::OnImportChannels);
    Add(file, before, ID_EXPORT_CHANNELS, &ChannelTableCommands::OnExportChannels);
    file->insertSeparator(before);
    Add(file, before, ID_FILE_PRINT, &ChannelTableCommands::OnPrint)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    Add(file, before, ID_FILE_PRINT_PREVIEW, &ChannelTableCommands::OnPrintPreview);
    Add(file, before, ID_EXPORT_PDF, &ChannelTableCommands::OnExportPdf);
    Relabel();
}

void ChannelTableCommands::AddEditCommands(QMenu* edit)
{
    QAction* first = edit->actions().isEmpty() ? nullptr : edit->actions().constFirst();
    auto add = [&](int command, auto handler, QList<QKeySequence> keys) {
        auto* action = new QAction(window_);
        connect(action, &QAction::triggered, handler);
        action->setShortcuts(keys);
        edit->insertAction(first, action);
        actions_[command] = action;
    };
    CZEMTRA800View* view = &view_;
    add(ID_EDIT_UNDO, [this] { if (!busy_) doc_.UndoStack()->undo(); },
        {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    add(ID_EDIT_REDO, [this] { if (!busy_) doc_.UndoStack()->redo(); },
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->insertSeparator(first);
    add(ID_EDIT_CUT, [view] { view->OnEditCut(); },
        {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    add(ID_EDIT_COPY, [view] { view->OnEditCopy(); },
        {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    add(ID_EDIT_PASTE, [view] { view->OnEditPaste(); },
        {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    add(ID_EDIT_CLEAR, [view] { view->OnEditClear(); }, {QKeySequence(Qt::Key_Delete)});
    add(ID_EDIT_SELECT_ALL, [view] { view->OnEditSelectAll(); }, {QKeySequence(Qt::CTRL | Qt::Key_A)});
    edit->insertSeparator(first);
    Relabel();
    UpdateCommandUI(busy_);
}

QAction* ChannelTableCommands::Action(int command) const
{
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void ChannelTableCommands::Relabel()
{
    const bool zh = IsChinese();
    for (const Label& l : kLabels)
        if (QAction* action = Action(l.command))
            action->setText(QString::fromUtf8(zh ? l.chinese : l.english));
    if (QAction* undo = Action(ID_EDIT_UNDO)) {
        const QString step = doc_.UndoName();
        undo->setText(step.isEmpty() ? Lang("&Undo", "撤销(&U)")
                                     : Lang("&Undo %1", "撤销%1(&U)").arg(step));
    }
    if (QAction* redo = Action(ID_EDIT_REDO)) {
        const QString step = doc_.RedoName();
        redo->setText(step.isEmpty() ? Lang("&Redo", "重做(&R)")
                                     : Lang("&Redo %1", "重做%1(&R)").arg(step));
    }
}

void ChannelTableCommands::UpdateCommandUI(bool busy)
{
    busy_ = busy;
    const bool clearable = view_.MayClearChannels();
    auto enable = [this](int command, bool on) {
        if (QAction* action = Action(command))
            action->setEnabled(on);
    };
    enable(ID_EDIT_UNDO, !busy && doc_.UndoStack()->canUndo());
    enable(ID_EDIT_REDO, !busy && doc_.UndoStack()->canRedo());
    enable(ID_EDIT_CUT, !busy && clearable);
    enable(ID_EDIT_CLEAR, !busy && clearable);
    enable(ID_EDIT_PASTE, !busy);
    enable(ID_IMPORT_CHANNELS, !busy);
}

QString ChannelTableCommands::Suggested(const char* suffix) const
{
    const QString path = doc_.PathName();
    if (path.isEmpty())
        return QDir::current().filePath(QStringLiteral("ZEMTRA.") + QLatin1String(suffix));
    const QFileInfo info(path);
    return info.dir().filePath(info.completeBaseName() + QLatin1Char('.') + QLatin1String(suffix));
}

// Where an export may be written, by the rule of saving a data file (never
// over a device, a FIFO or a read-only file; through a link, the file it
// names); "" after saying why not.
QString ChannelTableCommands::SaveTarget(const QString& path) const
{
    DataFileError reason;
    const std::string target = FileAccess::SaveTarget(QFile::encodeName(path).toStdString(), &reason);
    if (target.empty())
        AppMessage(window_, ExportFailedText(path, FileErrorText(reason)));
    return QFile::decodeName(target.c_str());
}

// ---- channel tables --------------------------------------------------------

void ChannelTableCommands::OnImportChannels()
{
    if (busy_)
        return;
    const QString path = CZEMTRA800Doc::AskFileName(window_, false, Suggested("csv"),
                                                    CZEMTRA800Doc::FileKind::ChannelTable,
                                                    Lang("Import Channels", "导入信道"));
    if (path.isEmpty())
        return;
    // Only a regular file: a FIFO would freeze the window, a device never end.
    std::vector<uint8_t> bytes;
    DataFileError reason;
    if (!FileAccess::ReadRegularFile(QFile::encodeName(path).toStdString(), std::size_t(kLargestTable),
                                     FileAccess::Longer::Refuse, bytes, &reason)) {
        if (reason.kind == DataFileError::Kind::TooLarge)
            AppMessage(window_, Lang("%1 is larger than any channel table; nothing was imported.",
                                     "%1 太大,不是信道表;没有导入任何信道。")
                                    .arg(QDir::toNativeSeparators(path)));
        else
            AppMessage(window_, CZEMTRA800Doc::OpenFailureMessage(path, FileErrorText(reason)));
        return;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    // The file is the channel plan: channels it does not list become blank.
    const ChannelCsv::ImportResult table = doc_.ReadChannels(text, 0, true);
    if (!table.Ok()) {
        AppMessage(window_, Lang("Nothing was imported. %1 has rows the radio cannot take:\n%2",
                                 "没有导入任何信道。%1 中有对讲机不能接受的行:\n%2")
                                .arg(QFileInfo(path).fileName(), ListedLines(table.errors)));
        return;
    }
    doc_.ApplyChannels(table, {QStringLiteral("Import Channels"), QString::fromUtf8("导入信道")});
    if (!table.warnings.empty())
        AppMessage(window_, Lang("Imported %1 channels. Left out:\n%2", "已导入 %1 个信道。以下内容被忽略:\n%2")
                                .arg(table.channels.size())
                                .arg(ListedLines(table.warnings)));
}

void ChannelTableCommands::OnExportChannels()
{
    const QString path = CZEMTRA800Doc::AskFileName(window_, true, Suggested("csv"),
                                                    CZEMTRA800Doc::FileKind::ChannelTable,
                                                    Lang("Export Channels", "导出信道"));
    if (path.isEmpty())
        return;
    const ChannelCsv::ExportResult table = ChannelCsv::ExportAll(*doc_.Settings());
    const QString target = SaveTarget(path);
    if (target.isEmpty())
        return;
    // Written beside the target and renamed over it only when complete.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(table.text.data(), qint64(table.text.size())) != qint64(table.text.size())
        || !file.commit()) {
        AppMessage(window_, ExportFailedText(path, file.errorString()));
        return;
    }
    if (!table.warnings.empty())
        AppMessage(window_, Lang("Exported. An import of the file would refuse these channels:\n%1",
                                 "已导出。导入该文件时以下信道会被拒绝:\n%1")
                                .arg(ListedLines(table.warnings)));
}

// ---- printing -----------------------------------------------------------------

bool ChannelTableCommands::PrintTo(QPagedPaintDevice& device) const
{
    const QString name = doc_.PathName().isEmpty() ? QString() : QFileInfo(doc_.PathName()).fileName();
    ChannelTablePrinter printer(*doc_.Settings(), view_.Model(), view_.Options(), name, QDate::currentDate());
    return printer.Print(device);
}

void ChannelTableCommands::OnPrint()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageMargins(kMarginsMm, QPageLayout::Millimeter);
    printer.setDocName(doc_.Title());
    QPrintDialog dialog(&printer, window_);
    dialog.setWindowTitle(Lang("Print", "打印"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!PrintTo(printer))
        AppMessage(window_, Lang("The printer could not be started; nothing was printed.", "无法启动打印机;没有打印。"));
}

void ChannelTableCommands::OnPrintPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(LocalPaper());
    printer.setPageMargins(kMarginsMm, QPageLayout::Millimeter);
    printer.setDocName(doc_.Title());
    QPrintPreviewDialog preview(&printer, window_);
    preview.setWindowTitle(Lang("Print Preview", "打印预览"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { PrintTo(*p); });
    preview.exec();
}

void ChannelTableCommands::OnExportPdf()
{
    const QString path = CZEMTRA800Doc::AskFileName(window_, true, Suggested("pdf"), CZEMTRA800Doc::FileKind::Pdf,
                                                    Lang("Export PDF", "导出 PDF"));
    if (path.isEmpty())
        return;
    const QString target = SaveTarget(path);
    if (target.isEmpty())
        return;
    QSaveFile file(target);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        QPdfWriter writer(&file);
        writer.setResolution(600);
        writer.setPageSize(LocalPaper());
        writer.setPageMargins(kMarginsMm, QPageLayout::Millimeter);
        writer.setTitle(doc_.Title());
        writer.setCreator(QStringLiteral("ZEMTRA800"));
        written = PrintTo(writer);
    }
    if (!written || !file.commit())
        AppMessage(window_, ExportFailedText(path, file.errorString()));
}
