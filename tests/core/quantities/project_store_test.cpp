#include "core/quantities/prj_strings.h"
#include "core/quantities/project.h"
#include "project_test_support.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

enum TTestColor : uint8_t { cRed, cGreen, cBlue };
constexpr std::array<std::string_view, 3> kColorNames = {"red", "green", "blue"};

// A project list of points, with a setting of its own.
class TTestPointList : public TPrjList {
public:
    TTestPointList() : TPrjList(PrjClass<TTestPoint>) {}
    int Mode = 0;
    void WriteTo(TPrjStrings& strings, const std::string& key) const override {
        strings.WriteInteger(key + ".Mode", Mode);
        TPrjList::WriteTo(strings, key);
    }
    void ReadFrom(const TPrjStrings& strings, const std::string& key) override {
        Mode = strings.ReadInteger(key + ".Mode");
        TPrjList::ReadFrom(strings, key);
    }
    bool Equals(const TPrjObject& other) const override {
        const auto* o = dynamic_cast<const TTestPointList*>(&other);
        return o && o->Mode == Mode && TPrjList::Equals(other);
    }
    void AssignFrom(const TPrjObject& other) override {
        TPrjList::AssignFrom(other);
        if (const auto* o = dynamic_cast<const TTestPointList*>(&other)) Mode = o->Mode;
    }
    void ClearItem() override {
        TPrjList::ClearItem();
        Mode = 0;
    }
};

// A document with one item of every kind, registered on demand like the real one.
struct TTestDocument {
    double Mass = -1;
    int32_t Count = -1;
    bool Flag = false;
    std::string Name;
    TTestColor Color = cRed;
    uint8_t Filter = 0;
    TVektor Center;
    TTestPoint Point;
    TTestPointList Points;
    TPrjStringList Notes{PrjClass<TTestPoint>};
    TPrjObjects Plain;
    std::vector<std::string> Address;
    TPrjStringItems Tagged;
    double DriveNC = -1;
    double DriveNCLinear = -1;

    TProject Store;
    int Registrations = 0;
    std::vector<std::string> Events;
    std::vector<int> Progress;
    std::vector<bool> BusyAtEvents;

    TTestDocument() {
        Store.OnRegisterItems = [this](TProject& p) {
            ++Registrations;
            p.AddFloat(Mass, "Workpiece.Mass", 7.5);
            p.AddInteger(Count, 3, "Venturi.Count");
            p.AddBoolean(Flag, true, "Workpiece.WorstCase");
            p.AddText(Name, 10, "Project.Author");
            p.AddEnum(Color, cGreen, "Tube.Color", kColorNames);
            p.AddEnum(Filter, 2, "Tube.Filter", kColorNames);
            p.AddVector(Center, TVektor(1, 2, 3), "Workpiece.MassCenter");
            p.AddObject(Point, "Point");
            p.AddList(Points, "Points");
            p.AddStrings(Notes, "Notes");
            p.AddList(Plain, PrjClass<TTestPoint>, "Plain");
            p.AddStrings(Address, "Customer.Address");
            p.AddStrings(Tagged, PrjClass<TTestPoint>, "Tagged");
            p.AddFloat(DriveNC, "Drive.NC", 1);
            p.AddFloat(DriveNCLinear, "Drive.NC.Linear.Move", 2);
        };
        Store.OnSetDefaultValues = [this](TProject& p, const std::string& names) {
            Events.push_back("defaults:" + names);
            BusyAtEvents.push_back(p.Busy());
        };
        Store.OnUpdateScreen = [this](TProject& p, const std::string& names) {
            Events.push_back("screen:" + names);
            BusyAtEvents.push_back(p.Busy());
        };
        Store.OnUpdateProgressBar = [this](TProject&, int percent) { Progress.push_back(percent); };
    }

