// The options page inside a started main window: what a start-up loads, what each box writes,
// the fields that follow their boxes, the autostart entry, and the Office-2007 switch.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "main/core/ScriptedDialogs.h"
#include "main/forms/JobsWiring.h"
#include "main/forms/frmTavro.h"
#include "platform/print/FakePrintSystem.h"
#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/support/TestSupport.h"

namespace st = vellora::texts;
using vellora::forms::frmTavro;

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "test_options";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

class OptionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        vellora::SetAppFolderForTesting(dir.path());
        settings = dir / "vellora.ini";
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        entry = dir / "config/autostart/vellora.desktop";
        Set(st::kKeyUserEmail, "me@example.com");  // set up: no wizard
    }
    void TearDown() override {
        window.reset();
        vellora::SetAppFolderForTesting("");
        unsetenv("XDG_CONFIG_HOME");
    }
    void Set(const std::string& key, const std::string& value) {
        basINI_IO::WriteSettingText(value, settings, st::kGeneralSection, key);
    }
    int Stored(const std::string& key) {
        return basINI_IO::ReadSettingNumber(settings, st::kGeneralSection, key);
    }
    std::string StoredText(const std::string& key) {
        return basINI_IO::ReadSettingText(settings, st::kGeneralSection, key);
    }
    // A start of the program (a window loaded from the settings file).
    frmTavro& Start() {
        window.reset();
        vellora::forms::WindowServices services;
        services.clock = &clock;
        services.dialogs = &dialogs;
        window = std::make_unique<frmTavro>(services);
        EXPECT_EQ(window->Form_Load(), frmTavro::LoadResult::Loaded);
        return *window;
    }
    vellora::forms::OptionsTab& Tab() { return *window->optionsTab; }

    vtest::TempDir dir{"options"};
    std::string settings, entry;
    vellora::core::FakeClock clock;
    vellora::core::ScriptedDialogs dialogs;
    std::unique_ptr<frmTavro> window;
};

TEST_F(OptionsTest, NoOptionKeysGiveEveryBoxUncheckedAndTenMinutes) {
    Start();
    for (QCheckBox* box :
         {Tab().chkAutoStart, Tab().chkCnfExit, Tab().chkMin2Tray, Tab().chkLogStatus,
          Tab().chkStartCheck, Tab().chkTrimToFwdHeader, Tab().chkErrEmail, Tab().chkSuccEmail,
          Tab().chkAttErrPrint, Tab().chkMS2007, Tab().chkAcrobat})
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    EXPECT_EQ(Tab().cboInterval->currentText(), "10");
    EXPECT_FALSE(Tab().txtFwdHeader->isEnabled());
    EXPECT_FALSE(Tab().txtNotifyEmail->isEnabled());
    EXPECT_FALSE(std::filesystem::exists(entry));
    // Nothing was checked, so nothing was written back.
    EXPECT_EQ(Stored(st::kKeyStartWithDesktop), -1);
    EXPECT_EQ(Stored(st::kKeyConfirmExit), -1);
    const vellora::core::Options& o = window->Options();
    EXPECT_FALSE(o.startWithDesktop || o.confirmExit || o.logStatus || o.notifyOnError);
}

// The attachment cap and the trusted mail server: loaded without being written back, and
// written at once when edited; a cap that is not a number from 1 up keeps the default.
TEST_F(OptionsTest, AttachmentCapAndTrustedServerLoadAndWrite) {
    Start();
    EXPECT_EQ(Tab().txtAttCap->text(), "50");
    EXPECT_EQ(window->Options().attachmentCap, 50);
    EXPECT_EQ(Stored(st::kKeyAttachmentCap), -1) << "an absent cap stays absent";
    Tab().txtAttCap->setText("12");
    EXPECT_EQ(Stored(st::kKeyAttachmentCap), 12);
    EXPECT_EQ(window->Options().attachmentCap, 12);
    Tab().txtTrustedServer->setText(" mx.example.net ");
    EXPECT_EQ(StoredText(st::kKeyTrustedAuthServ), "mx.example.net");
    EXPECT_EQ(window->Options().trustedAuthServId, "mx.example.net");

    Set(st::kKeyAttachmentCap, "0");
    Start();
    EXPECT_EQ(Tab().txtAttCap->text(), "50");
    EXPECT_EQ(window->Options().attachmentCap, 50);
    EXPECT_EQ(Tab().txtTrustedServer->text(), "mx.example.net");
    EXPECT_EQ(window->Options().trustedAuthServId, "mx.example.net");
}

