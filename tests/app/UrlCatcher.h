#pragma once
// Stands in for the desktop's browser and file manager: takes the file URLs
// the program asks the desktop to open, so that nothing opens on the
// machine running the tests.
#include <QList>
#include <QObject>
#include <QUrl>

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher();
    ~UrlCatcher() override;
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url);
};
