// The rules, printers, job creation and the dispatcher plugged into a real main window: the
// start-up fills the tabs, a matched message becomes a job, and the window's timer launches it.
#include <gtest/gtest.h>

#include "main/core/MainTexts.h"
#include "main/core/ScriptedDialogs.h"
#include "main/forms/JobsWiring.h"
#include "main/forms/frmTavro.h"
#include "platform/print/FakePrintSystem.h"
#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "shared/modJob.h"
#include "tests/dispatch/DispatchFakes.h"
#include "tests/logicforms/FormsApp.h"
#include "tests/rules/TestMessage.h"
#include "tests/support/TestSupport.h"

using namespace vellora;
using namespace vellora::forms;
namespace mt = vellora::core::texts;

namespace {

class NoTray : public TrayIcon {
  public:
    bool Available() const override { return false; }
    void Add() override {}
    void Delete() override {}
    bool Shown() const override { return false; }
    void SetTip(const QString&) override {}
    void SetIcon(const QIcon&) override {}
};

TEST(JobsWiringTest, StartUpFillsTheTabsAndTheTimerLaunchesAMatchedMessage) {
    vtest::FormsApp();
    vtest::TempDir dir{"wiring"};
    SetAppFolderForTesting(dir.path());
    modJob::ResetForTesting();
    const std::string ini = dir / "vellora.ini";
    basINI_IO::WriteSettingText("me@example.com", ini, texts::kGeneralSection,
                                texts::kKeyUserEmail);
    basINI_IO::WriteSettingText("Ink", ini, texts::kDefaultRuleSection, texts::kKeyRulePrinter);
    {
        core::FakeClock clock;
        core::ScriptedDialogs dialogs;
        vtest::RecordingLauncher launcher;
        print::FakePrintSystem printers;
        printers.printers = {"Laser", "Ink"};
        printers.defaultPrinter = "Laser";
        WindowServices services;
        services.clock = &clock;
        services.dialogs = &dialogs;
        services.launcher = &launcher;
        services.tray = new NoTray;
        frmTavro window(services);
        JobsWiring wiring(window, printers);
        ASSERT_NE(window.Form_Load(), frmTavro::LoadResult::Ended);

        EXPECT_EQ(window.rulesTab->lstRules->count(), 1);
        EXPECT_EQ(window.rulesTab->cboField[0]->count(), 13);
        EXPECT_EQ(window.printersTab->lstPrinters->count(), 3);
        EXPECT_EQ(window.printersTab->lblCurSysPrinter->text(), "Laser");
        EXPECT_EQ(window.optionsTab->attTypes->lstAtt->count(), 6);
        ASSERT_NE(wiring.Dispatch(), nullptr);

        vtest::TestMessage msg;
        msg.subject = "Hello";
        msg.body = "body text";
        const core::MatchResult match = wiring.MatchRules(msg, "server - me");
        ASSERT_TRUE(match.matched);
        EXPECT_EQ(match.printer, "Ink");
        wiring.BodyStep(msg, 1, "5", match);
        ASSERT_EQ(wiring.Jobs().queue.size(), 1u);
        window.tmrMailCheck_Timer();
        ASSERT_EQ(launcher.launched.size(), 1u);
        EXPECT_NE(launcher.launched[0].find("/webbin "), std::string::npos);
        EXPECT_EQ(printers.defaultPrinter, "Ink");
        EXPECT_EQ(window.hooks().failedJobCount(), 0);
    }
    modJob::ResetForTesting();
    SetAppFolderForTesting("");
}

}  // namespace
