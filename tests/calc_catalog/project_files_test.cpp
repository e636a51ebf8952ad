#include "core/quantities/prj_strings.h"
#include "core/shell/ini_file.h"
#include "core/shell/user_settings.h"
#include "core/workflow/project_files.h"
#include "core/workflow/vacuum_application.h"
#include "tests/calc_catalog/bundled_catalogue.h"
#include "tests/core/shell/shell_test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

// The project file commands of the main window with the bundled catalogue and the
// example projects: open, save, save as, new, the recent files and the change mark.

namespace {

const std::string kExamples = std::string(VACUUM_SOURCE_DIR) + "/examples/";
const char* const kExampleNames[] = {"aluminium_block_servo.vac", "glass_plate_rotary.vac",
                                     "steel_sheet_linear.vac"};

// Every item of a document as the project file holds it.
std::vector<std::string> Items(TMyProject& doc) {
    TPrjStrings s;
    doc.Project().WriteItems(s);
    return s.Lines();
}

struct TFilesSession {
    TVacuumApplication App{CatalogueFile()};
    TProjectFiles Files{App};
    void Accept() {
        App.Input([&] { App.Workflow.ButtonAcceptClick(); });
    }
};

} // namespace

TEST(ProjectFiles, WaitForTheDisclaimer) {
    TTempFolder dir;
    TFilesSession s;
    EXPECT_FALSE(s.Files.HasProject());
    EXPECT_FALSE(s.Files.Modified());
    EXPECT_FALSE(s.Files.New());
    EXPECT_EQ(s.Files.Open(kExamples + kExampleNames[0]), std::nullopt);
    EXPECT_EQ(s.Files.SaveAs(dir / "x.vac"), std::nullopt);
    EXPECT_EQ(s.Files.Save(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.vac"));
    EXPECT_EQ(s.App.Workflow.CurrentPage(), cmpDisclaimer);
    EXPECT_EQ(s.Files.Recent().Count(), 0);
}

TEST(ProjectFiles, EveryExampleSurvivesSaveAndReopen) {
    TTempFolder dir;
    for (const char* name : kExampleNames) {
        SCOPED_TRACE(name);
        TFilesSession s;
        s.Accept();
        const auto opened = s.Files.Open(kExamples + name);
        ASSERT_TRUE(opened && opened->Ok()) << (opened ? opened->Message : "");
        EXPECT_EQ(s.App.Workflow.CurrentPage(), cmpWorkpiece);
        EXPECT_EQ(s.App.Workflow.HighestReached(), cmpWorkpiece);
        EXPECT_EQ(s.Files.FileName(), kExamples + name);
        EXPECT_FALSE(s.Files.Modified());

        const std::string copy = dir / (std::string("copy_") + name);
        const auto saved = s.Files.SaveAs(copy);
        ASSERT_TRUE(saved && saved->Ok()) << (saved ? saved->Message : "");
        EXPECT_EQ(s.Files.FileName(), copy);
        EXPECT_FALSE(s.Files.Modified());
        EXPECT_EQ(s.Files.Recent().Files(), (std::vector<std::string>{copy, kExamples + name}));

        // A second program reads back exactly the document that was written.
        TFilesSession again;
        again.Accept();
        const auto reopened = again.Files.Open(copy);
        ASSERT_TRUE(reopened && reopened->Ok()) << (reopened ? reopened->Message : "");
        EXPECT_EQ(Items(again.App.Document), Items(s.App.Document));
        // Saved once more, the file is the same byte for byte.
        const std::string second = dir / (std::string("again_") + name);
        ASSERT_TRUE(again.Files.SaveAs(second)->Ok());
        EXPECT_EQ(ReadBytes(second), ReadBytes(copy));
    }
}

TEST(ProjectFiles, ChangesMarkTheProjectUntilSaved) {
    TTempFolder dir;
    TFilesSession s;
    s.Accept();
    EXPECT_TRUE(s.Files.HasProject());
    EXPECT_EQ(s.Files.FileName(), "");
    EXPECT_FALSE(s.Files.Modified());
    s.App.Input([&] { s.App.Workpiece.SetLengthX(s.App.Document.Workpiece.LengthX + 0.1); });
    EXPECT_TRUE(s.Files.Modified());
    EXPECT_TRUE(s.Files.AskBeforeClosing());
    // Without a file, Save has nowhere to write: the window asks for a name.
    EXPECT_EQ(s.Files.Save(), std::nullopt);
    ASSERT_TRUE(s.Files.SaveAs(dir / "a.vac")->Ok());
    EXPECT_FALSE(s.Files.Modified());
    s.App.Input([&] { s.App.Workpiece.SetLengthX(s.App.Document.Workpiece.LengthX + 0.1); });
    EXPECT_TRUE(s.Files.Modified());
    const std::string before = ReadBytes(dir / "a.vac");
    ASSERT_TRUE(s.Files.Save()->Ok());
    EXPECT_FALSE(s.Files.Modified());
    EXPECT_NE(ReadBytes(dir / "a.vac"), before);
    // Saving the same file again does not list it twice.
    EXPECT_EQ(s.Files.Recent().Files(), std::vector<std::string>{dir / "a.vac"});

    // New: the defaults, unchanged and without a file, on the workpiece page.
    const double defaultLength = [] {
        TMyProject fresh;
        fresh.Project().New();
        return fresh.Workpiece.LengthX;
    }();
    ASSERT_TRUE(s.Files.Open(kExamples + std::string("steel_sheet_linear.vac"))->Ok());
    ASSERT_TRUE(s.App.Workflow.Next());
    ASSERT_TRUE(s.App.Workflow.Next());
    EXPECT_EQ(s.App.Workflow.CurrentPage(), cmpSuctionCup);
    ASSERT_NE(s.App.Document.Workpiece.LengthX, defaultLength);
    EXPECT_TRUE(s.Files.New());
    EXPECT_EQ(s.App.Workflow.CurrentPage(), cmpWorkpiece);
    EXPECT_EQ(s.App.Workflow.HighestReached(), cmpWorkpiece);
    EXPECT_EQ(s.Files.FileName(), "");
    EXPECT_FALSE(s.Files.Modified());
    EXPECT_DOUBLE_EQ(s.App.Document.Workpiece.LengthX, defaultLength);
}

TEST(ProjectFiles, AFileThatCannotBeReadOrWrittenChangesNothing) {
    TTempFolder dir;
    TFilesSession s;
    s.Accept();
    ASSERT_TRUE(s.Files.Open(kExamples + kExampleNames[1])->Ok());
    ASSERT_TRUE(s.App.Workflow.Next());
    const std::vector<std::string> items = Items(s.App.Document);

    const auto missing = s.Files.Open(dir / "missing.vac");
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing->Ok());
    EXPECT_NE(missing->Message.find(dir / "missing.vac"), std::string::npos) << missing->Message;
    // A folder is no project file either.
    const auto folder = s.Files.Open(dir.Path());
    ASSERT_TRUE(folder);
    EXPECT_FALSE(folder->Ok());
    EXPECT_EQ(s.App.Workflow.CurrentPage(), cmpPositioning);
    EXPECT_EQ(s.Files.FileName(), kExamples + kExampleNames[1]);
    EXPECT_EQ(Items(s.App.Document), items);

    const std::string nowhere = dir / "no/such/folder/x.vac";
    const auto unwritable = s.Files.SaveAs(nowhere);
    ASSERT_TRUE(unwritable);
    EXPECT_FALSE(unwritable->Ok());
    EXPECT_NE(unwritable->Message.find(nowhere), std::string::npos) << unwritable->Message;
    EXPECT_FALSE(std::filesystem::exists(nowhere));
    EXPECT_EQ(s.Files.FileName(), kExamples + kExampleNames[1]);
    EXPECT_EQ(s.Files.Recent().Files(), std::vector<std::string>{kExamples + kExampleNames[1]});
}

TEST(ProjectFiles, RecentFilesMostRecentFirstAtMostEightStoredAtTheEnd) {
    TTempFolder dir;
    TFakeEnvironment env;
    env.Vars["HOME"] = dir.Path();
    env.Vars["XDG_CONFIG_HOME"] = dir / "config";
    TTavUserSettings settings(env);
    settings.SetSection("KELM");
    settings.Loaded({});

    TFilesSession s;
    s.Files.ReadRecent(settings);
    EXPECT_EQ(s.Files.Recent().Count(), 0);
    // Declined or never accepted: nothing is written.
    EXPECT_FALSE(s.Files.WriteRecentAtEnd(settings));

    s.Accept();
    std::vector<std::string> names;
    for (int i = 0; i < 10; ++i) {
        names.push_back(dir / ("p" + std::to_string(i) + ".vac"));
        ASSERT_TRUE(s.Files.SaveAs(names.back())->Ok());
    }
    ASSERT_EQ(s.Files.Recent().Count(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(s.Files.Recent().FileName(i), names[static_cast<size_t>(9 - i)]);
    // Opening an older one moves it to the top.
    ASSERT_TRUE(s.Files.Open(names[4])->Ok());
    EXPECT_EQ(s.Files.Recent().FileName(0), names[4]);
    EXPECT_EQ(s.Files.Recent().FileName(1), names[9]);
    EXPECT_EQ(s.Files.Recent().Count(), 8);

    ASSERT_TRUE(s.Files.WriteRecentAtEnd(settings));
    TIniFile ini;
    ASSERT_TRUE(LoadIniFile(settings.FileName(), ini));
    EXPECT_EQ(ini.ReadString("KELM", "File0", "?"), names[4]);
    EXPECT_EQ(ini.ReadString("KELM", "File1", "?"), names[9]);
    EXPECT_EQ(ini.ReadString("KELM", "File7", "?"), names[2]);

    // The next run finds them in the same order.
    TFilesSession next;
    next.Files.ReadRecent(settings);
    EXPECT_EQ(next.Files.Recent().Files(), s.Files.Recent().Files());
}

TEST(ApplicationWalk, StepsAreUserActionsAndTheFirstRefusalEndsTheWalk) {
    TFilesSession s;
    s.Accept();
    ASSERT_TRUE(s.Files.Open(kExamples + std::string("glass_plate_rotary.vac"))->Ok());
    std::vector<int> notified; // the current page at every notice naming the navigator
    const TConnection follow = s.App.Changed.Connect([&](TAspects a) {
        if (a.Has(caNavigator)) notified.push_back(s.App.Workflow.CurrentPage());
    });
    std::vector<int> afterSteps;
    EXPECT_EQ(s.App.WalkTo(cmpSuctionCupLoad,
                           [&] { afterSteps.push_back(s.App.Workflow.CurrentPage()); }),
              -1);
    EXPECT_EQ(s.App.Workflow.CurrentPage(), cmpSuctionCupLoad);
    const std::vector<int> pages{2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(afterSteps, pages);
    EXPECT_EQ(notified, pages);
    // A page already passed needs no step; one beyond the list ends on the parts list.
    EXPECT_EQ(s.App.WalkTo(cmpMotion), -1);
    EXPECT_EQ(s.App.Workflow.CurrentPage(), cmpSuctionCupLoad);
    EXPECT_EQ(s.App.WalkTo(99), -1);
    EXPECT_EQ(s.App.Workflow.CurrentPage(), cmpPartsList);

    // A workpiece without height: the walk stops on the workpiece page with one message.
    ASSERT_TRUE(s.Files.Open(kExamples + std::string("glass_plate_rotary.vac"))->Ok());
    s.App.Input([&] { s.App.Workpiece.SetLengthZ(0.0); });
    std::vector<std::string> messages;
    const TConnection refusals = s.App.Workflow.OnInvalidValue.Connect(
        [&](TPageWorkflow&, const TPageCheckFailure& f) { messages.push_back(f.Message); });
    afterSteps.clear();
    EXPECT_EQ(s.App.WalkTo(cmpDrive, [&] { afterSteps.push_back(s.App.Workflow.CurrentPage()); }),
              cmpWorkpiece);
    EXPECT_EQ(afterSteps, std::vector<int>{cmpWorkpiece});
    EXPECT_EQ(messages, std::vector<std::string>{"~Height(Z)"});
}

// Looking at an example is no change: walked through every page it equals its file, so
// closing it asks nothing. (An example saved before the program recomputed its cup places
// or chose its generator would read as changed after the walk.)
TEST(ProjectFiles, WalkingAnExampleThroughEveryPageChangesNothing) {
    for (const char* name : kExampleNames) {
        SCOPED_TRACE(name);
        TFilesSession s;
        s.Accept();
        ASSERT_TRUE(s.Files.Open(kExamples + name)->Ok());
        const std::vector<std::string> stored = Items(s.App.Document);
        s.App.Input([&] {
            while (s.App.Workflow.CurrentPage() < cmpPartsList)
                if (!s.App.Workflow.Next()) break;
        });
        ASSERT_EQ(s.App.Workflow.CurrentPage(), cmpPartsList);
        EXPECT_EQ(Items(s.App.Document), stored);
        EXPECT_FALSE(s.Files.Modified());
        EXPECT_FALSE(s.Files.AskBeforeClosing());
    }
}
