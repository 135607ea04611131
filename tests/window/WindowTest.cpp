// The main window on the offscreen platform: start-up order and its trap, the first-run
// wizard, the interval box and the timer tick, the tray, the exit question and the
// failed-jobs question.
#include <sys/stat.h>
#include <utime.h>

#include "WindowFixture.h"
#include "main/core/MainTexts.h"

using namespace wintest;
using namespace std::chrono;
using vellora::core::MsgResult;
using LoadResult = vellora::forms::frmTavro::LoadResult;
namespace st = vellora::texts;

namespace {

TEST_F(WindowTest, StartUpRunsItsStepsInOrderAndArmsTheTimerLast) {
    SetUp_();
    auto& w = Make();
    w.hooks().makeSession = [this] {
        calls.push_back("makeSession");
        return nullptr;
    };
    w.hooks().runFirstWizard = [this](vellora::forms::frmTavro&) {
        calls.push_back("wizard");
        return true;
    };
    w.hooks().loadOptions = [this](vellora::forms::frmTavro& f) {
        calls.push_back("loadOptions");
        // Texts and fixed lists come before the loaders.
        EXPECT_EQ(f.optionsTab->cboInterval->count(), 12);
        EXPECT_FALSE(f.SSTab1->tabText(0).isEmpty());
        EXPECT_FALSE(f.tmrMailCheck->isActive());
    };
    EXPECT_FALSE(w.Loaded());
    ASSERT_EQ(w.Form_Load(), LoadResult::Loaded);
    const std::vector<std::string> expected = {
        "makeSession",  "fillRuleLists", "loadOptions",      "loadAttachmentLists",
        "loadAccounts", "loadRules",     "fillPrinterLists", "createJobCollections"};
    EXPECT_EQ(calls, expected);
    EXPECT_FALSE(loadedDuringHooks);
    EXPECT_TRUE(w.Loaded());
    EXPECT_TRUE(w.tmrMailCheck->isActive());
    EXPECT_EQ(w.tmrMailCheck->interval(), 5000);
    EXPECT_EQ(w.SSTab1->currentIndex(), 5);
    EXPECT_EQ(w.SSTab1->count(), 6);
    EXPECT_EQ(w.optionsTab->SSTab2->count(), 2);
    EXPECT_EQ(w.statusTab->SSTab3->count(), 3);
    struct stat temp {};
    ASSERT_EQ(stat((dir / "temp").c_str(), &temp), 0);
    EXPECT_EQ(temp.st_mode & 0777, 0700u);  // bodies and attachments: the user's alone
    EXPECT_FALSE(w.windowIcon().isNull());
    EXPECT_EQ(w.accountsTab->rememberedIndex, -1);
}

TEST_F(WindowTest, ATemporaryFolderLeftOpenToOthersIsNarrowedAtStartUp) {
    SetUp_();
    mkdir((dir / "temp").c_str(), 0755);
    chmod((dir / "temp").c_str(), 0755);
    ASSERT_EQ(Make().Form_Load(), LoadResult::Loaded);
    struct stat temp {};
    ASSERT_EQ(stat((dir / "temp").c_str(), &temp), 0);
    EXPECT_EQ(temp.st_mode & 0777, 0700u);
}

TEST_F(WindowTest, WithoutTheFirstRunMarkerTheWizardComesBeforeAnyTabIsFilled) {
    auto& w = Make();
    bool checked = false;
    w.hooks().runFirstWizard = [&](vellora::forms::frmTavro& f) {
        EXPECT_TRUE(calls.empty());
        EXPECT_EQ(f.optionsTab->cboInterval->count(), 0);
        EXPECT_TRUE(f.SSTab1->tabText(0).isEmpty());
        checked = true;
        calls.push_back("wizard");
        Set(st::kKeyUserEmail, "new@example.com");
        return true;
    };
    ASSERT_EQ(w.Form_Load(), LoadResult::Loaded);
    EXPECT_TRUE(checked);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "wizard");
    EXPECT_EQ(calls.back(), "createJobCollections");
}

TEST_F(WindowTest, CancellingTheWizardEndsTheProgramWithoutTheWindow) {
    auto& w = Make();
    w.hooks().runFirstWizard = [](vellora::forms::frmTavro&) { return false; };
    EXPECT_EQ(w.Form_Load(), LoadResult::Ended);
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.tmrMailCheck->isActive());
    EXPECT_FALSE(w.Loaded());
}

