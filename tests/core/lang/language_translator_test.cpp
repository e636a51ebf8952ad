#include "core/lang/language_db.h"
#include "core/lang/language_table.h"
#include "tests/core/lang/language_test_util.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

// Stand-ins for widgets: a class name and named text properties.
struct FakeControl {
    std::string Class;
    std::map<std::string, std::string> Props;
};

FakeControl* Control(TLanguageComponent c) {
    return static_cast<FakeControl*>(c);
}

// A form owning fake controls; it records what the language database asks of it.
struct FakeForm : TLanguageDBOwner {
    std::vector<FakeControl*> Components;
    bool Form = true;
    std::vector<std::string> Calls;

    void ForEachComponent(const std::function<void(TLanguageComponent)>& visit) override {
        Calls.push_back("walk");
        for (auto* c : Components) visit(c);
    }
    bool IsForm() const override { return Form; }
    void SetFontCharset(int charset) override {
        Calls.push_back("font " + std::to_string(charset));
    }
    void SetBusyCursor(bool busy) override { Calls.push_back(busy ? "busy" : "idle"); }
};

// Serves one class (or every control with an empty class), binds the listed properties
// and records every call in a shared log.
struct RecordingTranslator : TTavTranslator {
    std::string Name;
    std::string Class;
    std::vector<std::string> Properties;
    bool Wide = false;
    std::vector<std::string>& Log;

    RecordingTranslator(std::string name, std::string cls, std::vector<std::string> props,
                        std::vector<std::string>& log, bool wide = false)
        : Name(std::move(name)), Class(std::move(cls)), Properties(std::move(props)), Wide(wide),
          Log(log) {}

    bool Serves(TLanguageComponent c) const override {
        return Class.empty() || Control(c)->Class == Class;
    }
    void SetText(const TLanguageDBObject& b, const std::string& text) override {
        Log.push_back(Name + " text " + b.PropName + "=" + text);
        Control(b.Component)->Props[b.PropName] = text;
    }
    void SetWideText(const TLanguageDBObject& b, const std::string& text) override {
        Log.push_back(Name + " wide " + b.PropName + "=" + text);
        Control(b.Component)->Props[b.PropName] = text;
    }
    void CollectBindings(TLanguageComponent c, TCustomLanguageDB& db) override {
        Log.push_back(Name + " collect " + Control(c)->Class);
        for (const auto& p : Properties) {
            auto it = Control(c)->Props.find(p);
            if (it != Control(c)->Props.end()) db.Bind(c, p, it->second, Wide);
        }
    }
    void SetCharset(TLanguageComponent c, int charset) override {
        Log.push_back(Name + " charset " + Control(c)->Class + " " + std::to_string(charset));
    }
    void LanguageChanged(int group) override {
        Log.push_back(Name + " switched " + std::to_string(group));
    }
};

std::vector<std::string> Matching(const std::vector<std::string>& log, std::string_view part) {
    std::vector<std::string> out;
    for (const auto& l : log)
        if (l.find(part) != std::string::npos) out.push_back(l);
    return out;
}

struct TranslatorTest : ::testing::Test {
    std::vector<std::string> log;
    RecordingTranslator control{"control", "", {"Hint"}, log};
    RecordingTranslator button{"button", "Button", {"Caption", "Hint"}, log};
    RecordingTranslator combo{"combo", "TntComboBox", {"Items[0]", "Items[1]"}, log, true};
    TLanguageTable32Bit table;
    FakeControl okButton{"Button", {{"Caption", "~OK"}, {"Hint", "~OKHint"}}};
    FakeControl label{"Label", {{"Caption", "~NotBoundByAnyone"}, {"Hint", "plain hint"}}};
    FakeControl list{"TntComboBox", {{"Items[0]", "~Red"}, {"Items[1]", "~Blue"}}};
    FakeForm form;

    void SetUp() override {
        table.LoadFromStream(
            RawLanguageBlob({"~OK", "~OKHint", "~Red", "~Blue", "~Cancel"},
                            {{"de", {"OK-de", "Hinweis", "Rot", "Blau", "Abbrechen"}},
                             {"ja", {"\x82\xCD\x82\xA2", "", "\x90\xD4", "\x90\xC2", ""}}}));
        form.Components = {&okButton, &label, &list};
    }
};

} // namespace

