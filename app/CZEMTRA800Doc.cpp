#include "app/CZEMTRA800Doc.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "image/JobResults.h"
#include "ui/AppMessage.h"
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

CZEMTRA800Doc::CZEMTRA800Doc(QObject* parent) : QObject(parent), settings_(data_.GetSettings())
{
    data_.SetMessageSink(this);
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
    JobResults::LayIdentification(data_, ident);
}

void CZEMTRA800Doc::TakeReadResult(const std::array<uint8_t, ImageMap::kSize>& image)
{
    JobResults::LayReadImage(data_, image);
    SetModifiedFlag(true);
    DecodeImage();
}

void CZEMTRA800Doc::TakeInfoResult(const std::array<uint8_t, ImageMap::kIdentSize>& ident,
                                   const std::array<uint8_t, ImageMap::kInfoSize>& info)
{
    // The decode below rebuilds every setting from the image: bring the
    // user's unsaved edits into it first, then lay the radio's identification
    // and information bytes over them, so only those change.
    EncodeImage();
    JobResults::LayIdentification(data_, ident);
    JobResults::LayRadioInfo(data_, info);
    SetModifiedFlag(true);
    DecodeImage();
}

bool CZEMTRA800Doc::OnNewDocument()
{
    // Only the model goes back to its defaults; image bytes no field owns keep
    // what they hold, so the next save carries them.
    data_.ResetSettings();
    ForbidChannelDefaults();
    SetPath(QString());
    SetModifiedFlag(false);
    emit documentReset();
    return true;
}

bool CZEMTRA800Doc::OnOpenDocument(const QString& path, QString* error)
{
    std::string reason;
    if (!data_.LoadFile(QFile::encodeName(path).toStdString(), &reason)) {
        if (error)
            *error = QString::fromStdString(reason);
        return false;
    }
    ForbidChannelDefaults();
    SetPath(QFileInfo(path).absoluteFilePath());
    // Reset first, so a field the decoder leaves alone shows its default and
    // not the previous file's value.
    data_.ResetSettings();
    DecodeImage();
    SetModifiedFlag(false);
    emit documentReset();
    emit fileUsed(path_);
    return true;
}

bool CZEMTRA800Doc::OnSaveDocument(const QString& path, QString* error)
{
    EncodeImage();
    std::string reason;
    // SaveFile writes beside the target and renames only a complete image.
    if (!data_.SaveFile(QFile::encodeName(path).toStdString(), &reason)) {
        if (error)
            *error = QString::fromStdString(reason);
        return false;
    }
    SetPath(QFileInfo(path).absoluteFilePath());
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

QString CZEMTRA800Doc::AskFileName(QWidget* parent, bool saving, const QString& suggested)
{
    QString name;
    if (DialogHook()) {
        name = DialogHook()(saving, suggested);
    } else {
        QFileDialog dialog(parent);
        dialog.setWindowTitle(saving ? Lang("Save As", "另存为") : Lang("Open", "打开"));
        // Opening may also take a data file named otherwise.
        QStringList filters{FileFilter()};
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
    // A name typed without an extension gets the data file's.
    if (saving && !name.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".dat");
    return name;
}

void CZEMTRA800Doc::ShowCodecMessage(const std::string& text)
{
    AppMessage(QApplication::activeWindow(), QString::fromStdString(text));
}
