#include "app/platform/url_opener.h"

#include <QDesktopServices>

bool TDesktopUrlOpener::OpenUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}
