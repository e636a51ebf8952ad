#include "core/document/my_project.h"
#include "core/quantities/prj_strings.h"
#include "core/workflow/project_dialog_model.h"

#include <gtest/gtest.h>
#include <set>

namespace {

using TLines = std::vector<std::string>;

class ProjectDialogTest : public ::testing::Test {
protected:
    ProjectDialogTest() {
        Doc.Project().New();
        Doc.ProjectInfo.Author = "A. Miller";
        Doc.ProjectInfo.Description = {"Glass plate", "rotary"};
        Doc.ProjectInfo.No = "P-17";
        Doc.Customer.No = "C-4";
        Doc.Customer.Phone = "+44 20 7946 0000";
        Doc.Customer.Fax = "+44 20 7946 0001";
        Doc.Customer.Address = {"Works Ltd", "1 High Street", "Leeds"};
        Doc.Remarks = {"first", "", "third"};
        Doc.Project().Snapshot();
    }

    // The value the project file holds for a key.
    std::string Stored(std::string_view key) {
        TPrjStrings s;
        Doc.Project().WriteItems(s);
        return s.Value(key);
    }

    TMyProject Doc;
    TProjectDialogModel Dialog{Doc};
};

} // namespace

TEST(ProjectDialogTexts, CutsOnWholeCharacters) {
    EXPECT_EQ(CutToCharacters("abcdef", 3), "abc");
    EXPECT_EQ(CutToCharacters("abc", 3), "abc");
    EXPECT_EQ(CutToCharacters("ab", 3), "ab");
    EXPECT_EQ(CutToCharacters("", 3), "");
    EXPECT_EQ(CutToCharacters("abc", 0), "");
    // "ä" is two bytes, "€" three, "𝄞" four: each one character.
    EXPECT_EQ(CutToCharacters("äöü", 2), "äö");
    EXPECT_EQ(CutToCharacters("a€b", 2), "a€");
    EXPECT_EQ(CutToCharacters("𝄞𝄞", 1), "𝄞");
    EXPECT_EQ(CutToCharacters("Привет", 3), "При");
}

TEST(ProjectDialogTexts, MemoTextAndLinesRoundTrip) {
    EXPECT_EQ(MemoLines(""), TLines{});
    EXPECT_EQ(MemoLines("one"), TLines{"one"});
    EXPECT_EQ(MemoLines("one\ntwo"), (TLines{"one", "two"}));
    // A closing line break starts no line; an empty line inside stays.
    EXPECT_EQ(MemoLines("one\n"), TLines{"one"});
    EXPECT_EQ(MemoLines("one\n\nthree"), (TLines{"one", "", "three"}));
    EXPECT_EQ(MemoLines("\n"), TLines{""});
    EXPECT_EQ(MemoLines("a\r\nb\r\n"), (TLines{"a", "b"}));
    for (const TLines& lines : {TLines{}, TLines{"x"}, TLines{"", "b"}, TLines{"a", "", "c"}})
        EXPECT_EQ(MemoLines(MemoText(lines)), lines);
    EXPECT_EQ(MemoText({"a", "b"}), "a\nb");
}

TEST(ProjectDialogTexts, EveryFieldHasItsOwnControlAndDocumentItem) {
    std::set<std::string_view> controls, keys;
    for (int e = 0; e < cProjectDialogEditCount; ++e) {
        controls.insert(ProjectDialogEditField(e).Control);
        keys.insert(ProjectDialogEditField(e).Key);
    }
    for (int m = 0; m < cProjectDialogMemoCount; ++m) {
        controls.insert(ProjectDialogMemoField(m).Control);
        keys.insert(ProjectDialogMemoField(m).Key);
    }
    EXPECT_EQ(controls.size(), 9u);
    EXPECT_EQ(keys.size(), 9u);
    // Every key is an item of the document.
    TMyProject doc;
    doc.Project().New();
    for (std::string_view key : keys) EXPECT_NE(doc.Project().FindItem(key), nullptr) << key;
    EXPECT_EQ(ProjectDialogTabKey(cptRemarks), "~Remarks");
    EXPECT_THROW(ProjectDialogTabKey(3), std::out_of_range);
    EXPECT_THROW(ProjectDialogEditField(7), std::out_of_range);
}

