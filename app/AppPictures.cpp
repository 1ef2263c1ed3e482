#include "AppPictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString FindShippedFile(const QString& fileName)
{
    const QString here = QDir::current().filePath(fileName);
    if (QFileInfo::exists(here))
        return here;
    if (QCoreApplication::instance()) {
        const QString installed = QDir(QCoreApplication::applicationDirPath()).filePath(fileName);
        if (QFileInfo::exists(installed))
            return installed;
    }
    return QString();
}

QPixmap SplashPicture()
{
    const QString path = FindShippedFile(QStringLiteral("splash.png"));
    return path.isEmpty() ? QPixmap() : QPixmap(path);
}

QIcon ApplicationIcon()
{
    const QString path = FindShippedFile(QStringLiteral("zemtra800.png"));
    return path.isEmpty() ? QIcon() : QIcon(path);
}
