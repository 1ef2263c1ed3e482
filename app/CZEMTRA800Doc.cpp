#include "app/CZEMTRA800Doc.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QUndoStack>

#include "dialogs/ChannelDefaults.h"
#include "image/ChannelRules.h"
#include "image/JobResults.h"
#include "ui/AppMessage.h"
#include "ui/FileErrorWording.h"
#include "ui/Language.h"
#include "ui/Profile.h"

namespace {
CZEMTRA800Doc::FileDialogHook& DialogHook()
{
    static CZEMTRA800Doc::FileDialogHook hook;
    return hook;
}

void ForbidChannelDefaults() { Profile::WriteInt(QStringLiteral("CHANNEL_DEFAULT"), QStringLiteral("ALLOWDEFAULT"), 0); }

} // namespace

namespace {
// Each step holds two snapshots of a few kilobytes.
constexpr int kUndoSteps = 200;
} // namespace

CZEMTRA800Doc::CZEMTRA800Doc(QObject* parent)
    : QObject(parent), settings_(data_.GetSettings()), undo_(new QUndoStack(this))
{
    data_.SetMessageSink(this);
    undo_->setUndoLimit(kUndoSteps);
    connect(undo_, &QUndoStack::cleanChanged, this, [this](bool clean) { SetModifiedFlag(!clean); });
}

CZEMTRA800Doc::~CZEMTRA800Doc() { data_.SetMessageSink(nullptr); }

QString CZEMTRA800Doc::Title() const
{
    if (path_.isEmpty())
        return Lang("Untitled", "无标题");
    return QFileInfo(path_).fileName();
}

