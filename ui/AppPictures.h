#pragma once
#include <QIcon>
#include <QPixmap>
#include <QString>

// Pictures shipped in res/ and copied beside the program by the build:
// "splash.png" (the 600 x 450 start-up picture) and "zemtra800.png" (the
// application icon).

// The path of a shipped file (fileName may name a subfolder, such as
// "manual/en/index.html"): folder first (the current folder when it is ""),
// then beside the program (the build tree), then ../share/zemtra800 from the
// program's folder (installed under a prefix); "" when it is in none.
QString FindShippedFile(const QString& fileName, const QString& folder = QString());
// The same with the program's folder given.
QString FindShippedFileFrom(const QString& fileName, const QString& folder, const QString& programFolder);

// Null when the picture cannot be found or read.
QPixmap SplashPicture();
// The application's icon for windows and the About box; null when missing.
QIcon ApplicationIcon();