TEST_F(OptionsTest, IntervalListToolTipAndAnUnofferedStoredValue) {
    Set(st::kKeyInterval, "7");
    Start();
    QStringList items;
    for (int i = 0; i < Tab().cboInterval->count(); ++i) items << Tab().cboInterval->itemText(i);
    EXPECT_EQ(items.join(','), "0,1,2,3,4,5,10,20,30,40,50,60");
    EXPECT_FALSE(Tab().cboInterval->toolTip().isEmpty());
    EXPECT_EQ(Tab().cboInterval->currentText(), "7");
}

TEST_F(OptionsTest, EveryPlainBoxWritesAtOnceAndFollowsTheOptions) {
    Start();
    struct Case {
        QCheckBox* box;
        std::string key;
        bool vellora::core::Options::*field;
    };
    using O = vellora::core::Options;
    const Case cases[] = {{Tab().chkCnfExit, st::kKeyConfirmExit, &O::confirmExit},
                          {Tab().chkMin2Tray, st::kKeyMinToTray, &O::minimiseToTray},
                          {Tab().chkLogStatus, st::kKeyLogStatus, &O::logStatus},
                          {Tab().chkStartCheck, st::kKeyCheckAtStart, &O::checkAtStartup},
                          {Tab().chkAcrobat, st::kKeyUseViewer, &O::usePdfViewer},
                          {Tab().chkTrimToFwdHeader, st::kKeyTrimFwd, &O::trimToFwdHeader},
                          {Tab().chkErrEmail, st::kKeyNotifyError, &O::notifyOnError},
                          {Tab().chkSuccEmail, st::kKeyNotifySuccess, &O::notifyOnSuccess},
                          {Tab().chkMS2007, st::kKeyOffice2007, &O::office2007},
                          {Tab().chkAutoStart, st::kKeyStartWithDesktop, &O::startWithDesktop}};
    for (const Case& c : cases) {
        const std::string name = c.box->objectName().toStdString();
        c.box->click();
        EXPECT_EQ(Stored(c.key), 1) << name;
        EXPECT_TRUE(window->Options().*c.field) << name;
        c.box->click();
        EXPECT_EQ(Stored(c.key), 0) << name;
        EXPECT_FALSE(window->Options().*c.field) << name;
    }
}

TEST_F(OptionsTest, StoredValuesAreLoadedAndWrittenStraightBack) {
    for (const std::string& key :
         std::vector<std::string>{st::kKeyConfirmExit, st::kKeyMinToTray, st::kKeyLogStatus,
                                  st::kKeyCheckAtStart, st::kKeyUseViewer})
        Set(key, "1");
    Set(st::kKeyTrimFwd, "1");
    Set(st::kKeyFwdHeader, "-----Original Message-----");
    Set(st::kKeyNotifySuccess, "1");
    Set(st::kKeyNotifyEmail, "ops@example.com");
    Start();
    EXPECT_TRUE(Tab().chkCnfExit->isChecked() && Tab().chkMin2Tray->isChecked() &&
                Tab().chkLogStatus->isChecked() && Tab().chkStartCheck->isChecked() &&
                Tab().chkAcrobat->isChecked());
    EXPECT_TRUE(Tab().txtFwdHeader->isEnabled());
    EXPECT_EQ(Tab().txtFwdHeader->text(), "-----Original Message-----");
    EXPECT_EQ(window->Options().fwdHeader, "-----Original Message-----");
    EXPECT_TRUE(Tab().txtNotifyEmail->isEnabled());
    EXPECT_EQ(window->Options().notifyEmail, "ops@example.com");
    EXPECT_FALSE(Tab().chkErrEmail->isChecked());
    EXPECT_TRUE(window->Options().checkAtStartup);
}

