#pragma once
#include <QString>
#include <string>

#include "link/PortDiagnosis.h"

class OptionList;
class QWidget;
class RadioSettings;
class ChannelUpdateSink;
struct ModelState;
namespace ImageCompare {
struct Differences;
}

// What the channel view calls for each of its editing commands. Each function
// runs its dialog modally and does the command's own bookkeeping; the view
// marks the document modified when a function returns true.

// What the view hands the channel editor.
struct ChannelEditRequest {
    RadioSettings* settings = nullptr;
    int channel = 1;                 // 1..50
    QString bandText;                // "" for the custom model
    QString lowestFrequency;         // custom model only, "%.5f"
    QString highestFrequency;        // custom model only
    int band476 = 0;
    QString signallingList;          // section "COptnSignal"
    QString wideNarrowList;          // section "CWideNarrow"
    QString decodeCodeList;          // section "Ccodelist"
    QString encodeCodeList;          // section "Ccodelist"
};
// true when the dialog ended with the OK result.
bool RunChannelEditDialog(QWidget* parent, const ChannelEditRequest& request, ChannelUpdateSink& view);

// Model information: on OK also writes ALLOWDEFAULT 0, updates model (band
// text, custom and band 476 flags, remembered custom texts) and the model
// fields of settings (fixed plan, custom limits, model code).
bool RunModelInfoDialog(QWidget* parent, RadioSettings& settings, ModelState& model,
                        const OptionList& options, ChannelUpdateSink& view);
// The port the radio link opens: a port number, and a device path kept
// besides it (a /dev/serial/by-id name that follows its cable), "" for none.
struct PortChoice {
    int portNumber = 1;
    std::string devicePath;
};
// Communication port: returns the port to use (unchanged unless OK) and
// writes it to the profile ("COM": "PORT" and "DEVICE"). The devices offered
// are those found under roots.
PortChoice RunCommPortDialog(QWidget* parent, const PortChoice& current, const OptionList& options,
                             const SystemRoots& roots = {});

// Setup → Check Connection: the connection report for the port the next
// job opens, with a probe of that port. The caller lets go of the port first.
struct ConnectionCheckRequest {
    std::string device;
    int portNumber = 0;
    SystemRoots roots;
};
void RunCheckConnectionDialog(QWidget* parent, const ConnectionCheckRequest& request);

// On OK these store their fields into settings and return true.
bool RunOptionalFeatureDialog(QWidget* parent, RadioSettings& settings, const OptionList& options);
bool RunDtmfDialog(QWidget* parent, RadioSettings& settings, const OptionList& options);
bool RunKeyAssignDialog(QWidget* parent, RadioSettings& settings, const OptionList& options);
bool RunEmbeddedMsgDialog(QWidget* parent, RadioSettings& settings);

// Display only.
void RunRadioInfoDialog(QWidget* parent, const RadioSettings& settings);
void RunAboutDialog(QWidget* parent);
// The differences between this document and a file (named otherName) or,
// withRadio, the radio.
void RunCompareDialog(QWidget* parent, const ImageCompare::Differences& differences, bool withRadio,
                      const QString& otherName);