TEST_F(TranslatorTest, FirstSwitchCollectsBindingsOnceThroughServingTranslators) {
    TLanguageDB db(&form);
    db.Loaded();
    db.SetLanguage("de");
    EXPECT_EQ(Matching(log, "collect"),
              (std::vector<std::string>{"control collect Button", "button collect Button",
                                        "control collect Label", "control collect TntComboBox",
                                        "combo collect TntComboBox"}));
    // One binding per property, however many translators offered it; texts without "~"
    // are not bound.
    ASSERT_EQ(db.Bindings().size(), 4u);
    EXPECT_EQ(db.Bindings()[0].PropName, "Hint");
    EXPECT_EQ(db.Bindings()[0].Key, "~OKHint");
    EXPECT_EQ(db.Bindings()[1].PropName, "Caption");
    EXPECT_TRUE(db.Bindings()[2].Wide);
    EXPECT_EQ(okButton.Props["Caption"], "OK-de");
    EXPECT_EQ(okButton.Props["Hint"], "Hinweis");
    EXPECT_EQ(label.Props["Caption"], "~NotBoundByAnyone");
    EXPECT_EQ(list.Props["Items[1]"], "Blau");

    log.clear();
    db.SetLanguage("ja");
    EXPECT_TRUE(Matching(log, "collect").empty()); // bindings are kept
    EXPECT_EQ(okButton.Props["Caption"], "はい");
    EXPECT_EQ(okButton.Props["Hint"], "");
    EXPECT_EQ(list.Props["Items[0]"], "赤");
}

TEST_F(TranslatorTest, EveryServingTranslatorAppliesInItsOwnSlot) {
    TLanguageDB db(&form);
    db.Loaded();
    db.SetLanguage("de");
    // The button's hint goes through the general and the button translator; the combo
    // box's entries, bound wide, through the wide slot of both its translators.
    EXPECT_EQ(Matching(log, "=Hinweis"),
              (std::vector<std::string>{"control text Hint=Hinweis", "button text Hint=Hinweis"}));
    EXPECT_EQ(Matching(log, "=Rot"),
              (std::vector<std::string>{"control wide Items[0]=Rot", "combo wide Items[0]=Rot"}));
    EXPECT_EQ(
        Matching(log, "switched"),
        (std::vector<std::string>{"control switched 0", "button switched 0", "combo switched 0"}));
}

TEST_F(TranslatorTest, FormGetsCharsetAfterTheTexts) {
    TLanguageDB db(&form);
    db.Loaded();
    db.SetLanguage("ja");
    EXPECT_EQ(form.Calls, (std::vector<std::string>{"busy", "walk", "font 128", "walk", "idle"}));
    const auto charsets = Matching(log, "charset");
    ASSERT_EQ(charsets.size(), 5u);
    EXPECT_EQ(charsets[0], "control charset Button 128");
    EXPECT_EQ(charsets[1], "button charset Button 128");
    // Texts first, then the character set, then the group hears of the switch.
    const auto firstCharset = std::find(log.begin(), log.end(), charsets[0]);
    const auto lastText = std::find(log.begin(), log.end(), "combo wide Items[1]=青");
    ASSERT_NE(lastText, log.end());
    EXPECT_LT(lastText, firstCharset);
    EXPECT_EQ(log.back(), "combo switched 0");
}

TEST_F(TranslatorTest, ApplicationOwnerGetsNoCharset) {
    form.Form = false;
    TLanguageDB db(&form);
    db.Loaded();
    db.SetLanguage("ja");
    EXPECT_TRUE(Matching(log, "charset").empty());
    EXPECT_EQ(form.Calls, (std::vector<std::string>{"busy", "walk", "idle"}));
    EXPECT_EQ(okButton.Props["Caption"], "はい");
}

