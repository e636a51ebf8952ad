#include "app/dialogs/shop/form_browser.h"

#include "app/platform/message_boxes.h"
#include "app/platform/url_opener.h"
#include "core/data/order_export.h"
#include "core/data/parts_list.h"
#include "core/shell/user_settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QUrl>

TFormBrowser::TFormBrowser(IMessageBoxes& messages, IUrlOpener& urls,
                           const TTavUserSettings* settings, TTranslateFunc translate,
                           QString tempFolder)
    : messages_(messages), urls_(urls), settings_(settings), translate_(std::move(translate)),
      tempFolder_(std::move(tempFolder)) {}

TFormBrowser::~TFormBrowser() = default;

QString TFormBrowser::Tr(std::string_view key) const {
    return QString::fromStdString(TranslateOrKey(translate_, key));
}

QString TFormBrowser::Folder() const {
    return folder_ ? folder_->path() : QString();
}

QString TFormBrowser::PageFile() const {
    return folder_ ? folder_->filePath(cPageFileName) : QString();
}

bool TFormBrowser::Fail(QWidget* parent, const QString& text) {
    messages_.Inform(parent, Tr("~Error"), text);
    return false;
}

bool TFormBrowser::MakeFolder(QString& why) {
    if (folder_) return true;
    const QString base = tempFolder_.isEmpty() ? QDir::tempPath() : tempFolder_;
    // QTemporaryDir makes the folder with a random name, for the owner only (0700), and
    // removes it with everything in it when it goes.
    auto folder = std::make_unique<QTemporaryDir>(QDir(base).filePath("vacuum-shop-XXXXXX"));
    if (!folder->isValid()) {
        why =
            QString("cannot make a private folder in \"%1\": %2").arg(base, folder->errorString());
        return false;
    }
    folder_ = std::move(folder);
    return true;
}

bool TFormBrowser::WritePage(QString& why) {
    const QString target = PageFile();
    // A temporary file is made for the owner only (0600); renamed over the page, the page
    // is replaced whole or stays as it was.
    QTemporaryFile file(folder_->filePath(QString(cPageFileName) + ".XXXXXX"));
    const std::string text = page_.Text();
    const auto fail = [&](const QString& what) {
        why = QString("cannot write \"%1\": %2").arg(target, what);
        return false;
    };
    if (!file.open()) return fail(file.errorString());
    if (file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.flush())
        return fail(file.errorString());
    file.close();
    if (file.error() != QFileDevice::NoError) return fail(file.errorString());
    // POSIX rename replaces an existing page in one step (QFile::rename would not).
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    file.setAutoRemove(false);
    return true;
}

bool TFormBrowser::Show(const TPartsList& list, QWidget* parent) {
    caption_ = QString::fromStdString(ShopWindowCaption(translate_));
    TShopPageOptions options;
    if (settings_ && !settings_->ShopUrl().empty()) options.ShopServer = settings_->ShopUrl();
    options.Title = caption_.toStdString();
    options.Translate = translate_;
    page_.Build(list, options);

    QString why;
    if (!MakeFolder(why)) return Fail(parent, Tr("~FileNotWritten") + "\n\n" + why);
    const QString file = PageFile();
    if (const TExportResult r = CheckOrderable(list, file.toStdString()); !r.Ok)
        return Fail(parent, Tr("~FileNotWritten") + "\n\n" + QString::fromStdString(r.Message));
    if (!WritePage(why)) return Fail(parent, Tr("~FileNotWritten") + "\n\n" + why);
    if (!urls_.OpenUrl(QUrl::fromLocalFile(file))) return Fail(parent, Tr("~PrgCouldNotBeStarted"));
    return true;
}
