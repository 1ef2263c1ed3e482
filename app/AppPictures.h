#pragma once
#include <QIcon>
#include <QPixmap>
#include <QString>

// Pictures shipped in res/ and copied beside the program by the build:
// "splash.png" (the 600 x 450 start-up picture) and "zemtra800.png" (the
// application icon).

// The path of a shipped file: the current folder first, then the folder the
// program is installed in; "" when it is in neither.
QString FindShippedFile(const QString& fileName);

// Null when the picture cannot be found or read.
QPixmap SplashPicture();
// The application's icon for windows and the About box; null when missing.
QIcon ApplicationIcon();