TEST_F(ProjectDialogTest, OpensOnTheDocumentsTextsAndTheTabAsked) {
    Dialog.Open(cptRemarks);
    EXPECT_EQ(Dialog.Tab(), cptRemarks);
    EXPECT_EQ(Dialog.CaptionKey(), "~Remarks");
    EXPECT_EQ(Dialog.Text(cpeAuthor), "A. Miller");
    EXPECT_EQ(Dialog.Text(cpeDescription1), "Glass plate");
    EXPECT_EQ(Dialog.Text(cpeDescription2), "rotary");
    EXPECT_EQ(Dialog.Text(cpeProjectNo), "P-17");
    EXPECT_EQ(Dialog.Text(cpeCustomerNo), "C-4");
    EXPECT_EQ(Dialog.Text(cpePhone), "+44 20 7946 0000");
    EXPECT_EQ(Dialog.Text(cpeFax), "+44 20 7946 0001");
    EXPECT_EQ(Dialog.Lines(cpmAddress), (TLines{"Works Ltd", "1 High Street", "Leeds"}));
    EXPECT_EQ(Dialog.Lines(cpmRemarks), (TLines{"first", "", "third"}));

    Dialog.SelectTab(cptCustomerData);
    EXPECT_EQ(Dialog.CaptionKey(), "~CustomerData");
    Dialog.SelectTab(5);
    EXPECT_EQ(Dialog.Tab(), cptCustomerData);
    Dialog.Open(-1);
    EXPECT_EQ(Dialog.Tab(), cptProjectData);
    EXPECT_EQ(Dialog.CaptionKey(), "~ProjectData");
}

TEST_F(ProjectDialogTest, OkWritesEveryFieldToItsItem) {
    Dialog.Open(cptProjectData);
    Dialog.SetText(cpeAuthor, "B. Stone");
    Dialog.SetText(cpeDescription1, "Steel sheet");
    Dialog.SetText(cpeDescription2, "linear");
    Dialog.SetText(cpeProjectNo, "P-18");
    Dialog.SetText(cpeCustomerNo, "C-5");
    Dialog.SetText(cpePhone, "0113 496 0000");
    Dialog.SetText(cpeFax, "0113 496 0001");
    Dialog.SetMemoText(cpmAddress, "Sheet Co\nMill Lane");
    Dialog.SetMemoText(cpmRemarks, "thin\nkeep dry\n");
    EXPECT_TRUE(Dialog.Ok());
    EXPECT_TRUE(Doc.Project().Modified());
    EXPECT_EQ(Stored("Project.Author"), "B. Stone");
    EXPECT_EQ(Stored("Project.Description[0]"), "Steel sheet");
    EXPECT_EQ(Stored("Project.Description[1]"), "linear");
    EXPECT_EQ(Stored("Project.No"), "P-18");
    EXPECT_EQ(Stored("Customer.No"), "C-5");
    EXPECT_EQ(Stored("Customer.Phone"), "0113 496 0000");
    EXPECT_EQ(Stored("Customer.Fax"), "0113 496 0001");
    EXPECT_EQ(Doc.Customer.Address, (TLines{"Sheet Co", "Mill Lane"}));
    EXPECT_EQ(Doc.Remarks, (TLines{"thin", "keep dry"}));
    EXPECT_EQ(Stored("Customer.Address.Count"), "2");
    EXPECT_EQ(Stored("Remarks.Count"), "2");
}

