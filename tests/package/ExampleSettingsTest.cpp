// The example settings file the package ships for a setup without window: every key in it is
// one the program reads, the program's own loaders read the setup it describes, and the manual
// page describes every key it uses.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "main/core/Accounts.h"
#include "main/core/ItemLimit.h"
#include "main/core/MainTexts.h"
#include "main/core/Rules.h"
#include "shared/StoredPassword.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/support/TestSupport.h"

namespace vellora {
namespace {
namespace fs = std::filesystem;
namespace st = texts;
namespace mt = core::texts;
using Keys = std::set<std::string>;

const std::string kExample = vtest::SourceDir() + "/packaging/vellora.ini.example";

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The keys the program reads, by section; numbered sections by their prefix.
std::map<std::string, Keys> KnownKeys() {
    const auto keys = [](std::initializer_list<std::string> list) {
        Keys out;
        for (const auto& k : list) out.insert(Lower(k));
        return out;
    };
    Keys rule = keys({st::kKeyRuleId, st::kKeyRuleName, st::kKeyRulePrintBody, st::kKeyRulePrintAtt,
                      st::kKeyRulePrinter});
    for (int k = 0; k < 3; ++k) {
        for (const auto& key : {st::kKeyRuleField.str(), st::kKeyRuleCondition.str(),
                                st::kKeyRuleValue.str(), st::kKeyRuleJoin.str()}) {
            if (k < 2 || key != st::kKeyRuleJoin.str()) rule.insert(Lower(key + std::to_string(k)));
        }
    }
    return {
        {Lower(st::kGeneralSection),
         keys({st::kKeyUserName, st::kKeyUserEmail, st::kKeyInterval, st::kKeyStartWithDesktop,
               st::kKeyConfirmExit, st::kKeyMinToTray, st::kKeyLogStatus, st::kKeyCheckAtStart,
               st::kKeyTrimFwd, st::kKeyFwdHeader, st::kKeyNotifyError, st::kKeyNotifySuccess,
               st::kKeyNotifyEmail, st::kKeyUseViewer, st::kKeyOffice2007, st::kKeyAppPrinter,
               st::kKeyAttachmentCap, st::kKeyTrustedAuthServ, st::kKeyRequireConfinement})},
        {Lower(st::kAccountsSection), keys({st::kKeyAccountCount})},
        {Lower(st::kAccountPrefix),
         keys({st::kKeyAcctId, st::kKeyAcctServer, st::kKeyAcctPort, st::kKeyAcctImap,
               st::kKeyAcctPop, st::kKeyAcctSsl, st::kKeyAcctEncLogin, st::kKeyAcctNtlm,
               st::kKeyAcctUser, st::kKeyAcctPassword, st::kKeyAcctLastMsg, st::kKeyAcctPrintAll,
               st::kKeyAcctPrintNew})},
        {Lower(st::kRulesSection), keys({st::kKeyRuleCount})},
        {Lower(st::kRulePrefix), rule},
        {Lower(st::kDefaultRuleSection), rule},
        {Lower(st::kServicesSection), keys({st::kKeyNotifyUrl, st::kKeyConvertUrl})},
    };
}

// section (lower case, numbers cut off) -> keys, as the example file holds them.
std::map<std::string, Keys> ExampleKeys() {
    std::map<std::string, Keys> found;
    std::stringstream in(vtest::ReadFile(kExample));
    std::string section;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            section = Lower(line.substr(1, line.find(']') - 1));
            while (!section.empty() && std::isdigit(static_cast<unsigned char>(section.back())))
                section.pop_back();
            continue;
        }
        const auto eq = line.find('=');
        EXPECT_NE(eq, std::string::npos) << "not a key line: " << line;
        if (eq != std::string::npos) found[section].insert(Lower(line.substr(0, eq)));
    }
    return found;
}

TEST(ExampleSettings, EveryKeyIsOneTheProgramReads) {
    const auto known = KnownKeys();
    const auto example = ExampleKeys();
    ASSERT_FALSE(example.empty());
    for (const auto& [section, keys] : example) {
        ASSERT_TRUE(known.count(section)) << "unknown section [" << section << "]";
        for (const auto& key : keys)
            EXPECT_TRUE(known.at(section).count(key)) << "[" << section << "] " << key;
    }
}

TEST(ExampleSettings, TheProgramsLoadersReadOneAccountAndACatchAllRule) {
    vtest::TempDir dir("vellora-example");
    const std::string path = dir / st::kSettingsFileName.str();
    fs::copy_file(kExample, path);
    using basINI_IO::ReadSettingText;
    EXPECT_NE(ReadSettingText(path, st::kGeneralSection, st::kKeyUserEmail),
              basINI_IO::MissingValue())
        << "without the user's address the window would open the first-run wizard";

    const auto loaded = core::LoadAccounts(path, core::kDefaultItemLimit);
    ASSERT_EQ(loaded.accounts.size(), 1u);
    const auto& a = loaded.accounts.front();
    EXPECT_EQ(a.id, 1);
    EXPECT_EQ(a.server, "mail.example.org");
    EXPECT_EQ(a.port, 993);
    EXPECT_TRUE(a.imap && !a.pop && a.ssl && a.printNew && !a.printAll);
    EXPECT_EQ(a.user, "printing@example.org");
    // The example's password line is what the comment beside it says to run.
    std::string encoded;
    vtest::Run({"/bin/sh", "-c", "printf '%s!' 'change-me' | base64 -w0"}, &encoded);
    EXPECT_EQ(ReadSettingText(path, st::kAccountPrefix.str() + "1", st::kKeyAcctPassword), encoded);
    EXPECT_EQ(a.password, "change-me");

    const auto book = core::LoadRules(path);
    ASSERT_EQ(book.rules.size(), 1u) << "only the default rule";
    EXPECT_TRUE(book.rules[0].printBody);
    EXPECT_TRUE(book.rules[0].printAtt);
    EXPECT_EQ(book.rules[0].printer, mt::kRuleUseDefaultPrinter.str());
    EXPECT_EQ(ReadSettingText(path, st::kGeneralSection, st::kKeyAppPrinter),
              mt::kDefaultPrinterMarker.str());
}

TEST(ExampleSettings, TheManualPageDescribesEveryKeyItUses) {
    const std::string page = vtest::ReadFile(vtest::SourceDir() + "/packaging/man/vellora.1");
    for (const auto& [section, keys] : ExampleKeys()) {
        for (const auto& key : keys) {
            // An entry: .B Key, or .BR Key ,\  Other ... (letter case as the file has it).
            const std::regex entry(R"((^|\n)\.BR? ([A-Za-z]+ ,\\ +)*)" + key + R"(( |\n))",
                                   std::regex::icase);
            EXPECT_TRUE(std::regex_search(page, entry)) << "vellora(1) lacks " << key;
        }
    }
}

}  // namespace
}  // namespace vellora
