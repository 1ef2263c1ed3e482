#pragma once
#include <array>
#include <cstdint>

#include <QString>
#include <QUndoCommand>

#include "image/ImageMap.h"
#include "image/RadioSettings.h"

class CZEMTRA800Doc;

// Everything a document step can change: the memory image as it stands
// (bytes no field owns included) and the settings decoded from it and
// edited since. Putting both back gives the document exactly as it was, so
// the next save writes the same bytes.
struct DocumentSnapshot {
    std::array<uint8_t, ImageMap::kSize> image{};
    RadioSettings settings;

    bool operator==(const DocumentSnapshot&) const = default;
};

// A step's name in both languages, so the Edit menu names it in the
// language of the moment ("Undo Paste 3 Channels").
struct StepName {
    QString english;
    QString chinese;
    // In the current language.
    QString Text() const;
};

// One undoable change of the document: the snapshots before and after.
class DocumentStep : public QUndoCommand {
public:
    DocumentStep(CZEMTRA800Doc& doc, StepName name, DocumentSnapshot before, DocumentSnapshot after);

    const StepName& Name() const { return name_; }
    void undo() override;
    void redo() override;

private:
    CZEMTRA800Doc& doc_;
    StepName name_;
    DocumentSnapshot before_;
    DocumentSnapshot after_;
    // The change is already in the document when the step is pushed.
    bool pushed_ = false;
};
