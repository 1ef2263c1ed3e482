#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include <QObject>
#include <QString>

#include "app/DocumentUndo.h"
#include "image/CImportData.h"
#include "image/DataFileError.h"
#include "image/ChannelCsv.h"
#include "image/CodecMessageSink.h"
#include "image/ImageMap.h"

class QUndoStack;
class QWidget;

// The one document: a radio's memory image and its decoded RadioSettings.
// New and Open reuse the same object for the whole run.
class CZEMTRA800Doc : public QObject, public CodecMessageSink {
    Q_OBJECT
public:
    explicit CZEMTRA800Doc(QObject* parent = nullptr);
    ~CZEMTRA800Doc() override;

    CImportData& Data() { return data_; }
    RadioSettings* Settings() { return settings_; }

    // The file the document was last opened from or saved to; "" after New.
    QString PathName() const { return path_; }
    // "Untitled" or the file's name, for the save prompt.
    QString Title() const;

    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true);

    // Settings to image (before a save or a write job) / image to settings.
    // 0, or the code of the conversion that failed (its message was shown).
    virtual int EncodeImage();
    int DecodeImage();

    // A radio job's results, each taken in one call. The identification
    // lands at once and stays even if the job fails later. A finished read
    // replaces the whole image; a finished information job changes only the
    // identification and the information bytes, so unsaved edits stay.
    // Both mark the document modified and decode.
    void TakeIdentification(const std::array<uint8_t, ImageMap::kIdentSize>& ident);
    void TakeReadResult(const std::array<uint8_t, ImageMap::kSize>& image);
    void TakeInfoResult(const std::array<uint8_t, ImageMap::kIdentSize>& ident,
                        const std::array<uint8_t, ImageMap::kInfoSize>& info);

    // Undo and redo. Every change of the document is one step holding the
    // document before and after; New and Open forget them, Save marks the
    // stack clean, and the modified flag is whether the stack is away from
    // its clean point.
    QUndoStack* UndoStack() const { return undo_; }
    DocumentSnapshot Snapshot() const;
    // Puts a snapshot back (a step undone or redone); the view re-reads it.
    void Restore(const DocumentSnapshot& snapshot);
    // The change since before as one step named name, which marks the
    // document modified; nothing is kept (and the flag left alone) when the
    // document is as it was. true when a step was kept.
    bool RecordStep(const DocumentSnapshot& before, const StepName& name);
    // The step Undo / Redo would take, in the current language; "" for none.
    QString UndoName() const;
    QString RedoName() const;

    // The channel table from text (a file, the clipboard), read through the
    // channel rules against this document without changing it. startChannel
    // above 0 places the rows from that channel on (a paste); replace blanks
    // the channels the table does not list. A channel that was blank takes
    // the stored default channel for what the table does not carry.
    ChannelCsv::ImportResult ReadChannels(std::string_view text, int startChannel, bool replace) const;
    // A table ReadChannels found good, stored as one step; false (nothing
    // changed) for a table with errors.
    bool ApplyChannels(const ChannelCsv::ImportResult& table, const StepName& name);
    // The listed channels made blank as one step; how many were in use.
    int ClearChannels(const std::vector<int>& channels, const StepName& name);

    // For a compare: the document as Save would write it, decoded again into
    // copy, and a data file loaded and decoded into data, neither touching
    // the document. 0 / true, or the conversion's code (its message shown) /
    // false with the reason in the window's language.
    int EncodedCopy(CImportData& copy);
    bool LoadOtherFile(CImportData& data, const QString& path, QString* error);
    // The same decode for an image the radio gave.
    bool DecodeOther(CImportData& data, QString* error);

    // Document steps without any user interaction.
    bool OnNewDocument();
    // false leaves the document as it was; error gets the reason.
    bool OnOpenDocument(const QString& path, QString* error = nullptr);
    // false leaves the target file untouched and the document modified.
    bool OnSaveDocument(const QString& path, QString* error = nullptr);

    // The framework steps with their prompts and messages (parent owns the boxes).
    // Asks to save unsaved changes: true when the caller may go on.
    bool SaveModified(QWidget* parent);
    bool DoFileSave(QWidget* parent);
    // Asks for a name when path is empty (Save As).
    bool DoSave(QWidget* parent, const QString& path);
    // Open with the error message on failure.
    bool OpenDocumentFile(QWidget* parent, const QString& path);
    // "Could not open <path>:" and the reason, in the current language.
    static QString OpenFailureMessage(const QString& path, const QString& reason);

    // The file filter of the open and save dialogs, in the current language.
    static QString FileFilter();
    // Tests answer the file dialogs here: (saving, suggested path) -> chosen
    // path, "" for Cancel. An empty hook restores the real dialogs.
    using FileDialogHook = std::function<QString(bool saving, const QString& suggested)>;
    static void SetFileDialogHook(FileDialogHook hook);
    // What a file dialog asks for: a data file, a channel table (.csv) or a
    // printout (.pdf). A name typed without an extension gets the kind's.
    enum class FileKind { Data, ChannelTable, Pdf };
    // title: the dialog's caption; "" for "Save As" or "Open".
    static QString AskFileName(QWidget* parent, bool saving, const QString& suggested,
                               FileKind kind = FileKind::Data, const QString& title = QString());

    // CodecMessageSink: conversion failures become message boxes.
    void ShowCodecMessage(const std::string& text) override;

signals:
    // After New or Open: the view runs its initial update.
    void documentReset();
    void modifiedChanged(bool modified);
    void pathChanged(const QString& path);
    // A file was opened or saved under this name (for the recent-file list).
    void fileUsed(const QString& path);
    // A step was undone or redone: the whole document may differ.
    void contentRestored();
    // A change was kept as a step (the Edit menu names it now).
    void stepRecorded();

private:
    void SetPath(const QString& path);

    CImportData data_;
    RadioSettings* settings_;
    QString path_;
    bool modified_ = false;
    QUndoStack* undo_;
    // The document before the running radio job laid its identification
    // down: the job's step starts there.
    std::optional<DocumentSnapshot> beforeJob_;
};
