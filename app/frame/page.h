#pragma once

#include "core/workflow/model_aspects.h"
#include "core/workflow/page_workflow.h"

#include <string_view>

#include <QString>
#include <QWidget>

class IFileDialogs;
class IHelpViewer;
class IMessageBoxes;
class IProgramStarter;
class ITimerFactory;
class IUrlOpener;
class TFormBrowser;
class TLanguageForm;
class TTavUserSettings;
class TVacuumApplication;

//! What a page is handed when it is made: the application model it shows and changes, the
//! main window's language form (its "~" texts are translated with the window), and the
//! small services of the program. Everything outlives the page.
struct TPageContext {
    TVacuumApplication& App;
    TLanguageForm& Language;
    IMessageBoxes& Messages;
    ITimerFactory& Timers;
    //! Null while the program has no help window.
    IHelpViewer* Help = nullptr;
    //! Starts the helper programs the settings file describes; never null in a frame.
    IProgramStarter* Programs = nullptr;
    //! The file dialogs, the user settings (the ordering system's switches, the documents
    //! folder, the shop address) and the opener of addresses; never null in a frame.
    IFileDialogs* Files = nullptr;
    const TTavUserSettings* Settings = nullptr;
    IUrlOpener* Urls = nullptr;
    //! The online shop window, which hands the basket form to the browser; never null in a
    //! frame.
    TFormBrowser* Shop = nullptr;
};

//! One page of the main window's page stack. The frame knows a page only through this: it
//! shows the widget in the stack slot of Index(), tells the page when it becomes current or
//! stops being current, passes every change notice of the model on, and finds the control
//! a refused page check names. A page changes the model only inside app.Input(...).
class TPage {
public:
    virtual ~TPage() = default;

    //! The page's place in the stack, one of TMainPage.
    virtual int Index() const = 0;
    //! The language key of the page caption.
    std::string_view CaptionKey() const { return MainPageInfo(Index()).PageCaption; }
    //! The page itself; the frame puts it into its stack.
    virtual QWidget* Widget() = 0;

    //! The language changed: texts the page makes itself (not bound to "~" keys).
    virtual void Retranslate() {}
    //! The model changed these aspects; the page repaints what depends on them.
    virtual void Refresh(TAspects /*aspects*/) {}
    //! The page became current / stopped being current (animations run only meanwhile).
    virtual void Enter() {}
    virtual void Leave() {}
    //! The widget a failed check focuses, by its stable name (page_controls.h), which the
    //! page gives the widget as its object name; null when the page has none of that name.
    virtual QWidget* ControlNamed(std::string_view name) {
        return Widget()->findChild<QWidget*>(
            QString::fromUtf8(name.data(), static_cast<int>(name.size())));
    }
};