    // Gives every item a value other than its default and other than zero.
    void FillNonDefault() {
        Mass = -1.0 / 3.0;
        Count = -2147483647;
        Flag = false;
        Name = "a=b Müller"; // exactly the maximum length of 10 characters
        Color = cBlue;
        Filter = 0;
        Center = TVektor(-0.5, 1e-20, 12345678.875);
        Point.X = 2.0 / 7.0;
        Point.Name = "  p  ";
        Points.Mode = 4;
        Points.Clear();
        Points.Add(std::make_unique<TTestPoint>(1, "one"));
        Points.Add(std::make_unique<TTestPoint>(-2.25, "two=2"));
        Points.Add(std::make_unique<TTestPoint>(3e-9, ""));
        Notes.Clear();
        Notes.Add("first line", std::make_unique<TTestPoint>(5, "n"));
        Notes.Add("x=y");
        Plain.clear();
        Plain.push_back(std::make_unique<TTestPoint>(0.1, "p0"));
        Plain.push_back(std::make_unique<TTestPoint>(-0.2, "p1"));
        Address = {"Street 1", "", "12345 Town €"};
        Tagged.clear();
        Tagged.push_back({"t0", std::make_unique<TTestPoint>(7, "seven")});
        Tagged.push_back({"t1", std::make_unique<TTestPoint>(8, "")});
        DriveNC = 0.625;
        DriveNCLinear = -99;
    }
};

std::vector<std::string> WrittenLines(TProject& store) {
    TPrjStrings s;
    store.WriteItems(s);
    EXPECT_FALSE(s.Failed()) << s.Error();
    return s.Lines();
}

// ---------------------------------------------------------------------------------------------
// Registration, defaults and prefixes

TEST(ProjectStore, RegistersOnceWhenTheItemsAreFirstNeeded) {
    TTestDocument d;
    EXPECT_EQ(d.Registrations, 0);
    EXPECT_EQ(d.Store.ItemCount(), 15);
    EXPECT_EQ(d.Store.Item(3).Key(), "Project.Author");
    EXPECT_EQ(d.Store.Item(3).Type(), cpiText);
    EXPECT_EQ(d.Store.Item(3).MaxLength(), 10);
    EXPECT_EQ(d.Store.Item(4).Names(), (std::vector<std::string>{"red", "green", "blue"}));
    EXPECT_EQ(&d.Store.Item(0).Owner(), &d.Store);
    d.Store.SetDefaults("");
    d.Store.Snapshot();
    EXPECT_EQ(d.Registrations, 1);
    EXPECT_EQ(d.Store.FindItem("Venturi.Count"), &d.Store.Item(1));
    EXPECT_EQ(d.Store.FindItem("venturi.count"), nullptr);
    EXPECT_THROW(d.Store.Item(15), std::out_of_range);
    d.Store.Clear();
    EXPECT_EQ(d.Store.ItemCount(), 15);
    EXPECT_EQ(d.Registrations, 2);
}

TEST(ProjectStore, EveryItemKindGetsItsDefault) {
    TTestDocument d;
    d.FillNonDefault();
    d.Store.SetDefaults("");
    EXPECT_EQ(d.Mass, 7.5);
    EXPECT_EQ(d.Count, 3);
    EXPECT_TRUE(d.Flag);
    EXPECT_EQ(d.Name, "");
    EXPECT_EQ(d.Color, cGreen);
    EXPECT_EQ(d.Filter, 2);
    EXPECT_EQ(d.Center, TVektor(1, 2, 3));
    EXPECT_EQ(d.Point.X, 0.0);
    EXPECT_EQ(d.Point.Name, "");
    EXPECT_EQ(d.Points.Count(), 0);
    EXPECT_EQ(d.Points.Mode, 0);
    EXPECT_EQ(d.Notes.Count(), 0);
    EXPECT_TRUE(d.Plain.empty());
    EXPECT_TRUE(d.Address.empty());
    EXPECT_TRUE(d.Tagged.empty());
    EXPECT_EQ(d.Events, (std::vector<std::string>{"defaults:"}));
}

