// The attachment type lists: built-in entries, the Office-2007 switch, the editor commands
// and what survives a restart.
#include <gtest/gtest.h>

#include "main/core/AttachmentTypes.h"
#include "main/core/MainTexts.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/support/TestSupport.h"

using namespace vellora::core;
namespace mt = vellora::core::texts;

namespace {

class AttachmentTypesTest : public ::testing::Test {
  protected:
    vtest::TempDir dir{"atttypes"};
    std::string ini = dir / "vellora.ini";
};

TEST_F(AttachmentTypesTest, FileWithoutListsGivesEachFamilyExactlyItsBuiltInEntry) {
    AttachmentLists lists = LoadAttachmentLists(ini);
    EXPECT_FALSE(lists.office2007);
    for (Family f : kStoredFamilies)
        EXPECT_EQ(lists.Of(f), std::vector<std::string>{BuiltInPattern(f, false)});
    basINI_IO::WriteSettingNumber(1, ini, vellora::texts::kGeneralSection,
                                  vellora::texts::kKeyOffice2007);
    lists = LoadAttachmentLists(ini);
    EXPECT_TRUE(lists.office2007);
    EXPECT_EQ(lists.Of(Family::Word)[0], BuiltInPattern(Family::Word, true));
    EXPECT_NE(BuiltInPattern(Family::Word, true), BuiltInPattern(Family::Word, false));
}

TEST_F(AttachmentTypesTest, Office2007SwitchChangesEntryZeroAtOnceAndWritesNothing) {
    AttachmentLists lists = LoadAttachmentLists(ini);
    lists.Of(Family::Word).push_back("^WPS$");
    const std::string before = vtest::Exists(ini) ? vtest::ReadFile(ini) : "";
    ApplyOffice2007(lists, true);
    for (Family f : {Family::Word, Family::Sheet, Family::Slides})
        EXPECT_EQ(lists.Of(f)[0], BuiltInPattern(f, true));
    EXPECT_EQ(lists.Of(Family::Word)[1], "^WPS$");
    EXPECT_EQ(lists.Of(Family::Picture)[0], BuiltInPattern(Family::Picture, false));
    EXPECT_EQ(vtest::Exists(ini) ? vtest::ReadFile(ini) : "", before);
}

TEST_F(AttachmentTypesTest, EntryZeroCanNeitherBeSavedNorDeleted) {
    AttachmentLists lists = LoadAttachmentLists(ini);
    AttachmentTypeEditor ed(lists, ini);
    ed.ChooseFamily(Family::Picture);
    ed.ChooseEntry(0);
    EXPECT_FALSE(ed.SaveEntry("^XYZ$", lists.Of(Family::Picture)[0]));
    EXPECT_FALSE(ed.DeleteEntry());
    EXPECT_EQ(lists.Of(Family::Picture).size(), 1u);
    EXPECT_FALSE(vtest::Exists(ini));
}

TEST_F(AttachmentTypesTest, NewThenSaveAppendsStoresAndSurvivesARestart) {
    AttachmentLists lists = LoadAttachmentLists(ini);
    AttachmentTypeEditor ed(lists, ini);
    ed.ChooseFamily(Family::Picture);
    EXPECT_EQ(ed.Heading(), "Pictures\n" + mt::kExtHeadingTail.str());
    const std::string placeholder = ed.NewEntry();
    EXPECT_EQ(ed.SelectedIndex(), 1);
    EXPECT_FALSE(ed.SaveEntry(placeholder, placeholder));  // unchanged text: nothing
    ASSERT_TRUE(ed.SaveEntry("^PCX$", placeholder));
    ed.NewEntry();
    ASSERT_TRUE(ed.SaveEntry("^TGA$", placeholder));
    ed.ChooseEntry(1);
    ASSERT_TRUE(ed.SaveEntry("^PSD$", "^PCX$"));  // change in place

    AttachmentLists again = LoadAttachmentLists(ini);
    EXPECT_EQ(again.Of(Family::Picture),
              (std::vector<std::string>{BuiltInPattern(Family::Picture, false), "^PSD$", "^TGA$"}));
    EXPECT_EQ(again.Of(Family::Slides),
              std::vector<std::string>{BuiltInPattern(Family::Slides, false)});
    EXPECT_EQ(basINI_IO::ReadSettingText(ini, vellora::texts::kPictureTypesSection, "Type0"),
              "Bad Key");  // entry 0 is never written

    AttachmentTypeEditor ed2(again, ini);
    ed2.ChooseFamily(Family::Picture);
    ed2.ChooseEntry(1);
    ASSERT_TRUE(ed2.DeleteEntry());
    EXPECT_EQ(LoadAttachmentLists(ini).Of(Family::Picture),
              (std::vector<std::string>{BuiltInPattern(Family::Picture, false), "^TGA$"}));
}

TEST_F(AttachmentTypesTest, ThePdfFamilyNeverChanges) {
    AttachmentLists lists = LoadAttachmentLists(ini);
    AttachmentTypeEditor ed(lists, ini);
    ed.ChooseFamily(Family::Pdf);
    EXPECT_EQ(ed.ShowExtensionList(), std::vector<std::string>{"PDF"});
    const std::string placeholder = ed.NewEntry();
    ed.SaveEntry("^XPS$", placeholder);
    EXPECT_EQ(ed.ShowExtensionList(), std::vector<std::string>{"PDF"});
    ed.ChooseFamily(Family::Pdf);
    EXPECT_EQ(ed.WorkingList(), std::vector<std::string>{"PDF"});
    EXPECT_EQ(PdfExtension(), "PDF");
}

}  // namespace
