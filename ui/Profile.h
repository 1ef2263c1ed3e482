#pragma once
#include <QString>

// The per-user profile: an INI file in the user's configuration folder
// (organisation "Halvorn", application "ZEMTRA800"), one group per section.
namespace Profile {
int GetInt(const QString& section, const QString& key, int defaultValue);
void WriteInt(const QString& section, const QString& key, int value);
QString GetString(const QString& section, const QString& key, const QString& defaultValue = QString());
void WriteString(const QString& section, const QString& key, const QString& value);
} // namespace Profile