TEST(ProjectStore, APrefixSelectsTheKeysThatBeginWithItExactly) {
    TTestDocument d;
    d.FillNonDefault();
    d.Store.SetDefaults("Drive.NC");
    EXPECT_EQ(d.DriveNC, 1.0);
    EXPECT_EQ(d.DriveNCLinear, 2.0);
    EXPECT_EQ(d.Mass, -1.0 / 3.0);

    d.FillNonDefault();
    d.Store.SetDefaults("Workpiece.");
    EXPECT_EQ(d.Mass, 7.5);
    EXPECT_TRUE(d.Flag);
    EXPECT_EQ(d.Center, TVektor(1, 2, 3));
    EXPECT_EQ(d.Color, cBlue);
    EXPECT_EQ(d.DriveNC, 0.625);

    d.FillNonDefault();
    d.Store.SetDefaults("workpiece"); // letter case counts
    EXPECT_EQ(d.Mass, -1.0 / 3.0);
    EXPECT_EQ(d.Events, (std::vector<std::string>{"defaults:Drive.NC", "defaults:Workpiece.",
                                                  "defaults:workpiece"}));

    EXPECT_TRUE(TProject::KeyInPrefix("Drive.NC.Linear.Move", "Drive.NC"));
    EXPECT_TRUE(TProject::KeyInPrefix("Anything", ""));
    EXPECT_FALSE(TProject::KeyInPrefix("Drive", "Drive.NC"));
}

TEST(ProjectStore, RegistrationRejectsImpossibleItems) {
    TProject p;
    std::string text;
    uint8_t e = 0;
    EXPECT_THROW(p.AddText(text, 256, "t"), std::invalid_argument);
    EXPECT_THROW(p.AddText(text, -1, "t"), std::invalid_argument);
    EXPECT_THROW(p.AddEnum(e, 3, "e", kColorNames), std::invalid_argument);
    EXPECT_THROW(p.AddEnum(e, 0, "e", std::span<const std::string_view>()), std::invalid_argument);
    EXPECT_EQ(p.ItemCount(), 0);
}

// ---------------------------------------------------------------------------------------------
// New

TEST(ProjectStore, NewResetsSnapshotsAndRefreshesWhileBusy) {
    TTestDocument d;
    EXPECT_TRUE(d.Store.Busy()); // until loaded
    d.FillNonDefault();
    d.Store.New();
    EXPECT_FALSE(d.Store.Busy());
    EXPECT_EQ(d.Store.FileName(), "");
    EXPECT_EQ(d.Mass, 7.5);
    EXPECT_EQ(d.Events, (std::vector<std::string>{"defaults:", "screen:"}));
    EXPECT_EQ(d.BusyAtEvents, (std::vector<bool>{true, true}));
    EXPECT_FALSE(d.Store.Modified());
    EXPECT_TRUE(d.Progress.empty());
}

TEST(ProjectStore, LoadedEndsTheCreationBusyState) {
    TProject p;
    EXPECT_TRUE(p.Busy());
    p.Loaded();
    EXPECT_FALSE(p.Busy());
}

// ---------------------------------------------------------------------------------------------
// Snapshots