TEST_F(TranslatorTest, ProgressReportsEverySixteenthBinding) {
    std::vector<FakeControl> many(33, FakeControl{"Label", {}});
    for (size_t i = 0; i < many.size(); ++i) many[i].Props["Hint"] = "~H" + std::to_string(i);
    form.Components.clear();
    for (auto& c : many) form.Components.push_back(&c);
    TLanguageDB db(&form);
    db.Loaded();
    std::vector<int> percents;
    db.OnUpdateProgressBar = [&](TCustomLanguageDB& sender, int p) {
        EXPECT_EQ(&sender, &db);
        percents.push_back(p);
    };
    db.SetLanguage("de");
    // Collection 0/100, texts 0, after bindings 0, 16 and 32 of 33, then 100.
    EXPECT_EQ(percents, (std::vector<int>{0, 100, 0, 0, 48, 97, 100}));
    percents.clear();
    db.SetLanguage("ja");
    EXPECT_EQ(percents, (std::vector<int>{0, 0, 48, 97, 100}));
}

TEST_F(TranslatorTest, BindLaterUpdatesRemovesAndCutsNames) {
    TLanguageDB db(&form);
    db.Loaded();
    db.SetLanguage("de");
    log.clear();

    // Rebinding a bound property to another key applies its text at once.
    db.Bind(&okButton, "Caption", "~Cancel");
    EXPECT_EQ(okButton.Props["Caption"], "Abbrechen");
    EXPECT_EQ(Matching(log, "text Caption"),
              (std::vector<std::string>{"control text Caption=Abbrechen",
                                        "button text Caption=Abbrechen"}));
    const auto count = db.Bindings().size();

    // A new binding waits for the next retranslation.
    db.Bind(&label, "Caption", "~OK");
    EXPECT_EQ(db.Bindings().size(), count + 1);
    EXPECT_EQ(label.Props["Caption"], "~NotBoundByAnyone");
    db.Retranslate();
    EXPECT_EQ(label.Props["Caption"], "OK-de");

    // A text without "~" unbinds.
    db.Bind(&label, "Caption", "fixed");
    EXPECT_EQ(db.Bindings().size(), count);
    db.Bind(&label, "Caption", "still fixed"); // unbound and no key: nothing
    EXPECT_EQ(db.Bindings().size(), count);

    db.Bind(&label, "AVeryLongPropertyName[12]", "~OK");
    EXPECT_EQ(db.Bindings().back().PropName, "AVeryLongPropertyNam");
    db.Bind(&label, "AVeryLongPropertyName[34]", "x"); // the same cut name
    EXPECT_EQ(db.Bindings().size(), count);

    db.RemoveComponent(&list);
    for (const auto& b : db.Bindings()) EXPECT_NE(b.Component, &list);
    EXPECT_EQ(db.Bindings().size(), count - 2);
}

TEST_F(TranslatorTest, PreviewGroupDoesNotSwitchTheForms) {
    FakeControl caption{"Button", {{"Caption", "~OK"}}};
    FakeForm dialog;
    dialog.Components = {&caption};
    TLanguageDB main(&form);
    main.Loaded();
    main.SetLanguage("de");
    TLanguageDB preview(&dialog);
    preview.SetGroup(-1);
    preview.Loaded(); // adopts "de" and translates its dialog
    EXPECT_EQ(caption.Props["Caption"], "OK-de");
    log.clear();
    preview.SetLanguage("ja");
    EXPECT_EQ(caption.Props["Caption"], "はい");
    EXPECT_EQ(okButton.Props["Caption"], "OK-de");
    EXPECT_EQ(Matching(log, "switched"),
              (std::vector<std::string>{"control switched -1", "button switched -1",
                                        "combo switched -1"}));
}

TEST_F(TranslatorTest, WithoutOwnerNothingIsBound) {
    TLanguageDB db;
    db.Loaded();
    db.SetLanguage("de");
    EXPECT_TRUE(db.Bindings().empty());
    EXPECT_TRUE(Matching(log, "collect").empty());
    EXPECT_EQ(db.Translate("~OK"), "OK-de");
}

TEST(TavTranslator, TranslatorsJoinAndLeaveTheProcessList) {
    std::vector<std::string> log;
    const auto before = TTavTranslator::Translators().size();
    {
        RecordingTranslator a("a", "", {}, log);
        ASSERT_EQ(TTavTranslator::Translators().size(), before + 1);
        EXPECT_EQ(TTavTranslator::Translators().back(), &a);
    }
    EXPECT_EQ(TTavTranslator::Translators().size(), before);
}
