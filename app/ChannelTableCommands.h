#pragma once
#include <map>

#include <QObject>
#include <QString>

class CZEMTRA800Doc;
class CZEMTRA800View;
class QAction;
class QMenu;
class QPagedPaintDevice;
class QWidget;

// The main window's commands for the channel table as a whole: File's
// Import Channels, Export Channels, Print, Print Preview and Export PDF, and
// Edit's Undo, Redo, Cut, Copy, Paste, Delete and Select All, with their
// labels in both languages and their keys.
class ChannelTableCommands : public QObject {
    Q_OBJECT
public:
    enum Command {
        ID_FILE_PRINT = 57607,
        ID_FILE_PRINT_PREVIEW = 57609,
        ID_EDIT_CLEAR = 57632,
        ID_EDIT_COPY = 57634,
        ID_EDIT_CUT = 57635,
        ID_EDIT_PASTE = 57637,
        ID_EDIT_SELECT_ALL = 57642,
        ID_EDIT_UNDO = 57643,
        ID_EDIT_REDO = 57644,
        ID_IMPORT_CHANNELS = 32800,
        ID_EXPORT_CHANNELS = 32801,
        ID_EXPORT_PDF = 32802,
    };

    // window: the parent of the file dialogs, message boxes and the print
    // dialogs; the actions belong to it.
    ChannelTableCommands(QWidget* window, CZEMTRA800Doc& doc, CZEMTRA800View& view);

    // The File entries, inserted before before; the Edit entries at the top
    // of edit, with a separator after them.
    void AddFileCommands(QMenu* file, QAction* before);
    void AddEditCommands(QMenu* edit);
    // nullptr for a command that is not one of these.
    QAction* Action(int command) const;

    // Menu texts in the language of the moment; Undo and Redo name their step.
    void Relabel();
    // Nothing edits the document while a radio job runs.
    void UpdateCommandUI(bool busy);

    // The printout of the document on device (a printer or a PDF writer).
    bool PrintTo(QPagedPaintDevice& device) const;

    void OnImportChannels();
    void OnExportChannels();
    void OnPrint();
    void OnPrintPreview();
    void OnExportPdf();

private:
    QAction* Add(QMenu* menu, QAction* before, int command, void (ChannelTableCommands::*handler)());
    // A file beside the document's, or in the current folder.
    QString Suggested(const char* suffix) const;
    // Where an export to path may be written; "" after a message saying why not.
    QString SaveTarget(const QString& path) const;

    QWidget* window_;
    CZEMTRA800Doc& doc_;
    CZEMTRA800View& view_;
    std::map<int, QAction*> actions_;
    bool busy_ = false;
};