TEST(ProjectStore, ModifiedComparesEveryItemKindWithItsSnapshot) {
    using TChange = void (*)(TTestDocument&);
    const TChange changes[] = {
        [](TTestDocument& d) { d.Mass += 1; },
        [](TTestDocument& d) { d.Count += 1; },
        [](TTestDocument& d) { d.Flag = !d.Flag; },
        [](TTestDocument& d) { d.Name += "x"; },
        [](TTestDocument& d) { d.Color = cRed; },
        [](TTestDocument& d) { d.Filter = 1; },
        [](TTestDocument& d) { d.Center.Z = 0; },
        [](TTestDocument& d) { d.Point.Name = "changed"; },
        [](TTestDocument& d) { d.Points.Mode = 9; },
        [](TTestDocument& d) { dynamic_cast<TTestPoint&>(*d.Points.Item(1)).X = 0; },
        [](TTestDocument& d) { d.Notes.Add("more"); },
        [](TTestDocument& d) { dynamic_cast<TTestPoint&>(*d.Plain[0]).Name = "other"; },
        [](TTestDocument& d) { d.Plain.pop_back(); },
        [](TTestDocument& d) { d.Address[1] = "filled"; },
        [](TTestDocument& d) { d.Tagged[0].Text = "other"; },
        [](TTestDocument& d) { dynamic_cast<TTestPoint&>(*d.Tagged[1].Object).X = 0; },
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        TTestDocument d;
        d.FillNonDefault();
        d.Store.Snapshot();
        ASSERT_FALSE(d.Store.Modified()) << i;
        changes[i](d);
        EXPECT_TRUE(d.Store.Modified()) << i;
        d.Store.Snapshot();
        EXPECT_FALSE(d.Store.Modified()) << i;
    }
}

TEST(ProjectStore, SnapshotsOfListsAreCopiesNotReferences) {
    TTestDocument d;
    d.FillNonDefault();
    d.Store.Snapshot();
    d.Points.Clear(); // frees the elements the snapshot must not share
    d.Plain.clear();
    d.Tagged.clear();
    EXPECT_TRUE(d.Store.Modified());
    d.FillNonDefault();
    EXPECT_FALSE(d.Store.Modified());
}

// ---------------------------------------------------------------------------------------------
// Reading files

class ProjectLoad : public ::testing::Test {
protected:
    TTempDir Dir;
    TTestDocument D;

    TPrjResult Load(const std::string& bytes) {
        const std::string file = Dir.File("p.vac");
        WriteBytes(file, bytes);
        return D.Store.LoadFromFile(file);
    }
};

TEST_F(ProjectLoad, MissingKeysReadAsEmptyNotAsDefaults) {
    D.FillNonDefault();
    ASSERT_TRUE(Load("Workpiece.Mass=2.5\r\n"));
    EXPECT_EQ(D.Mass, 2.5);
    EXPECT_EQ(D.Count, 0);
    EXPECT_FALSE(D.Flag);
    EXPECT_EQ(D.Name, "");
    EXPECT_EQ(D.Color, cRed);
    EXPECT_EQ(D.Filter, 0);
    EXPECT_EQ(D.Center, TVektor());
    EXPECT_EQ(D.Points.Count(), 0);
    EXPECT_TRUE(D.Plain.empty());
    EXPECT_TRUE(D.Address.empty());
    EXPECT_EQ(D.DriveNC, 0.0);
    EXPECT_EQ(D.Store.FileName(), Dir.File("p.vac"));
}

TEST(ProjectStoreLoad, ANumberKeepingItsDefaultKeepsItOnlyWhenItsKeyIsMissing) {
    TTempDir dir;
    double kept = 0.0, plain = 0.0;
    TProject store;
    store.OnRegisterItems = [&](TProject& p) {
        p.AddFloatKeepingDefault(kept, "A.Kept", 2.5);
        p.AddFloat(plain, "A.Plain", 4.0);
    };
    store.Loaded();
    const std::string file = dir.File("k.vac");
    WriteBytes(file, "Other=1\r\n");
    kept = plain = 9.0;
    ASSERT_TRUE(store.LoadFromFile(file));
    EXPECT_EQ(kept, 2.5);
    EXPECT_EQ(plain, 0.0);
    // Present, even as a text that does not read, it reads as any number does.
    WriteBytes(file, "A.Kept=0.125\r\nA.Plain=1\r\n");
    ASSERT_TRUE(store.LoadFromFile(file));
    EXPECT_EQ(kept, 0.125);
    WriteBytes(file, "A.Kept=abc\r\n");
    ASSERT_TRUE(store.LoadFromFile(file));
    EXPECT_EQ(kept, 0.0);
    // Written and read back.
    kept = 1.0 / 3.0;
    ASSERT_TRUE(store.SaveToFile(file));
    kept = 0.0;
    ASSERT_TRUE(store.LoadFromFile(file));
    EXPECT_EQ(kept, 1.0 / 3.0);
}