TEST_F(OptionsTest, TextsOfSwitchedOffOptionsAreNotLoaded) {
    Set(st::kKeyFwdHeader, "Begin forwarded message:");
    Set(st::kKeyNotifyEmail, "ops@example.com");
    Start();
    EXPECT_EQ(Tab().txtFwdHeader->text(), "");
    EXPECT_EQ(Tab().txtNotifyEmail->text(), "");
    EXPECT_EQ(window->Options().notifyEmail, "");
}

TEST_F(OptionsTest, UncheckingBothNotifyOptionsLocksTheAddress) {
    Set(st::kKeyNotifyError, "1");
    Set(st::kKeyNotifySuccess, "1");
    Set(st::kKeyNotifyEmail, "ops@example.com");
    Start();
    ASSERT_TRUE(Tab().txtNotifyEmail->isEnabled());
    Tab().chkErrEmail->click();
    EXPECT_TRUE(Tab().txtNotifyEmail->isEnabled());  // one is still on
    Tab().chkSuccEmail->click();
    EXPECT_FALSE(Tab().txtNotifyEmail->isEnabled());
    Tab().txtNotifyEmail->setText("someone@else.example");
    EXPECT_EQ(StoredText(st::kKeyNotifyEmail), "ops@example.com");
    EXPECT_EQ(window->Options().notifyEmail, "ops@example.com");
    Tab().chkErrEmail->click();
    ASSERT_TRUE(Tab().txtNotifyEmail->isEnabled());
    Tab().txtNotifyEmail->setText("new@example.com");
    EXPECT_EQ(StoredText(st::kKeyNotifyEmail), "new@example.com");
    EXPECT_EQ(window->Options().notifyEmail, "new@example.com");
}

TEST_F(OptionsTest, ForwardHeaderFieldWritesOnlyWhileTheOptionIsOn) {
    Start();
    Tab().txtFwdHeader->setText("ignored");
    EXPECT_EQ(StoredText(st::kKeyFwdHeader), "Bad Key");
    Tab().chkTrimToFwdHeader->click();
    ASSERT_TRUE(Tab().txtFwdHeader->isEnabled());
    Tab().txtFwdHeader->setText("Begin forwarded message:");
    EXPECT_EQ(StoredText(st::kKeyFwdHeader), "Begin forwarded message:");
    EXPECT_EQ(window->Options().fwdHeader, "Begin forwarded message:");
}

TEST_F(OptionsTest, AStoredOptionBringsBackADeletedAutostartEntry) {
    Start();
    Tab().chkAutoStart->click();
    ASSERT_TRUE(std::filesystem::exists(entry));
    EXPECT_NE(vtest::ReadFile(entry).find("Exec=\"" + dir.path() + "/vellora\""),
              std::string::npos);
    std::remove(entry.c_str());
    Start();
    EXPECT_TRUE(Tab().chkAutoStart->isChecked());
    EXPECT_TRUE(std::filesystem::exists(entry));
    EXPECT_EQ(Stored(st::kKeyStartWithDesktop), 1);
    // Unchecking removes it again and stores 0.
    Tab().chkAutoStart->click();
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_EQ(Stored(st::kKeyStartWithDesktop), 0);
}

TEST_F(OptionsTest, AnEntryPlacedByHandTurnsTheOptionOn) {
    Set(st::kKeyStartWithDesktop, "0");
    std::filesystem::create_directories(dir / "config/autostart");
    vtest::WriteFile(entry, "[Desktop Entry]\nType=Application\nExec=/somewhere/else\n");
    Start();
    EXPECT_TRUE(Tab().chkAutoStart->isChecked());
    EXPECT_TRUE(window->Options().startWithDesktop);
    EXPECT_EQ(Stored(st::kKeyStartWithDesktop), 1);
    // The entry is the program's own again.
    EXPECT_NE(vtest::ReadFile(entry).find(dir.path() + "/vellora"), std::string::npos);
}

