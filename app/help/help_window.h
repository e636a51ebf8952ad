#pragma once

#include <QWidget>

#include <memory>
#include <vector>

#include "core/util/signal.h"
#include "core/util/translate_func.h"
#include "core/workflow/help_pages.h"

class QCheckBox;
class QPushButton;
class QTextBrowser;
class QUrl;
class TVacuumApplication;

//! The help window: the hyperlinked help pages in a browser with back, forward, contents
//! and index buttons and an optional stay-on-top switch. Topics are the numbers 0 .. 16 the
//! main window opens (menus, F1, context menus, the friction button); links inside the
//! pages ("topic:N") move between them and build the back and forward history.
class THelpWindow : public QWidget {
    Q_OBJECT

public:
    //! Shows the application's friction and durability tables in its language and
    //! retranslates whenever the application's language changes. The application must
    //! outlive the window.
    explicit THelpWindow(TVacuumApplication& app, QWidget* parent = nullptr);
    //! Shows the given tables (not owned) translated with `translate`; call Retranslate
    //! after the language behind `translate` changed.
    THelpWindow(THelpSources sources, TTranslateFunc translate, QWidget* parent = nullptr);
    ~THelpWindow() override;

    //! Shows the window (raised) at `topic`; a topic without a page of its own or out of
    //! range shows the contents. The topic becomes the newest history entry.
    void ShowTopic(int topic);
    //! The topic of the page shown (its own number, or 0 for the contents).
    int CurrentTopic() const;

    //! Keeps the window above the other windows, or not.
    void SetStayOnTop(bool on);
    bool StayOnTop() const;

    //! Back and forward through the topics shown.
    bool CanGoBack() const;
    bool CanGoForward() const;
    void Back();
    void Forward();

    //! Texts of the buttons, the caption and the page shown, in the current language.
    void Retranslate();

    QTextBrowser* Browser() const { return browser_; }

signals:
    //! A page was shown (also after a language change), with its topic.
    void TopicShown(int topic);

private:
    void Build();
    void Navigate(int topic);
    void Render();
    void LinkClicked(const QUrl& url);
    QString Text(std::string_view key) const;

    std::unique_ptr<THelpTables> tables_;
    THelpSources sources_;
    TTranslateFunc translate_;
    TConnection languageFollow_;

    std::vector<int> history_;
    int position_ = -1;

    QTextBrowser* browser_ = nullptr;
    QPushButton *contents_ = nullptr, *index_ = nullptr, *back_ = nullptr, *forward_ = nullptr;
    QCheckBox* stayOnTop_ = nullptr;
};