TEST_F(ProjectLoad, KeysIgnoreLetterCaseButNotBlanks) {
    ASSERT_TRUE(Load("workpiece.mass=2.5\r\nVENTURI.COUNT=4\r\n"));
    EXPECT_EQ(D.Mass, 2.5);
    EXPECT_EQ(D.Count, 4);
    ASSERT_TRUE(Load("Workpiece.Mass =2.5\r\nVenturi.Count= 4\r\n"));
    EXPECT_EQ(D.Mass, 0.0);
    EXPECT_EQ(D.Count, 4); // leading blanks of an integer are skipped
}

TEST_F(ProjectLoad, EncodingsOfEachKind) {
    ASSERT_TRUE(Load("Workpiece.Mass=1/4\n"
                     "Venturi.Count=$10\n"
                     "Workpiece.WorstCase=true\n"
                     "Project.Author=0123456789ABC\n"
                     "Tube.Color=blue\n"
                     "Tube.Filter=Green\n"
                     "Workpiece.MassCenter.x=-1.5\n"
                     "workpiece.masscenter.Z=2e3\n"
                     "Point.X=abc\n"
                     "Point.Name=a=b\n"));
    EXPECT_EQ(D.Mass, 0.25);
    EXPECT_EQ(D.Count, 16);
    EXPECT_FALSE(D.Flag);
    EXPECT_EQ(D.Name, "0123456789"); // cut to the item's 10 characters
    EXPECT_EQ(D.Color, cBlue);
    EXPECT_EQ(D.Filter, 0); // names match with their case
    EXPECT_EQ(D.Center, TVektor(-1.5, 0, 2000));
    EXPECT_EQ(D.Point.X, 0.0);
    EXPECT_EQ(D.Point.Name, "a=b");
}

TEST_F(ProjectLoad, TheFirstMatchingLineWinsAndOtherLinesAreIgnored) {
    ASSERT_TRUE(Load("[Project]\n"
                     "just text\n"
                     "Unknown.Key=1\n"
                     "Workpiece.Mass=1\n"
                     "WORKPIECE.MASS=2\n"));
    EXPECT_EQ(D.Mass, 1.0);
}

TEST_F(ProjectLoad, TextsAreCutByCharactersNotBytes) {
    ASSERT_TRUE(Load("Project.Author=\xE4\xF6\xFC\xC4\xD6\xDC\xDF\x80\xE9\xE8\xEA\n"));
    EXPECT_EQ(D.Name, "äöüÄÖÜß€éè");
}

TEST_F(ProjectLoad, ReadsCodePage1252AndAnyLineEnd) {
    ASSERT_TRUE(Load("Project.Author=Gr\xFC\xDF\x65\r\n"
                     "Customer.Address.Count=3\n"
                     "Customer.Address.Strings[0]=M\xFCnchen \x80\r"
                     "Customer.Address.Strings[2]=\x93quoted\x94"));
    EXPECT_EQ(D.Name, "Grüße");
    EXPECT_EQ(D.Address, (std::vector<std::string>{"München €", "", "“quoted”"}));
}

