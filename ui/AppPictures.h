#pragma once
#include <QIcon>
#include <QPixmap>
#include <QString>

// Pictures shipped in res/ and copied beside the program by the build:
// "splash.png" (the 600 x 450 start-up picture) and "zemtra800.png" (the
// application icon).

// The path of a shipped file: folder first (the current folder when it is
// ""), then the folder the program is installed in; "" when it is in neither.
QString FindShippedFile(const QString& fileName, const QString& folder = QString());

// Null when the picture cannot be found or read.
QPixmap SplashPicture();
// The application's icon for windows and the About box; null when missing.
QIcon ApplicationIcon();
