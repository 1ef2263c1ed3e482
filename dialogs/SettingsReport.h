#pragma once
#include <vector>

#include <QString>

class OptionList;
class RadioSettings;

// The radio-wide settings as the editing dialogs show them, for a printout:
// each dialog (each page of the DTMF dialog) a section titled as the dialog
// is, each field a line with the dialog's own label and the value its
// control would show, in the language of the moment.
struct SettingsLine {
    QString label; // without its closing colon
    QString value; // a list's entry, an edit's text, "On"/"Off" for a check box
};

struct SettingsSection {
    QString title;
    std::vector<SettingsLine> lines;
};

// Optional features, key assignment, DTMF (left out with dtmf false: the
// 476-478 MHz model has none) and the embedded messages. The dialogs are
// built but never shown.
std::vector<SettingsSection> DescribeSettings(const RadioSettings& settings, const OptionList& options, bool dtmf);