TEST_F(OptionsTest, AnEntryThatCannotBeWrittenLeavesTheStoredChoiceAlone) {
    vtest::WriteFile(dir / "notafolder", "x");
    setenv("XDG_CONFIG_HOME", (dir / "notafolder").c_str(), 1);
    Start();
    Tab().chkAutoStart->click();
    EXPECT_EQ(Stored(st::kKeyStartWithDesktop), -1);
    EXPECT_NE(vtest::ReadFile(dir / "vellora.log").find("chkAutoStart_Click [20] - "),
              std::string::npos);
    // Without any autostart folder at all the choice is stored; there is no entry to keep.
    unsetenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const std::string keptHome = home ? home : "";
    unsetenv("HOME");
    Tab().chkAutoStart->click();
    Tab().chkAutoStart->click();
    if (!keptHome.empty()) setenv("HOME", keptHome.c_str(), 1);
    EXPECT_EQ(Stored(st::kKeyStartWithDesktop), 1);
}

TEST_F(OptionsTest, AttachmentErrorOptionIsNeverStored) {
    Start();
    const std::string before = vtest::ReadFile(settings);
    Tab().chkAttErrPrint->click();
    EXPECT_TRUE(window->Options().printAttErrorPage);
    EXPECT_EQ(vtest::ReadFile(settings), before);
    Start();
    EXPECT_FALSE(Tab().chkAttErrPrint->isChecked());
    EXPECT_FALSE(window->Options().printAttErrorPage);
}

TEST_F(OptionsTest, Office2007SwitchActsOnTheListsOnlyAfterStartUp) {
    Set(st::kKeyOffice2007, "1");
    vellora::print::FakePrintSystem printers;
    window.reset();
    vellora::forms::WindowServices services;
    services.clock = &clock;
    services.dialogs = &dialogs;
    window = std::make_unique<frmTavro>(services);
    auto wiring = std::make_unique<vellora::forms::JobsWiring>(*window, printers);
    auto& jobs = *wiring;
    int switches = 0;
    QObject::connect(window->optionsTab, &vellora::forms::OptionsTab::office2007Switched,
                     [&switches](bool) { ++switches; });
    ASSERT_EQ(window->Form_Load(), frmTavro::LoadResult::Loaded);
    EXPECT_TRUE(Tab().chkMS2007->isChecked());
    EXPECT_EQ(switches, 0);  // start-up: the lists read the flag themselves
    auto& types = *window->optionsTab->attTypes;
    auto wordEntry0 = [&] {
        types.lstAtt->setCurrentRow(0);
        jobs.AttTypes().lstAtt_Click();
        return types.lstExt->item(0)->text().toStdString();
    };
    const std::string with2007 = wordEntry0();
    const std::string storedBefore = vtest::ReadFile(settings);
    Tab().chkMS2007->click();
    EXPECT_EQ(switches, 1);
    EXPECT_EQ(Stored(st::kKeyOffice2007), 0);
    const std::string without = wordEntry0();
    EXPECT_NE(without, with2007);
    Tab().chkMS2007->click();
    EXPECT_EQ(wordEntry0(), with2007);
    // Only the flag itself was written; the lists are not stored.
    EXPECT_EQ(vtest::ReadFile(settings), storedBefore);
    wiring.reset();  // before the window it plugs into
    window.reset();
}

TEST_F(OptionsTest, FailedJobsButtonOpensTheWindowOnceItIsThere) {
    Start();
    Tab().cmdVwJobErr->click();  // no failed-jobs window plugged in: nothing happens
    int shown = 0;
    window->hooks().showFailedJobs = [&] { ++shown; };
    Tab().cmdVwJobErr->click();
    EXPECT_EQ(shown, 1);
}

}  // namespace