TEST_F(ProjectLoad, ListsReadTheirElements) {
    ASSERT_TRUE(Load("Points.Mode=2\n"
                     "Points.Count=2\n"
                     "Points.Items[0].X=1\n"
                     "Points.Items[1].Name=b\n"
                     "Notes.Count=1\n"
                     "Notes.Lines[0]=n\n"
                     "Notes.Items[0].X=3\n"
                     "Plain.Count=2\n"
                     "Plain.Objects[1].X=5\n"
                     "Tagged.Count=1\n"
                     "Tagged.Strings[0]=s\n"
                     "Tagged.Objects[0].Name=o\n"));
    EXPECT_EQ(D.Points.Mode, 2);
    ASSERT_EQ(D.Points.Count(), 2);
    EXPECT_EQ(dynamic_cast<const TTestPoint&>(*D.Points.Item(0)).X, 1.0);
    EXPECT_EQ(dynamic_cast<const TTestPoint&>(*D.Points.Item(1)).Name, "b");
    ASSERT_EQ(D.Notes.Count(), 1);
    EXPECT_EQ(D.Notes.Line(0), "n");
    EXPECT_EQ(dynamic_cast<const TTestPoint&>(*D.Notes.Object(0)).X, 3.0);
    ASSERT_EQ(D.Plain.size(), 2u);
    EXPECT_EQ(dynamic_cast<const TTestPoint&>(*D.Plain[1]).X, 5.0);
    ASSERT_EQ(D.Tagged.size(), 1u);
    EXPECT_EQ(D.Tagged[0].Text, "s");
    EXPECT_EQ(dynamic_cast<const TTestPoint&>(*D.Tagged[0].Object).Name, "o");
}

TEST_F(ProjectLoad, AnElementThatFailsEndsAPlainListSilently) {
    TTempDir dir;
    TProject p;
    TPrjObjects plain;
    TPrjStringItems tagged;
    p.OnRegisterItems = [&](TProject& s) {
        s.AddList(plain, PrjClass<TFailingPoint>, "Plain");
        s.AddStrings(tagged, PrjClass<TFailingPoint>, "Tagged");
    };
    const std::string file = dir.File("f.vac");
    WriteBytes(file, "Plain.Count=3\nPlain.Objects[1].Name=fail\n"
                     "Tagged.Count=3\nTagged.Strings[0]=a\nTagged.Objects[2].Name=fail\n");
    ASSERT_TRUE(p.LoadFromFile(file));
    EXPECT_EQ(plain.size(), 1u);
    EXPECT_EQ(tagged.size(), 2u);
}

TEST_F(ProjectLoad, BusyWhileLoadingAndTheScreenIsRefreshedOnce) {
    ASSERT_TRUE(Load("Workpiece.Mass=1\n"));
    EXPECT_EQ(D.Events, (std::vector<std::string>{"defaults:", "screen:"}));
    EXPECT_EQ(D.BusyAtEvents, (std::vector<bool>{true, true}));
    EXPECT_FALSE(D.Store.Busy());
    // The loaded state is the new reference for changes.
    EXPECT_FALSE(D.Store.Modified());
    D.Mass = 2;
    EXPECT_TRUE(D.Store.Modified());
}

TEST_F(ProjectLoad, ProgressAfterEveryFourthItem) {
    TTempDir dir;
    TProject p;
    std::vector<double> values(10);
    std::vector<int> progress;
    p.OnRegisterItems = [&](TProject& s) {
        for (int i = 0; i < 10; ++i)
            s.AddFloat(values[static_cast<size_t>(i)], "v" + std::to_string(i), 0);
    };
    p.OnUpdateProgressBar = [&](TProject&, int percent) { progress.push_back(percent); };
    const std::string file = dir.File("ten.vac");
    WriteBytes(file, "");
    ASSERT_TRUE(p.LoadFromFile(file));
    EXPECT_EQ(progress, (std::vector<int>{0, 10, 50, 90, 100}));
}

