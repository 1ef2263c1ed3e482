#include "ui/Profile.h"

#include <QSettings>

namespace {
QSettings& Store()
{
    // One store for the whole run; QSettings writes back on its own.
    static QSettings settings(QSettings::IniFormat, QSettings::UserScope,
                              QStringLiteral("Halvorn"), QStringLiteral("ZEMTRA800"));
    return settings;
}

QString Key(const QString& section, const QString& key) { return section + QLatin1Char('/') + key; }
} // namespace

namespace Profile {

int GetInt(const QString& section, const QString& key, int defaultValue)
{
    bool ok = false;
    int v = Store().value(Key(section, key), defaultValue).toInt(&ok);
    return ok ? v : defaultValue;
}

void WriteInt(const QString& section, const QString& key, int value)
{
    Store().setValue(Key(section, key), value);
    Store().sync();
}

QString GetString(const QString& section, const QString& key, const QString& defaultValue)
{
    return Store().value(Key(section, key), defaultValue).toString();
}

void WriteString(const QString& section, const QString& key, const QString& value)
{
    Store().setValue(Key(section, key), value);
    Store().sync();
}

} // namespace Profile
