#pragma once
// Takes the desktop's file URLs instead of any program, so window tests can
// see what would have been opened.
#include <QDesktopServices>
#include <QObject>
#include <QUrl>

namespace pellam::test {

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder() { QDesktopServices::setUrlHandler("file", this, "open"); }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler("file"); }
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

} // namespace pellam::test