TEST_F(WindowTest, AnEmptyMarkerCountsAsSetUp) {
    Set(st::kKeyUserEmail, "");
    auto& w = Make();
    bool wizard = false;
    w.hooks().runFirstWizard = [&](vellora::forms::frmTavro&) { return wizard = true; };
    ASSERT_EQ(w.Form_Load(), LoadResult::Loaded);
    EXPECT_FALSE(wizard);
}

TEST_F(WindowTest, AFailingStepIsLoggedWithItsNumberAndLeavesTheTimerOff) {
    SetUp_();
    auto& w = Make();
    w.hooks().loadAccounts = [](vellora::forms::frmTavro&) {
        throw std::runtime_error("accounts unreadable");
    };
    EXPECT_EQ(w.Form_Load(), LoadResult::Failed);
    EXPECT_FALSE(w.tmrMailCheck->isActive());
    EXPECT_FALSE(w.Loaded());
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "loadRules"), 0);
    const std::string log = vtest::ReadFile(dir / "vellora.log");
    EXPECT_NE(log.find("frmTavro Form_Load [50] - accounts unreadable"), std::string::npos);
}

TEST_F(WindowTest, WithoutAnIntervalKeyTheIntervalIsTenMinutes) {
    SetUp_();
    auto& w = Make();
    ASSERT_EQ(w.Form_Load(), LoadResult::Loaded);
    EXPECT_EQ(IntervalText(), "10");
    EXPECT_EQ(w.Schedule().IntervalMinutes(), 10);
    EXPECT_EQ(w.Schedule().NextCheck(), clock.Now() + minutes(10));
    EXPECT_EQ(NextLabel(), "00:10:00");
    // Every option box starts unchecked.
    EXPECT_FALSE(w.optionsTab->chkStartCheck->isChecked());
    EXPECT_FALSE(w.optionsTab->chkMin2Tray->isChecked());
    EXPECT_FALSE(w.optionsTab->chkCnfExit->isChecked());
    w.tmrMailCheck_Timer();
    EXPECT_EQ(check.calls, 0);
    EXPECT_EQ(dispatch.calls, 1);
}

TEST_F(WindowTest, StartWithCheckChecksOnTheFirstTick) {
    SetUp_();
    Set(st::kKeyCheckAtStart, "1");
    auto& w = Make();
    ASSERT_EQ(w.Form_Load(), LoadResult::Loaded);
    EXPECT_TRUE(w.optionsTab->chkStartCheck->isChecked());
    clock.Advance(seconds(5));
    w.tmrMailCheck_Timer();
    EXPECT_EQ(check.calls, 1);
    EXPECT_NE(w.statusTab->lblLastCheck->text().toStdString().find(':'), std::string::npos);
    EXPECT_EQ(NextLabel(), "00:10:00");
    EXPECT_TRUE(tray->tip.startsWith("Vellora"));
    EXPECT_LE(tray->tip.toUtf8().size(), 64);
}

TEST_F(WindowTest, IntervalZeroMeansNoChecksABlankLabelAndJobsStillDispatched) {
    SetUp_();
    Set(st::kKeyInterval, "0");
    Set(st::kKeyCheckAtStart, "1");
    auto& w = Make();
    ASSERT_EQ(w.Form_Load(), LoadResult::Loaded);
    EXPECT_EQ(IntervalText(), "0");
    for (int i = 0; i < 4; ++i) {
        clock.Advance(minutes(30));
        w.tmrMailCheck_Timer();
    }
    EXPECT_EQ(check.calls, 0);
    EXPECT_EQ(dispatch.calls, 4);
    EXPECT_EQ(NextLabel(), "");
}