void CZEMTRA800Doc::SetModifiedFlag(bool modified)
{
    if (modified_ == modified)
        return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

void CZEMTRA800Doc::SetPath(const QString& path)
{
    if (path_ == path)
        return;
    path_ = path;
    emit pathChanged(path);
}

int CZEMTRA800Doc::EncodeImage() { return data_.EncodeAll(); }

int CZEMTRA800Doc::DecodeImage() { return data_.DecodeAll(); }

void CZEMTRA800Doc::TakeIdentification(const std::array<uint8_t, ImageMap::kIdentSize>& ident)
{
    beforeJob_ = Snapshot();
    JobResults::LayIdentification(data_, ident);
}

void CZEMTRA800Doc::TakeReadResult(const std::array<uint8_t, ImageMap::kSize>& image)
{
    const DocumentSnapshot before = beforeJob_.value_or(Snapshot());
    beforeJob_.reset();
    JobResults::LayReadImage(data_, image);
    SetModifiedFlag(true);
    DecodeImage();
    RecordStep(before, {QStringLiteral("Read Data"), QString::fromUtf8("读数据")});
}

void CZEMTRA800Doc::TakeInfoResult(const std::array<uint8_t, ImageMap::kIdentSize>& ident,
                                   const std::array<uint8_t, ImageMap::kInfoSize>& info)
{
    const DocumentSnapshot before = beforeJob_.value_or(Snapshot());
    beforeJob_.reset();
    // The decode below rebuilds every setting from the image: bring the
    // user's unsaved edits into it first, then lay the radio's identification
    // and information bytes over them, so only those change.
    EncodeImage();
    JobResults::LayIdentification(data_, ident);
    JobResults::LayRadioInfo(data_, info);
    SetModifiedFlag(true);
    DecodeImage();
    RecordStep(before, {QStringLiteral("Radio Information"), QString::fromUtf8("当前通信机信息")});
}

// ---- undo -------------------------------------------------------------------

DocumentSnapshot CZEMTRA800Doc::Snapshot() const
{
    DocumentSnapshot snapshot;
    data_.GetBytes(snapshot.image.data(), 0, snapshot.image.size());
    snapshot.settings = *data_.GetSettings();
    return snapshot;
}

void CZEMTRA800Doc::Restore(const DocumentSnapshot& snapshot)
{
    data_.SetBytes(snapshot.image.data(), 0, snapshot.image.size());
    *settings_ = snapshot.settings;
    emit contentRestored();
}

bool CZEMTRA800Doc::RecordStep(const DocumentSnapshot& before, const StepName& name)
{
    // A job that failed after its identification has no step of its own.
    beforeJob_.reset();
    DocumentSnapshot after = Snapshot();
    const bool changed = !(after == before);
    if (!changed)
        return false;
    undo_->push(new DocumentStep(*this, name, before, std::move(after)));
    SetModifiedFlag(!undo_->isClean());
    emit stepRecorded();
    return true;
}

namespace {
QString StepText(const QUndoCommand* command)
{
    const auto* step = dynamic_cast<const DocumentStep*>(command);
    return step ? step->Name().Text() : QString();
}
} // namespace

QString CZEMTRA800Doc::UndoName() const
{
    return undo_->canUndo() ? StepText(undo_->command(undo_->index() - 1)) : QString();
}

QString CZEMTRA800Doc::RedoName() const
{
    return undo_->canRedo() ? StepText(undo_->command(undo_->index())) : QString();
}

// ---- channel table -------------------------------------------------------------

ChannelCsv::ImportResult CZEMTRA800Doc::ReadChannels(std::string_view text, int startChannel, bool replace) const
{
    ChannelCsv::ImportOptions options;
    options.startChannel = startChannel;
    options.replace = replace;
    options.blankChannel = StoredDefaultChannel();
    return ChannelCsv::Read(text, *data_.GetSettings(), options);
}

bool CZEMTRA800Doc::ApplyChannels(const ChannelCsv::ImportResult& table, const StepName& name)
{
    if (!table.Ok())
        return false;
    const DocumentSnapshot before = Snapshot();
    ChannelCsv::Apply(table, *settings_);
    RecordStep(before, name);
    return true;
}

int CZEMTRA800Doc::ClearChannels(const std::vector<int>& channels, const StepName& name)
{
    const DocumentSnapshot before = Snapshot();
    int cleared = 0;
    for (const int n : channels) {
        if (n < 1 || n > RadioSettings::kChannels)
            continue;
        if (ChannelInUse(settings_->channels[n - 1]))
            ++cleared;
        settings_->ResetChannel(n);
    }
    RecordStep(before, name);
    return cleared;
}

int CZEMTRA800Doc::EncodedCopy(CImportData& copy)
{
    copy.SetBytes(data_.Image(), 0, ImageMap::kSize);
    *copy.GetSettings() = *settings_;
    copy.SetMessageSink(this);
    int code = copy.EncodeAll();
    if (code == 0) {
        copy.ResetSettings();
        code = copy.DecodeAll();
    }
    copy.SetMessageSink(nullptr);
    return code;
}

bool CZEMTRA800Doc::LoadOtherFile(CImportData& data, const QString& path, QString* error)
{
    DataFileError reason;
    if (!data.LoadFile(QFile::encodeName(path).toStdString(), &reason)) {
        if (error)
            *error = FileErrorText(reason);
        return false;
    }
    return DecodeOther(data, error);
}

bool CZEMTRA800Doc::DecodeOther(CImportData& data, QString* error)
{
    // As Open decodes: from the reset model, conversion failures shown.
    data.ResetSettings();
    data.SetMessageSink(this);
    const int code = data.DecodeAll();
    data.SetMessageSink(nullptr);
    if (code != 0) {
        if (error)
            *error = Lang("the image cannot be decoded (error %1)", "数据无法解码(错误 %1)").arg(code);
        return false;
    }
    return true;
}

bool CZEMTRA800Doc::OnNewDocument()
{
    // Only the model goes back to its defaults; image bytes no field owns keep
    // what they hold, so the next save carries them.
    data_.ResetSettings();
    ForbidChannelDefaults();
    SetPath(QString());
    undo_->clear();
    beforeJob_.reset();
    SetModifiedFlag(false);
    emit documentReset();
    return true;
}

bool CZEMTRA800Doc::OnOpenDocument(const QString& path, QString* error)
{
    DataFileError reason;
    if (!data_.LoadFile(QFile::encodeName(path).toStdString(), &reason)) {
        if (error)
            *error = FileErrorText(reason);
        return false;
    }
    ForbidChannelDefaults();
    SetPath(QFileInfo(path).absoluteFilePath());
    // Reset first, so a field the decoder leaves alone shows its default and
    // not the previous file's value.
    data_.ResetSettings();
    DecodeImage();
    undo_->clear();
    beforeJob_.reset();
    SetModifiedFlag(false);
    emit documentReset();
    emit fileUsed(path_);
    return true;
}

bool CZEMTRA800Doc::OnSaveDocument(const QString& path, QString* error)
{
    EncodeImage();
    DataFileError reason;
    // SaveFile writes beside the target and renames only a complete image.
    if (!data_.SaveFile(QFile::encodeName(path).toStdString(), &reason)) {
        if (error)
            *error = FileErrorText(reason);
        return false;
    }
    SetPath(QFileInfo(path).absoluteFilePath());
    undo_->setClean();
    SetModifiedFlag(false);
    emit fileUsed(path_);
    return true;
}

bool CZEMTRA800Doc::SaveModified(QWidget* parent)
{
    if (!modified_)
        return true;
    const QString text = Lang("Save changes to %1?", "是否保存对 %1 的修改?").arg(Title());
    switch (AppAskYesNoCancel(parent, text)) {
    case AppAnswer::Yes:
        return DoFileSave(parent);
    case AppAnswer::No:
        return true;
    case AppAnswer::Cancel:
    default:
        return false;
    }
}

bool CZEMTRA800Doc::DoFileSave(QWidget* parent)
{
    // A file that has gone read-only is saved under a new name.
    if (!path_.isEmpty() && QFileInfo::exists(path_) && !QFileInfo(path_).isWritable())
        return DoSave(parent, QString());
    return DoSave(parent, path_);
}

bool CZEMTRA800Doc::DoSave(QWidget* parent, const QString& path)
{
    QString target = path;
    if (target.isEmpty()) {
        QString suggested = path_;
        if (suggested.isEmpty())
            suggested = QDir::current().filePath(QStringLiteral("ZEMTRA.dat"));
        target = AskFileName(parent, true, suggested);
        if (target.isEmpty())
            return false;
    }
    QString error;
    if (!OnSaveDocument(target, &error)) {
        AppMessage(parent, Lang("Could not save %1:\n%2\nThe data has not been saved.",
                                "无法保存 %1:\n%2\n数据没有保存。")
                               .arg(QDir::toNativeSeparators(target), error));
        return false;
    }
    return true;
}

bool CZEMTRA800Doc::OpenDocumentFile(QWidget* parent, const QString& path)
{
    QString error;
    if (OnOpenDocument(path, &error))
        return true;
    AppMessage(parent, OpenFailureMessage(path, error));
    return false;
}

QString CZEMTRA800Doc::OpenFailureMessage(const QString& path, const QString& reason)
{
    return Lang("Could not open %1:\n%2", "无法打开 %1:\n%2").arg(QDir::toNativeSeparators(path), reason);
}

QString CZEMTRA800Doc::FileFilter()
{
    return Lang("Channel frequency data file (*.dat)", "信道频率数据文件 (*.dat)");
}

void CZEMTRA800Doc::SetFileDialogHook(FileDialogHook hook) { DialogHook() = std::move(hook); }

QString CZEMTRA800Doc::AskFileName(QWidget* parent, bool saving, const QString& suggested, FileKind kind,
                                   const QString& title)
{
    QString filter = FileFilter();
    QString suffix = QStringLiteral("dat");
    if (kind == FileKind::ChannelTable) {
        filter = Lang("Channel table (*.csv)", "信道表 (*.csv)");
        suffix = QStringLiteral("csv");
    } else if (kind == FileKind::Pdf) {
        filter = Lang("PDF document (*.pdf)", "PDF 文档 (*.pdf)");
        suffix = QStringLiteral("pdf");
    }
    QString name;
    if (DialogHook()) {
        name = DialogHook()(saving, suggested);
    } else {
        QFileDialog dialog(parent);
        if (!title.isEmpty())
            dialog.setWindowTitle(title);
        else
            dialog.setWindowTitle(saving ? Lang("Save As", "另存为") : Lang("Open", "打开"));
        // Opening may also take a file named otherwise.
        QStringList filters{filter};
        if (!saving)
            filters << Lang("All files (*)", "所有文件 (*)");
        dialog.setNameFilters(filters);
        dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!suggested.isEmpty()) {
            const QFileInfo info(suggested);
            dialog.setDirectory(info.absolutePath());
            if (saving)
                dialog.selectFile(info.fileName());
        }
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            name = dialog.selectedFiles().constFirst();
    }
    // A name typed without an extension gets the kind's.
    if (saving && !name.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += QLatin1Char('.') + suffix;
    return name;
}

void CZEMTRA800Doc::ShowCodecMessage(const std::string& text)
{
    AppMessage(QApplication::activeWindow(), QString::fromStdString(text));
}
