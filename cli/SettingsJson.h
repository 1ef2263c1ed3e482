#pragma once
#include <QJsonObject>
#include <QString>

#include <QJsonValue>

#include <cstddef>
#include <vector>

#include "image/SettingsFields.h"

class RadioSettings;

// The JSON form of RadioSettings used by `dump` and `apply`: every member
// under its own name; channels and autodial as arrays (dump) or as objects
// keyed by number (edits); frequencies in MHz; texts as UTF-8 strings
// (messages are GBK in the image, every other text is ASCII).
QJsonObject SettingsToJson(const RadioSettings& settings);
// One value as dump prints it (numbers, texts as Unicode).
QJsonValue ValueToJson(const SettingsFields::Field& field, const SettingsFields::Value& value);

enum class ApplyMode {
    // Channels are stored as the channel editor stores them: a receive
    // frequency of 0 blanks the channel, frequencies must lie in the model's
    // band and are moved down to the raster, and the step flags follow.
    Checked,
    // Every value is stored as given, within what its field holds.
    Raw,
};

// What the image needs after encoding, beyond what the settings hold.
struct AppliedEdits {
    // Offsets of 8-byte reversed texts (model code, information texts) the
    // edit emptied: the encoder leaves such a field as it was, so the caller
    // blanks it (0xFF).
    std::vector<std::size_t> blankFields;
};

// Sets the members that edits names and leaves the rest alone. Every value
// is checked against what its image field can hold; on the first bad one
// the result is false and error gets "member NAME: reason" (settings may
// then be partly changed, so the caller discards them).
bool ApplySettingsJson(const QJsonObject& edits, RadioSettings& settings, ApplyMode mode, AppliedEdits* applied,
                       QString* error);

// Sets one field from its JSON value through the checks apply makes; on a
// bad value the result is false, error gets "member PATH: reason" and the
// settings are unchanged.
bool SetMemberFromJson(RadioSettings& settings, const SettingsFields::Field& field, const QJsonValue& value,
                       const QString& path, QString* error);
