#pragma once

#include <QUrl>

//! Opens an address (a web page, a local file) in the system's program for it, so that
//! tests press the buttons that open one without starting a browser.
class IUrlOpener {
public:
    virtual ~IUrlOpener() = default;
    //! False when no program could be started for it.
    virtual bool OpenUrl(const QUrl& url) = 0;
};

//! Through the desktop's services (the default browser for web pages and HTML files).
class TDesktopUrlOpener : public IUrlOpener {
public:
    bool OpenUrl(const QUrl& url) override;
};
