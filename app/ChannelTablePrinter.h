#pragma once
#include <QDate>
#include <QString>

#include "image/ModelTable.h"
#include "ui/OptionList.h"

class QPagedPaintDevice;
class QTextDocument;
class RadioSettings;

// The printout of a document: its model and band, the 50 channels as the
// grid shows them (a blank channel is an empty row with its number, so the
// free places show), then the radio-wide, DTMF and optional settings under
// their dialogs' labels. Each page carries the file name and the date at the
// top and its number at the bottom. Texts are in the language of the moment.
class ChannelTablePrinter {
public:
    ChannelTablePrinter(const RadioSettings& settings, const ModelState& model, const OptionList& options,
                        const QString& fileName, const QDate& date);

    // Lays the printout out on the device's page (its size, margins and
    // resolution) and prints every page: a printer, the preview's printer or
    // a PDF writer. false when the device could not be started (no page then).
    bool Print(QPagedPaintDevice& device);
    // The pages the last Print made.
    int Pages() const { return pages_; }

    // The body without page header and footer, as the pages show it; pt is
    // one point in the units of the table formats.
    void BuildBody(QTextDocument& document, double pt) const;

private:
    const RadioSettings& settings_;
    ModelState model_;
    OptionList options_;
    QString fileName_;
    QDate date_;
    int pages_ = 0;
};