TEST_F(ProjectDialogTest, OkWithoutARealChangeLeavesTheProjectUnmodified) {
    Dialog.Open(cptCustomerData);
    EXPECT_FALSE(Dialog.Ok());
    EXPECT_FALSE(Doc.Project().Modified());
    // An edit undone by hand, and the memos' own texts given back, are no changes either;
    // the empty line inside the remarks survives.
    Dialog.SetText(cpeFax, "x");
    Dialog.SetText(cpeFax, "+44 20 7946 0001");
    Dialog.SetMemoText(cpmRemarks, MemoText(Doc.Remarks));
    Dialog.SetMemoText(cpmAddress, "Works Ltd\n1 High Street\nLeeds");
    EXPECT_FALSE(Dialog.Ok());
    EXPECT_FALSE(Doc.Project().Modified());
    EXPECT_EQ(Doc.Remarks, (TLines{"first", "", "third"}));

    // A last empty line cannot be shown by the memo; without an edit it is kept.
    Doc.Remarks = {"a", ""};
    Doc.Project().Snapshot();
    Dialog.Open(cptRemarks);
    Dialog.SetMemoText(cpmRemarks, MemoText(Doc.Remarks));
    EXPECT_FALSE(Dialog.Ok());
    EXPECT_EQ(Doc.Remarks, (TLines{"a", ""}));
}

TEST_F(ProjectDialogTest, CancellingIsNotWriting) {
    Dialog.Open(cptProjectData);
    Dialog.SetText(cpeAuthor, "changed");
    Dialog.SetMemoText(cpmRemarks, "changed");
    // Opening again starts from the document.
    Dialog.Open(cptProjectData);
    EXPECT_EQ(Dialog.Text(cpeAuthor), "A. Miller");
    EXPECT_EQ(Dialog.Lines(cpmRemarks), (TLines{"first", "", "third"}));
    EXPECT_EQ(Doc.ProjectInfo.Author, "A. Miller");
    EXPECT_FALSE(Doc.Project().Modified());
}

TEST_F(ProjectDialogTest, LongTextsAreCutTo255CharactersOnOk) {
    Dialog.Open(cptProjectData);
    const std::string author(300, 'a');
    Dialog.SetText(cpeAuthor, author);
    // 254 ASCII letters and then three-byte characters: the 255th character is "€".
    std::string number(254, 'n');
    for (int i = 0; i < 10; ++i) number += "€";
    Dialog.SetText(cpeProjectNo, number);
    // The dialog keeps what was typed until OK.
    EXPECT_EQ(Dialog.Text(cpeAuthor).size(), 300u);
    EXPECT_TRUE(Dialog.Ok());
    EXPECT_EQ(Doc.ProjectInfo.Author, std::string(255, 'a'));
    EXPECT_EQ(Doc.ProjectInfo.No, std::string(254, 'n') + "€");
    // The store takes the cut texts as they are (it refuses longer ones on writing).
    TPrjStrings s;
    Doc.Project().WriteItems(s);
    EXPECT_FALSE(s.Failed()) << s.Error();
    EXPECT_EQ(s.Value("Project.Author"), std::string(255, 'a'));
}

TEST_F(ProjectDialogTest, PastedLineBreaksInAOneLineFieldBecomeBlanks) {
    Dialog.Open(cptCustomerData);
    Dialog.SetText(cpePhone, "0113\n496\r\n0000");
    EXPECT_EQ(Dialog.Text(cpePhone), "0113 496  0000");
    EXPECT_TRUE(Dialog.Ok());
    TPrjStrings s;
    Doc.Project().WriteItems(s);
    EXPECT_FALSE(s.Failed()) << s.Error();
    EXPECT_EQ(s.Value("Customer.Phone"), "0113 496  0000");
}

TEST(ProjectDialogPending, NothingIsWrittenBeforeTheDisclaimerIsAccepted) {
    TMyProject doc;
    doc.DisclaimerPending = true;
    TProjectDialogModel dialog(doc);
    dialog.Open(cptProjectData);
    dialog.SetText(cpeAuthor, "someone");
    EXPECT_FALSE(dialog.Ok());
    EXPECT_EQ(doc.ProjectInfo.Author, "");
}