TEST_F(WindowTest, TypingFifteenStoresItAndSchedulesFifteenMinutesLater) {
    SetUp_();
    auto& w = Make();
    ASSERT_EQ(w.Form_Load(), LoadResult::Loaded);
    clock.Advance(minutes(4));
    w.optionsTab->cboInterval->setEditText(QStringLiteral("15"));
    w.tmrMailCheck_Timer();
    EXPECT_EQ(StoredNumber(st::kKeyInterval), 15);
    EXPECT_EQ(w.Schedule().NextCheck(), clock.Now() + minutes(15));
    EXPECT_EQ(NextLabel(), "00:15:00");
    clock.Advance(minutes(14));
    w.tmrMailCheck_Timer();
    EXPECT_EQ(check.calls, 0);
    clock.Advance(minutes(1));
    w.tmrMailCheck_Timer();
    EXPECT_EQ(check.calls, 1);
    // Text that is no number leaves the interval and the stored value alone.
    w.optionsTab->cboInterval->setEditText(QStringLiteral("soon"));
    w.tmrMailCheck_Timer();
    EXPECT_EQ(w.Schedule().IntervalMinutes(), 15);
    EXPECT_EQ(StoredNumber(st::kKeyInterval), 15);
}

TEST_F(WindowTest, ACheckLongerThanTheIntervalIsFollowedAFullIntervalAfterItEnds) {
    SetUp_();
    Set(st::kKeyCheckAtStart, "1");
    auto& w = Make();
    ASSERT_EQ(w.Form_Load(), LoadResult::Loaded);
    // The check lets the window's events run; the timer fires again inside it.
    check.during = [&] {
        clock.Advance(minutes(12));
        w.tmrMailCheck_Timer();
        clock.Advance(minutes(12));
    };
    w.tmrMailCheck_Timer();
    EXPECT_EQ(check.calls, 1);  // the tick inside the check started none
    EXPECT_EQ(dispatch.calls, 2);
    EXPECT_EQ(w.Schedule().NextCheck(), clock.Now() + minutes(10));
    check.during = nullptr;
    clock.Advance(minutes(9));
    w.tmrMailCheck_Timer();
    EXPECT_EQ(check.calls, 1);
    clock.Advance(minutes(1));
    w.tmrMailCheck_Timer();
    EXPECT_EQ(check.calls, 2);
}

void Age(const std::string& path, vellora::core::TimePoint when) {
    vtest::WriteFile(path, "old");
    const std::time_t t = system_clock::to_time_t(when);
    utimbuf times{t, t};
    ASSERT_EQ(utime(path.c_str(), &times), 0);
}

TEST_F(WindowTest, TheTickDeletesFilesFourDaysOldAndKeepsThoseThreeDaysOld) {
    SetUp_();
    auto& w = Make();
    ASSERT_EQ(w.Form_Load(), LoadResult::Loaded);
    // Midday of the fake today, so whole days back stay on their calendar day.
    std::time_t now = system_clock::to_time_t(clock.Now());
    std::tm tm{};
    localtime_r(&now, &tm);
    tm.tm_hour = 12;
    tm.tm_min = tm.tm_sec = 0;
    tm.tm_isdst = -1;
    clock.Set(system_clock::from_time_t(std::mktime(&tm)));
    Age(dir / "temp/four.html", clock.Now() - hours(96));
    Age(dir / "temp/three.html", clock.Now() - hours(72));
    w.tmrMailCheck_Timer();
    EXPECT_FALSE(vtest::Exists(dir / "temp/four.html"));
    EXPECT_TRUE(vtest::Exists(dir / "temp/three.html"));
}

TEST_F(WindowTest, TheStatusBoxesShowTheNewestLineFirst) {
    SetUp_();
    auto& w = Make();
    ASSERT_EQ(w.Form_Load(), LoadResult::Loaded);
    w.Status().LogMailStatus("older line");
    clock.Advance(seconds(1));
    w.Status().LogMailStatus("newer line");
    w.Status().LogSucStatus("printed");
    const QString mail = w.statusTab->txtMailStatus->toPlainText();
    EXPECT_LT(mail.indexOf("newer line"), mail.indexOf("older line"));
    EXPECT_FALSE(mail.contains(QLatin1Char('\r')));
    EXPECT_TRUE(w.statusTab->txtSucStatus->toPlainText().contains("printed"));
    EXPECT_TRUE(w.statusTab->txtErrorStatus->toPlainText().isEmpty());
    for (int i = 0; i < 600; ++i) w.Status().LogMailStatus(std::string(80, 'm'));
    EXPECT_LE(w.Status().Text(vellora::core::StatusBox::Mail).size(), 31998u);
}

