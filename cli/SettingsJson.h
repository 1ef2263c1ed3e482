#pragma once
#include <QJsonObject>
#include <QString>

class RadioSettings;

// The JSON form of RadioSettings used by `dump` and `apply`: every member
// under its own name; channels and autodial as arrays (dump) or as objects
// keyed by number (edits); frequencies in MHz; texts as UTF-8 strings
// (messages are GBK in the image, every other text is ASCII).
QJsonObject SettingsToJson(const RadioSettings& settings);

// Sets the members that edits names and leaves the rest alone. Every value
// is checked against what its image field can hold; on the first bad one
// the result is false and error gets "member NAME: reason" (settings may
// then be partly changed, so the caller discards them).
bool ApplySettingsJson(const QJsonObject& edits, RadioSettings& settings, QString* error);