TEST_F(ProjectLoad, AFileThatCannotBeReadChangesNothing) {
    ASSERT_TRUE(Load("Workpiece.Mass=2.5\nProject.Author=kept\n"));
    const std::string loaded = Dir.File("p.vac");
    D.Mass = 3.25; // an unsaved edit survives as well
    D.Events.clear();
    D.Progress.clear();
    const std::vector<std::string> before = WrittenLines(D.Store);

    for (const std::string& bad : {Dir.File("missing.vac"), Dir.Path().string()}) {
        const TPrjResult r = D.Store.LoadFromFile(bad);
        EXPECT_FALSE(r.Ok()) << bad;
        EXPECT_NE(r.Message.find("\"" + bad + "\""), std::string::npos) << r.Message;
        EXPECT_EQ(D.Store.FileName(), loaded);
        EXPECT_EQ(WrittenLines(D.Store), before);
        EXPECT_FALSE(D.Store.Busy());
    }
    EXPECT_EQ(D.Store.LoadFromFile(Dir.File("missing.vac")).Code, cprOpenError);
    EXPECT_EQ(D.Mass, 3.25);
    EXPECT_TRUE(D.Events.empty());
    EXPECT_EQ(D.Progress, (std::vector<int>{0, 100, 0, 100, 0, 100}));
}

// ---------------------------------------------------------------------------------------------
// Writing files

TEST(ProjectSave, EveryItemKindReadsBackToTheSameValue) {
    TTempDir dir;
    const std::string file = dir.File("round.vac");
    TTestDocument a;
    a.FillNonDefault();
    const TPrjResult saved = a.Store.SaveToFile(file);
    ASSERT_TRUE(saved) << saved.Message;
    EXPECT_EQ(a.Store.FileName(), file);
    EXPECT_FALSE(a.Store.Modified());

    TTestDocument b;
    ASSERT_TRUE(b.Store.LoadFromFile(file));
    EXPECT_EQ(b.Mass, -1.0 / 3.0);
    EXPECT_EQ(b.Count, -2147483647);
    EXPECT_FALSE(b.Flag);
    EXPECT_EQ(b.Name, "a=b Müller");
    EXPECT_EQ(b.Color, cBlue);
    EXPECT_EQ(b.Filter, 0);
    EXPECT_EQ(b.Center, TVektor(-0.5, 1e-20, 12345678.875));
    EXPECT_TRUE(b.Point.Equals(a.Point));
    EXPECT_TRUE(b.Points.Equals(a.Points));
    EXPECT_TRUE(b.Notes.Equals(a.Notes));
    ASSERT_EQ(b.Plain.size(), 2u);
    EXPECT_TRUE(b.Plain[0]->Equals(*a.Plain[0]));
    EXPECT_TRUE(b.Plain[1]->Equals(*a.Plain[1]));
    EXPECT_EQ(b.Address, a.Address);
    ASSERT_EQ(b.Tagged.size(), 2u);
    EXPECT_EQ(b.Tagged[1].Text, "t1");
    EXPECT_TRUE(b.Tagged[0].Object->Equals(*a.Tagged[0].Object));
    EXPECT_TRUE(b.Tagged[1].Object->Equals(*a.Tagged[1].Object));
    EXPECT_EQ(b.DriveNC, 0.625);
    EXPECT_EQ(b.DriveNCLinear, -99.0);
    EXPECT_EQ(WrittenLines(b.Store), WrittenLines(a.Store));
}

TEST(ProjectSave, TheFileIsCodePage1252WithCrLfInRegistrationOrder) {
    TTempDir dir;
    const std::string file = dir.File("bytes.vac");
    TTestDocument d;
    d.FillNonDefault();
    ASSERT_TRUE(d.Store.SaveToFile(file));
    const std::string bytes = ReadBytes(file);
    EXPECT_NE(bytes.find("Project.Author=a=b M\xFCller\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Customer.Address.Strings[2]=12345 Town \x80\r\n"), std::string::npos);
    for (size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1))
        EXPECT_EQ(bytes[i - 1], '\r');
    EXPECT_EQ(bytes.rfind("Workpiece.Mass=", 0), 0u);
    EXPECT_LT(bytes.find("Tube.Color=blue"), bytes.find("Points.Count=3"));
    // Empty texts are absent rather than written empty.
    EXPECT_EQ(bytes.find("Customer.Address.Strings[1]"), std::string::npos);
    EXPECT_NE(bytes.find("Points.Items[1].Name=two=2\r\n"), std::string::npos);
}

