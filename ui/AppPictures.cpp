#include "ui/AppPictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString FindShippedFileFrom(const QString& fileName, const QString& folder, const QString& programFolder)
{
    const QString here = (folder.isEmpty() ? QDir::current() : QDir(folder)).filePath(fileName);
    if (QFileInfo::exists(here))
        return here;
    // Started from a desktop menu the current folder is the home folder: use
    // the files shipped with the program, beside it in the build tree or in
    // the prefix's share folder once installed.
    if (programFolder.isEmpty())
        return QString();
    const QDir program(programFolder);
    for (const QString& candidate :
         {program.filePath(fileName), program.filePath(QStringLiteral("../share/zemtra800/") + fileName)}) {
        if (QFileInfo::exists(candidate))
            return QDir::cleanPath(candidate);
    }
    return QString();
}

QString FindShippedFile(const QString& fileName, const QString& folder)
{
    return FindShippedFileFrom(fileName, folder,
                               QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString());
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
