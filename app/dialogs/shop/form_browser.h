#pragma once

#include "core/data/shop_page.h"
#include "core/util/translate_func.h"

#include <memory>

#include <QString>

class IMessageBoxes;
class IUrlOpener;
class QTemporaryDir;
class QWidget;
class TPartsList;
class TTavUserSettings;

//! The online shop window. It hands the basket form to the user's own browser, so that the
//! user's shop login (the browser's cookies) applies: the page is written to a file in a
//! private temporary folder of its own (readable by the user only, under a name nobody can
//! guess) and opened there; the browser window shows the caption as the page's title. The
//! file is written anew on every show, whole or not at all, and goes with the window; the
//! program keeps one window for the whole run. Failures are messages, and then nothing is
//! opened.
class TFormBrowser {
public:
    //! `settings` give the shop server ("ShopUrl"; null: the built-in one), `translate` the
    //! texts of the page, the caption and the messages. The private folder is made inside
    //! `tempFolder` (empty: the system's temporary folder) when the window first shows.
    TFormBrowser(IMessageBoxes& messages, IUrlOpener& urls, const TTavUserSettings* settings,
                 TTranslateFunc translate, QString tempFolder = {});
    ~TFormBrowser();
    TFormBrowser(const TFormBrowser&) = delete;
    TFormBrowser& operator=(const TFormBrowser&) = delete;

    //! Builds the basket form of the parts list, sets the caption, writes the page and
    //! opens it in the browser. False (after a message, `parent` its window) when the list
    //! cannot be ordered, the page cannot be written or no browser could be started.
    bool Show(const TPartsList& list, QWidget* parent = nullptr);

    //! "~Sorvane" - "~PartsList", as of the last show.
    const QString& Caption() const { return caption_; }
    //! The page as of the last show.
    const TShopPage& Page() const { return page_; }
    //! The private folder and the page file in it; empty until they were made.
    QString Folder() const;
    QString PageFile() const;

    //! The name of the page file inside the private folder.
    static constexpr const char* cPageFileName = "basket.html";

private:
    //! Makes the private folder if it is not there yet; false (with `why`) when it cannot.
    bool MakeFolder(QString& why);
    //! Writes the page beside its file and renames it into place; false (with `why`) when
    //! that failed, and then the file is as it was.
    bool WritePage(QString& why);
    bool Fail(QWidget* parent, const QString& text);
    QString Tr(std::string_view key) const;

    IMessageBoxes& messages_;
    IUrlOpener& urls_;
    const TTavUserSettings* settings_;
    TTranslateFunc translate_;
    QString tempFolder_;
    std::unique_ptr<QTemporaryDir> folder_;
    TShopPage page_;
    QString caption_;
};
