// What a real mail check leaves on disk, through the real mail component, rules and job
// creation against the private Dovecot: every file that holds mail content or settings is
// its owner's alone, and so are the folders they lie in.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "main/core/AccountMailCheck.h"
#include "main/core/Accounts.h"
#include "main/core/MessageHandler.h"
#include "main/core/StatusLogs.h"
#include "main/core/SystemClock.h"
#include "platform/mail/MailFactory.h"
#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/modJob.h"
#include "tests/accounts/DovecotSuite.h"
#include "tests/accounts/Fakes.h"
#include "tests/support/Dovecot.h"
#include "tests/support/TestSupport.h"

namespace {
using namespace vellora::core;

const char* kPng =
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg"
    "==";

// A body with an inline picture, a PDF, a file without extension and a forwarded message.
std::string EveryKind() {
    return "From: Bert <bert@example.org>\r\nTo: Anna <anna@example.org>\r\nSubject: Files\r\n"
           "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"m\"\r\n\r\n"
           "--m\r\nContent-Type: multipart/related; boundary=\"r\"\r\n\r\n"
           "--r\r\nContent-Type: text/html\r\n\r\n<p>Hello</p><img src=\"cid:p@x\">\r\n"
           "--r\r\nContent-Type: image/png\r\nContent-ID: <p@x>\r\n"
           "Content-Transfer-Encoding: base64\r\n\r\n" +
           std::string(kPng) +
           "\r\n--r--\r\n"
           "--m\r\nContent-Type: application/pdf\r\n"
           "Content-Disposition: attachment; filename=\"report.pdf\"\r\n\r\n%PDF-1.4\r\n"
           "--m\r\nContent-Type: application/octet-stream\r\n"
           "Content-Disposition: attachment; filename=\"README\"\r\n\r\nread me\r\n"
           "--m\r\nContent-Type: message/rfc822\r\n\r\n"
           "From: c@example.org\r\nSubject: Inner\r\n\r\nInner text\r\n"
           "--m--\r\n";
}

mode_t Mode(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return 0;
    return st.st_mode & 07777;
}

class CheckFiles : public vtest::DovecotSuite {
  protected:
    void SetUp() override {
        vellora::SetAppFolderForTesting(dir.path());
        modJob::ResetForTesting();
    }
    void TearDown() override {
        modJob::ResetForTesting();
        vellora::SetAppFolderForTesting("");
    }
    vtest::TempDir dir{"check-files"};
};

TEST_F(CheckFiles, EverythingARealCheckWritesIsReadableByItsOwnerOnly) {
    dovecot->AddUser("files", "pw");
    dovecot->AddMessage("files", EveryKind());
    const std::string settings = dir / vellora::texts::kSettingsFileName.str();
    AccountRecord a;
    a.id = 1;
    a.pop = true;
    a.server = "127.0.0.1";
    a.port = dovecot->pop3Port();
    a.user = "files";
    a.password = "pw";
    a.printAll = true;
    a.lastId = kFreshStart;
    AccountArray accounts{a};
    SaveAccounts(settings, accounts);

    Options options;
    options.logStatus = true;
    options.printAttErrorPage = true;
    SystemClock clock;
    StatusLogs status(clock, options, dir.path());
    RuleBook book;
    book.rules = {DefaultRule()};
    book.rules[0].printAtt = true;
    RuleMatcher matcher(
        book, [] { return PrinterCaptions{}; }, &status);
    AttachmentLists lists;
    for (Family f : kStoredFamilies) lists.Of(f) = {BuiltInPattern(f, true)};
    JobQueues jobs;
    const std::string temp = dir / vellora::texts::kTempFolderName.str();
    JobCreator creator(jobs, lists, options, status, dir.path(), temp);
    MessageHandler handler(matcher, creator);
    auto session = vellora::mail::CreateMailSession();
    auto message = vellora::mail::CreateMailMessage();
    vtest::HookPump pump;
    AccountMailCheck check(
        {*session, *message, handler, status, pump, options, accounts, settings});
    check.RunMailCheck();

    // The body page, its picture, the PDF, the error page and the forwarded message's page.
    EXPECT_GE(jobs.queue.size(), 4u) << status.Text(StatusBox::Mail);
    EXPECT_EQ(Mode(temp), 0700u);
    const auto documents = vtest::ListDir(temp);
    EXPECT_GE(documents.size(), 5u);
    for (const auto& name : documents) EXPECT_EQ(Mode(temp + "/" + name), 0600u) << name;
    // The status file, the POP3 id map and the settings file beside the programs.
    int statusFiles = 0;
    for (const auto& name : vtest::ListDir(dir.path())) {
        const std::string path = dir / name;
        struct stat st {};
        if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        statusFiles += name.rfind("status-", 0) == 0;
        EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
    }
    EXPECT_EQ(statusFiles, 1);
}

}  // namespace
