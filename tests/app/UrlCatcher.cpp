#include "UrlCatcher.h"

#include <QDesktopServices>

UrlCatcher::UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open"); }

UrlCatcher::~UrlCatcher() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

void UrlCatcher::Open(const QUrl& url) { opened << url; }
