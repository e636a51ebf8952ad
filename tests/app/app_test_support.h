#pragma once

// Doubles of the program's small services, so that the windows run without modal loops,
// waiting timers or a help window, and a settings folder of each test's own.

#include "app/platform/file_dialogs.h"
#include "app/platform/help_viewer.h"
#include "app/platform/language_chooser.h"
#include "app/platform/message_boxes.h"
#include "app/platform/timers.h"
#include "app/platform/url_opener.h"
#include "core/lang/language_dialog.h"
#include "gui/lang/language_dlg.h"

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QFile>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>

//! Records every message and answers the questions from a script (Cancel when it runs out).
class TScriptedMessages : public IMessageBoxes {
public:
    struct TMessage {
        QString Caption, Text;
        QWidget* FocusAtShow = nullptr;
    };
    std::vector<TMessage> Shown;
    std::vector<TMessage> Asked;
    std::deque<TAnswer> Answers;

    void Inform(QWidget*, const QString& caption, const QString& text) override {
        Shown.push_back({caption, text, nullptr});
    }
    TAnswer Ask(QWidget*, const QString& caption, const QString& text, const QString&,
                const QString&, const QString&) override {
        Asked.push_back({caption, text, nullptr});
        if (Answers.empty()) return TAnswer::Cancel;
        const TAnswer a = Answers.front();
        Answers.pop_front();
        return a;
    }
};

//! Hands out the file names of a script (empty, i.e. cancelled, when it runs out) and
//! records what each dialog was asked with.
class TScriptedFiles : public IFileDialogs {
public:
    std::deque<QString> Names;
    QStringList Captions, Starts, Filters;

    QString OpenFileName(QWidget*, const QString& caption, const QString& folder,
                         const QString& filter) override {
        return Next(caption, folder, filter);
    }
    QString SaveFileName(QWidget*, const QString& caption, const QString& suggested,
                         const QString& filter) override {
        return Next(caption, suggested, filter);
    }

private:
    QString Next(const QString& caption, const QString& start, const QString& filter) {
        Captions << caption;
        Starts << start;
        Filters << filter;
        if (Names.empty()) return {};
        QString n = Names.front();
        Names.pop_front();
        return n;
    }
};

//! Runs the real language dialog without its modal loop: initialises it over the
//! component, notes whether Cancel was enabled, picks the scripted language and presses OK
//! (or Cancel when the script says no language).
class TScriptedLanguages : public ILanguageChooser {
public:
    std::deque<std::string> Choices;
    std::vector<bool> CancelEnabled;
    std::vector<QString> Captions;
    int Calls = 0;

    bool Choose(TLanguageDialog32Bit& dialog, QWidget* parent) override {
        ++Calls;
        TLanguageDlg form(dialog, parent);
        form.Initialise();
        CancelEnabled.push_back(form.CancelButton()->isEnabled());
        Captions.push_back(form.windowTitle());
        const std::string code = Choices.empty() ? std::string() : Choices.front();
        if (!Choices.empty()) Choices.pop_front();
        if (code.empty()) {
            form.reject();
        } else {
            form.Model().Choose(dialog.RowOf(code));
            form.accept();
        }
        return form.result() == QDialog::Accepted;
    }
};

//! Timers that tick only when a test says so. Made lists the timers alive, in the order they
//! were made: a timer leaves it when it goes with its window, so a later test never finds one
//! of an earlier window.
class TManualTimers : public ITimerFactory {
public:
    class TManualTimer : public ITimer {
    public:
        explicit TManualTimer(std::vector<TManualTimer*>& owner) : owner_(owner) {}
        ~TManualTimer() override { std::erase(owner_, this); }
        TManualTimer(const TManualTimer&) = delete;
        TManualTimer& operator=(const TManualTimer&) = delete;
        int Interval = 0;
        bool Running = false;
        void Start(int intervalMs) override {
            Interval = intervalMs;
            Running = true;
        }
        void Stop() override { Running = false; }
        bool Active() const override { return Running; }
        //! One tick, as the event loop would deliver it while the timer runs.
        void Fire() {
            if (Running && OnTimer) OnTimer();
        }

    private:
        std::vector<TManualTimer*>& owner_;
    };
    std::vector<TManualTimer*> Made;

    std::unique_ptr<ITimer> CreateTimer() override {
        auto t = std::make_unique<TManualTimer>(Made);
        Made.push_back(t.get());
        return t;
    }
};

//! Records the topics asked for.
class THelpRecorder : public IHelpViewer {
public:
    std::vector<int> Topics;
    bool OnTop = false;
    void ShowTopic(int topic) override { Topics.push_back(topic); }
    void SetStayOnTop(bool onTop) override { OnTop = onTop; }
};

//! Records the addresses a window asks the browser to open, and answers whether a browser
//! could be started.
class TUrlRecorder : public IUrlOpener {
public:
    std::vector<QUrl> Opened;
    bool Answer = true;
    bool OpenUrl(const QUrl& url) override {
        Opened.push_back(url);
        return Answer;
    }
};

//! A settings folder and a documents folder of the test's own: the environment the
//! program's settings read points into a fresh temporary folder, in a British English
//! locale (language "en", metric units).
class TIsolatedSettings {
public:
    TIsolatedSettings() {
        qputenv("HOME", dir_.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (dir_.path() + "/config").toUtf8());
        qputenv("LC_ALL", "en_GB.UTF-8");
    }
    QString Path() const { return dir_.path(); }
    QString File(const QString& name) const { return dir_.path() + "/" + name; }
    //! The settings file the program writes.
    QString SettingsFile() const { return dir_.path() + "/config/Orsik/KELM/UserSettings.ini"; }
    QByteArray SettingsBytes() const {
        QFile f(SettingsFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir dir_;
};

inline QString ExampleProject(const char* name) {
    return QString(VACUUM_SOURCE_DIR) + "/examples/" + name;
}

inline const char* const kExampleProjects[] = {"aluminium_block_servo.vac",
                                               "glass_plate_rotary.vac", "steel_sheet_linear.vac"};