TEST(ProjectSave, DefaultsAndEmptyListsReadBackAsWell) {
    TTempDir dir;
    const std::string file = dir.File("defaults.vac");
    TTestDocument a;
    a.Store.New();
    ASSERT_TRUE(a.Store.SaveToFile(file));
    TTestDocument b;
    b.FillNonDefault();
    ASSERT_TRUE(b.Store.LoadFromFile(file));
    EXPECT_EQ(WrittenLines(b.Store), WrittenLines(a.Store));
    EXPECT_EQ(b.Mass, 7.5);
    EXPECT_TRUE(b.Flag);
    EXPECT_EQ(b.Color, cGreen);
    EXPECT_EQ(b.Points.Count(), 0);
}

TEST(ProjectSave, AValueTheFileCannotHoldIsAnErrorAndLeavesTheFileAlone) {
    using TBreak = void (*)(TTestDocument&);
    const std::pair<TBreak, const char*> cases[] = {
        {[](TTestDocument& d) { d.Name = "Ωmega"; }, "Project.Author"},
        {[](TTestDocument& d) { d.Name = "01234567890"; }, "Project.Author"},
        {[](TTestDocument& d) { d.Address[0] = "two\nlines"; }, "Customer.Address.Strings[0]"},
        {[](TTestDocument& d) { d.Mass = std::numeric_limits<double>::quiet_NaN(); },
         "Workpiece.Mass"},
        {[](TTestDocument& d) { d.Center.Y = std::numeric_limits<double>::infinity(); },
         "Workpiece.MassCenter.y"},
        {[](TTestDocument& d) { d.Color = static_cast<TTestColor>(3); }, "Tube.Color"},
        {[](TTestDocument& d) { d.Points.Add(std::make_unique<TTestPoint>(0, "日本")); },
         "Points.Items[3].Name"},
    };
    for (const auto& [breakIt, key] : cases) {
        TTempDir dir;
        const std::string file = dir.File("kept.vac");
        WriteBytes(file, "old contents\r\n");
        TTestDocument d;
        d.FillNonDefault();
        d.Store.Snapshot();
        breakIt(d);
        const TPrjResult r = d.Store.SaveToFile(file);
        EXPECT_EQ(r.Code, cprValueError) << key;
        EXPECT_NE(r.Message.find("\"" + std::string(key) + "\""), std::string::npos) << r.Message;
        EXPECT_NE(r.Message.find(file), std::string::npos) << r.Message;
        EXPECT_EQ(ReadBytes(file), "old contents\r\n") << key;
        EXPECT_EQ(d.Store.FileName(), "") << key;
        EXPECT_TRUE(d.Store.Modified()) << key;
    }
}

TEST(ProjectSave, AnUnwritablePathIsAnErrorNamingTheFile) {
    TTempDir dir;
    TTestDocument d;
    const std::string file = dir.File("no/such/folder/p.vac");
    const TPrjResult r = d.Store.SaveToFile(file);
    EXPECT_EQ(r.Code, cprWriteError);
    EXPECT_NE(r.Message.find("\"" + file + "\""), std::string::npos) << r.Message;
    EXPECT_EQ(d.Store.FileName(), "");
}

TEST(ProjectSave, OverwritesAnExistingFileAndLeavesNoTemporaryBehind) {
    TTempDir dir;
    const std::string file = dir.File("over.vac");
    WriteBytes(file, std::string(100000, 'x'));
    TTestDocument d;
    d.Store.New();
    ASSERT_TRUE(d.Store.SaveToFile(file));
    EXPECT_EQ(ReadBytes(file).rfind("Workpiece.Mass=7.5\r\n", 0), 0u);
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++files;
    EXPECT_EQ(files, 1);
}

} // namespace
