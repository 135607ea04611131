// A main window in a private installation folder, with scripted dialogs, a fake clock, a
// tray that is always there, and hooks that record the order in which start-up runs them.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "main/core/ScriptedDialogs.h"
#include "main/forms/frmTavro.h"
#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/support/TestSupport.h"

namespace wintest {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "test_window_gui";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

class FakeTray : public vellora::forms::TrayIcon {
  public:
    bool available = true;
    bool shown = false;
    QString tip;
    bool Available() const override { return available; }
    void Add() override { shown = true; }
    void Delete() override { shown = false; }
    bool Shown() const override { return shown; }
    void SetTip(const QString& t) override { tip = t; }
    void SetIcon(const QIcon&) override {}
    void DoubleClick() { emit doubleClicked(); }
};

struct CountingDispatch : vellora::core::JobDispatch {
    int calls = 0;
    void CheckJobs() override { ++calls; }
};

struct ScriptedCheck : vellora::core::MailCheck {
    int calls = 0;
    bool running = false;
    std::function<void()> during;
    void RunMailCheck() override {
        ++calls;
        running = true;
        if (during) during();
        running = false;
    }
    bool Running() const override { return running; }
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        vellora::SetAppFolderForTesting(dir.path());
        settings = dir / "vellora.ini";
    }
    void TearDown() override {
        window.reset();
        vellora::SetAppFolderForTesting("");
    }
    void Set(const std::string& key, const std::string& value) {
        basINI_IO::WriteSettingText(value, settings, vellora::texts::kGeneralSection, key);
    }
    // A program that has been set up (the first-run marker is there).
    void SetUp_() { Set(vellora::texts::kKeyUserEmail, "me@example.com"); }
    // Builds the window with every hook recording its name.
    vellora::forms::frmTavro& Make() {
        vellora::forms::WindowServices services;
        services.clock = &clock;
        services.dialogs = &dialogs;
        services.tray = tray = new FakeTray;
        window = std::make_unique<vellora::forms::frmTavro>(services);
        auto& h = window->hooks();
        auto record = [this](const char* name) {
            return [this, name](vellora::forms::frmTavro& w) {
                calls.push_back(name);
                loadedDuringHooks = loadedDuringHooks || w.Loaded();
            };
        };
        h.fillRuleLists = record("fillRuleLists");
        h.loadAttachmentLists = record("loadAttachmentLists");
        h.loadAccounts = record("loadAccounts");
        h.loadRules = record("loadRules");
        h.fillPrinterLists = record("fillPrinterLists");
        h.createJobCollections = record("createJobCollections");
        window->SetJobDispatch(&dispatch);
        window->SetMailCheck(&check);
        return *window;
    }
    std::string NextLabel() { return window->statusTab->lblNextCheck->text().toStdString(); }
    std::string IntervalText() {
        return window->optionsTab->cboInterval->currentText().toStdString();
    }
    int StoredNumber(const std::string& key) {
        return basINI_IO::ReadSettingNumber(settings, vellora::texts::kGeneralSection, key);
    }

    vtest::TempDir dir{"window-gui"};
    std::string settings;
    vellora::core::FakeClock clock;
    vellora::core::ScriptedDialogs dialogs;
    FakeTray* tray = nullptr;  // owned by the window
    CountingDispatch dispatch;
    ScriptedCheck check;
    std::vector<std::string> calls;
    bool loadedDuringHooks = false;
    std::unique_ptr<vellora::forms::frmTavro> window;
};

}  // namespace wintest
