#include "ui/AppPictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString FindShippedFile(const QString& fileName, const QString& folder)
{
    const QString here = (folder.isEmpty() ? QDir::current() : QDir(folder)).filePath(fileName);
    if (QFileInfo::exists(here))
        return here;
    // Started from a desktop menu the current folder is the home folder: use
    // the files shipped beside the program.
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
