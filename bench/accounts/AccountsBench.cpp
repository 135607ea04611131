// Saving and loading the account array at the item limit (every key is its own locked,
// synced write of the settings file), and a mail check that fetches 200 new messages from a
// private Dovecot, per protocol.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "main/core/AccountMailCheck.h"
#include "main/core/Accounts.h"
#include "main/core/ItemLimit.h"
#include "platform/mail/MailFactory.h"
#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/accounts/Fakes.h"
#include "tests/support/Dovecot.h"
#include "tests/support/TestSupport.h"

using namespace vellora::core;

namespace {

AccountArray FullArray() {
    AccountArray accounts;
    for (int i = 1; i <= kDefaultItemLimit; ++i) {
        AccountRecord a;
        a.id = static_cast<std::int16_t>(i);
        a.imap = true;
        a.server = "imap" + std::to_string(i) + ".example.org";
        a.port = 993;
        a.user = "user" + std::to_string(i);
        a.password = "password " + std::to_string(i);
        a.ssl = true;
        a.lastId = 1000 + i;
        a.printNew = true;
        accounts.push_back(a);
    }
    return accounts;
}

void BM_SaveAccountsAtTheLimit(benchmark::State& state) {
    vtest::TempDir dir("bench-acct");
    vellora::SetAppFolderForTesting(dir.path());
    const std::string path = dir / "vellora.ini";
    const AccountArray accounts = FullArray();
    for (auto _ : state) SaveAccounts(path, accounts);
    vellora::SetAppFolderForTesting("");
}
BENCHMARK(BM_SaveAccountsAtTheLimit)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadAccountsAtTheLimit(benchmark::State& state) {
    vtest::TempDir dir("bench-acct");
    vellora::SetAppFolderForTesting(dir.path());
    const std::string path = dir / "vellora.ini";
    SaveAccounts(path, FullArray());
    for (auto _ : state) benchmark::DoNotOptimize(LoadAccounts(path, kDefaultItemLimit));
    vellora::SetAppFolderForTesting("");
}
BENCHMARK(BM_LoadAccountsAtTheLimit)->Unit(benchmark::kMillisecond)->Iterations(20);

// One check that finds 200 new messages (print all, first contact) and hands each to a
// handling that does nothing: the check's own cost with the real component and server.
void BM_CheckOf200NewMessages(benchmark::State& state) {
    const bool pop = state.range(0) == 1;
    vtest::Dovecot dovecot;
    setenv("VELLORA_CA_FILE", dovecot.caFile().c_str(), 1);
    dovecot.AddUser("anna", "pw");
    const std::string body(4000, 'x');
    for (int i = 0; i < 200; ++i) {
        dovecot.AddMessage("anna", "From: a@example.org\r\nSubject: m" + std::to_string(i) +
                                       "\r\n\r\n" + body + "\r\n");
    }
    vtest::TempDir dir("bench-check");
    vellora::SetAppFolderForTesting(dir.path());
    const std::string path = dir / "vellora.ini";
    auto session = vellora::mail::CreateMailSession();
    auto message = vellora::mail::CreateMailMessage();
    vtest::RecordingHandling handling;
    vtest::RecordingStatus status;
    vtest::HookPump pump;
    Options options;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        AccountRecord a;
        a.id = 1;
        a.imap = !pop;
        a.pop = pop;
        a.server = "127.0.0.1";
        a.port = pop ? dovecot.pop3Port() : dovecot.imapPort();
        a.user = "anna";
        a.password = "pw";
        a.printAll = true;
        a.lastId = kFreshStart;
        AccountArray accounts{a};
        SaveAccounts(path, accounts);
        handling.matched.clear();
        AccountMailCheck check(
            {*session, *message, handling, status, pump, options, accounts, path});
        check.RunMailCheck();
        if (handling.matched.size() != 200) {
            const std::string why = "handled " + std::to_string(handling.matched.size()) + ": " +
                                    (status.errors.empty() ? std::string() : status.errors.back()) +
                                    " " + vtest::ReadFile(dir / "vellora.log");
            state.SkipWithError(why.c_str());
            break;
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["ms_per_message"] =
        seconds * 1000.0 /
        (200.0 * static_cast<double>(std::max<std::int64_t>(state.iterations(), 1)));
    vellora::SetAppFolderForTesting("");
}
BENCHMARK(BM_CheckOf200NewMessages)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
