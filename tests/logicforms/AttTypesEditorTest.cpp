// The attachment types page with scripted dialogs: built-in entries, entry 0 protected, New
// and Save, the PDF family and a restart.
#include <gtest/gtest.h>

#include "main/core/ScriptedDialogs.h"
#include "main/forms/AttTypesEditor.h"
#include "tests/logicforms/FormsApp.h"
#include "tests/support/TestSupport.h"

using namespace vellora;
using namespace vellora::forms;
using core::Family;

namespace {

class AttTypesEditorTest : public ::testing::Test {
  protected:
    vtest::TempDir dir{"attgui"};
    core::ScriptedDialogs dialogs;
    core::AttachmentLists lists;
    std::unique_ptr<AttTypesTab> tab;
    std::unique_ptr<AttTypesEditor> ed;

    void SetUp() override {
        vtest::FormsApp();
        Restart();
    }
    void Restart() {
        ed.reset();
        tab = std::make_unique<AttTypesTab>();
        ed = std::make_unique<AttTypesEditor>(*tab, lists, dialogs, dir / "vellora.ini");
        ed->LoadAttachmentLists();
    }
    void Family(int f) {
        tab->lstAtt->setCurrentRow(f - 1);
        ed->lstAtt_Click();
    }
    void Entry(int i) {
        tab->lstExt->setCurrentRow(i);
        ed->lstExt_Click();
    }
    void Type(const QString& text) {
        ed->txtExt_Click();
        tab->txtExt->setText(text);
    }
    QStringList Shown() {
        QStringList out;
        for (int i = 0; i < tab->lstExt->count(); ++i) out << tab->lstExt->item(i)->text();
        return out;
    }
};

TEST_F(AttTypesEditorTest, EachFamilyStartsWithItsBuiltInEntryOnly) {
    ASSERT_EQ(tab->lstAtt->count(), 6);
    for (int f = 1; f <= 6; ++f) {
        Family(f);
        EXPECT_EQ(Shown(), QStringList{QString::fromStdString(
                               core::BuiltInPattern(static_cast<core::Family>(f), false))});
    }
    EXPECT_TRUE(tab->txtExt->isReadOnly());
}

TEST_F(AttTypesEditorTest, EntryZeroIsNeitherSavedNorDeleted) {
    Family(6);
    Entry(0);
    Type("^XYZ$");
    ed->cmdSaveExt_Click();
    ed->cmdDelExt_Click();
    EXPECT_TRUE(dialogs.asked().empty());
    Family(6);
    EXPECT_EQ(Shown().size(), 1);
    EXPECT_FALSE(vtest::Exists(dir / "vellora.ini"));
}

TEST_F(AttTypesEditorTest, NewAndSaveAppendsStoresAndARestartKeepsIt) {
    Family(6);
    ed->cmdNewExt_Click();
    EXPECT_TRUE(tab->txtExt->isReadOnly());
    Type("^PCX$");
    EXPECT_FALSE(tab->txtExt->isReadOnly());
    EXPECT_TRUE(ed->Dirty());
    ed->cmdSaveExt_Click();
    ed->cmdSaveExt_Click();  // the same text again stores nothing more
    EXPECT_FALSE(ed->Dirty());
    EXPECT_EQ(Shown().size(), 2);
    Restart();
    Family(6);
    EXPECT_EQ(Shown().value(1), "^PCX$");
    Family(3);
    EXPECT_EQ(Shown().size(), 1);  // the presentation list is unchanged
    Family(6);
    Entry(1);
    dialogs.AnswerMessage(core::MsgResult::Yes);
    ed->cmdDelExt_Click();
    EXPECT_EQ(Shown().size(), 1);
    Restart();
    Family(6);
    EXPECT_EQ(Shown().size(), 1);
}

TEST_F(AttTypesEditorTest, PdfFamilyNeverChangesAndOffice2007SwitchesEntryZero) {
    Family(5);
    ed->cmdNewExt_Click();
    Type("^XPS$");
    ed->cmdSaveExt_Click();
    EXPECT_EQ(Shown(), QStringList{"PDF"});
    Family(1);
    ed->Office2007Changed(true);
    EXPECT_EQ(Shown().value(0).toStdString(), core::BuiltInPattern(Family::Word, true));
    EXPECT_EQ(lists.Of(Family::Slides)[0], core::BuiltInPattern(Family::Slides, true));
    EXPECT_FALSE(vtest::Exists(dir / "vellora.ini"));
}

}  // namespace