TEST_F(WindowTest, WithTheTrayOptionMinimisingHidesToTheTrayAndADoubleClickRestores) {
    SetUp_();
    Set(st::kKeyMinToTray, "1");
    auto& w = Make();
    ASSERT_EQ(w.Form_Load(), LoadResult::Loaded);
    w.show();
    // A double click while the window is not minimised does nothing.
    tray->DoubleClick();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(tray->shown);
    w.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(tray->shown);
    EXPECT_FALSE(w.isVisible());
    tray->DoubleClick();
    EXPECT_FALSE(tray->shown);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.windowState() & Qt::WindowMinimized);
}

TEST_F(WindowTest, WithoutTheTrayOptionOrWithoutATrayTheWindowMinimisesNormally) {
    SetUp_();
    auto& w = Make();
    ASSERT_EQ(w.Form_Load(), LoadResult::Loaded);
    w.show();
    w.setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(tray->shown);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.windowState() & Qt::WindowMinimized);

    // Ticking the option takes effect at once; with no tray on the desktop it still
    // minimises normally.
    w.setWindowState(Qt::WindowNoState);
    w.optionsTab->chkMin2Tray->setChecked(true);
    EXPECT_EQ(StoredNumber(st::kKeyMinToTray), 1);
    tray->available = false;
    w.setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(tray->shown);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(WindowTest, ConfirmExitAsksOnlyForTheWindowsOwnClose) {
    SetUp_();
    Set(st::kKeyConfirmExit, "1");
    auto& w = Make();
    ASSERT_EQ(w.Form_Load(), LoadResult::Loaded);
    dialogs.AnswerMessage(MsgResult::No);
    EXPECT_TRUE(w.Form_QueryUnload(true));
    dialogs.AnswerMessage(MsgResult::Yes);
    EXPECT_FALSE(w.Form_QueryUnload(true));
    EXPECT_FALSE(w.Form_QueryUnload(false));  // a close from code is never questioned
    ASSERT_EQ(dialogs.asked().size(), 2u);
    EXPECT_EQ(dialogs.asked()[0].buttons, vellora::core::MsgButtons::YesNo);

    int unloaded = 0;
    QObject::connect(&w, &vellora::forms::frmTavro::unloaded, [&] { ++unloaded; });
    w.show();
    tray->shown = true;
    w.close();
    EXPECT_EQ(unloaded, 1);
    EXPECT_FALSE(tray->shown);
    EXPECT_EQ(dialogs.asked().size(), 2u);

    w.optionsTab->chkCnfExit->setChecked(false);
    EXPECT_FALSE(w.Form_QueryUnload(true));
    EXPECT_EQ(dialogs.asked().size(), 2u);
}

TEST_F(WindowTest, FocusAsksAboutFailedJobsOnlyWhenThereAreSome) {
    SetUp_();
    auto& w = Make();
    int failed = 0, shown = 0;
    w.hooks().failedJobCount = [&] { return failed; };
    w.hooks().showFailedJobs = [&] { ++shown; };
    ASSERT_EQ(w.Form_Load(), LoadResult::Loaded);
    w.Form_GotFocus();
    EXPECT_TRUE(dialogs.asked().empty());
    failed = 2;
    dialogs.AnswerMessage(MsgResult::No);
    w.Form_GotFocus();
    EXPECT_EQ(shown, 0);
    dialogs.AnswerMessage(MsgResult::Yes);
    w.Form_GotFocus();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(dialogs.asked().size(), 2u);
}

TEST_F(WindowTest, ControlsCarryTheirNames) {
    SetUp_();
    auto& w = Make();
    ASSERT_EQ(w.Form_Load(), LoadResult::Loaded);
    for (const char* name :
         {"SSTab1",       "SSTab2",         "SSTab3",        "txtMailStatus",  "txtErrorStatus",
          "txtSucStatus", "lblLastCheck",   "lblNextCheck",  "lstAccounts",    "txtServer",
          "optIMAP",      "cmdSaveAcct",    "lstRules",      "cboField_2",     "cboLogic_1",
          "txtValue_0",   "cboRulePrinter", "lstPrinters",   "cmdSetPrinter",  "cboInterval",
          "chkMin2Tray",  "chkCnfExit",     "chkStartCheck", "txtNotifyEmail", "cmdVwJobErr",
          "lstAtt",       "lstExt",         "cmdSaveExt",    "lblHomePage"}) {
        EXPECT_NE(w.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    }
    EXPECT_NE(w.findChild<QTimer*>(QStringLiteral("tmrMailCheck")), nullptr);
}

}  // namespace
