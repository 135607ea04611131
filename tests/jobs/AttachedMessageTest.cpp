// A message attached to a message (message/rfc822, a mail forwarded as attachment), through the
// real parser and job creation: its own body page, built like a message's, and its own
// attachments; a hostile nest of messages stays a handful of jobs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "main/core/JobCreation.h"
#include "main/core/MainTexts.h"
#include "platform/mail/GMimeMailMessage.h"
#include "shared/AppFolder.h"
#include "shared/modJob.h"
#include "tests/rules/RecordingSink.h"
#include "tests/support/TestSupport.h"

using namespace vellora::core;
namespace mt = vellora::core::texts;
namespace fs = std::filesystem;

namespace {

// A 1x1 PNG.
const char* kPng =
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg"
    "==";

std::string Inner() {
    return "From: Clara <clara@example.org>\r\nTo: Anna <anna@example.org>\r\n"
           "Subject: Invoice March\r\nMIME-Version: 1.0\r\n"
           "Content-Type: multipart/mixed; boundary=\"in\"\r\n\r\n"
           "--in\r\nContent-Type: multipart/related; boundary=\"rel\"\r\n\r\n"
           "--rel\r\nContent-Type: text/html; charset=utf-8\r\n\r\n"
           "<p>INNERMARKER</p><img src=\"cid:logo@example.org\">\r\n"
           "--rel\r\nContent-Type: image/png\r\nContent-ID: <logo@example.org>\r\n"
           "Content-Transfer-Encoding: base64\r\n\r\n" +
           std::string(kPng) +
           "\r\n--rel--\r\n"
           "--in\r\nContent-Type: application/pdf; name=\"invoice.pdf\"\r\n"
           "Content-Disposition: attachment; filename=\"invoice.pdf\"\r\n\r\n%PDF-1.4 invoice\r\n"
           "--in\r\nContent-Type: message/rfc822\r\nContent-Disposition: attachment\r\n\r\n"
           "From: Dora <dora@example.org>\r\nSubject: The first word\r\n\r\nDEEPERMARKER\r\n"
           "--in--\r\n";
}

std::string Outer(const std::string& attached) {
    return "From: Bert <bert@example.org>\r\nTo: Anna <anna@example.org>\r\n"
           "Subject: Fwd: Invoice March\r\nMIME-Version: 1.0\r\n"
           "Content-Type: multipart/mixed; boundary=\"out\"\r\n\r\n"
           "--out\r\nContent-Type: text/plain\r\n\r\nSee the attached mail.\r\n"
           "--out\r\nContent-Type: message/rfc822\r\n"
           "Content-Disposition: attachment; filename=\"forwarded.eml\"\r\n\r\n" +
           attached + "\r\n--out--\r\n";
}

class AttachedMessageTest : public ::testing::Test {
  protected:
    vtest::TempDir dir{"attmsg"};
    std::string temp = dir / "temp";
    JobQueues jobs;
    AttachmentLists lists;
    Options options;
    vtest::RecordingSink sink;
    std::unique_ptr<JobCreator> creator;
    vellora::mail::GMimeMailMessage message;

    void SetUp() override {
        vellora::SetAppFolderForTesting(dir.path());
        modJob::ResetForTesting();
        fs::create_directories(temp);
        for (Family f : kStoredFamilies) lists.Of(f) = {BuiltInPattern(f, true)};
        creator = std::make_unique<JobCreator>(jobs, lists, options, sink, dir.path(), temp);
    }
    void TearDown() override {
        modJob::ResetForTesting();
        vellora::SetAppFolderForTesting("");
    }
    static std::string Document(const JobPtr& job) {
        const auto at = job->JobDoc.find('@');
        return job->JobDoc.substr(at + 2, job->JobDoc.size() - at - 3);
    }
    std::vector<JobPtr> PageJobs() {
        std::vector<JobPtr> out;
        for (const JobPtr& j : jobs.queue.Items())
            if (j->CmdLine.find("/webbin ") != std::string::npos) out.push_back(j);
        return out;
    }
};

TEST_F(AttachedMessageTest, AnAttachedMessageIsPrintedAsAPageOfItsOwnAndItsAttachmentsFollow) {
    message.Parse(Outer(Inner()));
    ASSERT_EQ(message.AttachmentCount(), 1);
    creator->AttachmentStep(message, "Laser");
    EXPECT_TRUE(sink.mail.empty()) << sink.mail.front();

    const auto pages = PageJobs();
    ASSERT_EQ(pages.size(), 2u) << jobs.queue.size() << " jobs";
    const std::string page = vtest::ReadFile(Document(pages[0]));
    // Built like a message's page: its own header lines and body.
    EXPECT_NE(page.find("Invoice March"), std::string::npos);
    EXPECT_NE(page.find("clara@example.org"), std::string::npos);
    EXPECT_NE(page.find("INNERMARKER"), std::string::npos);
    EXPECT_EQ(page.find("See the attached mail."), std::string::npos);
    // Its inline picture lies beside it and the page points at it.
    EXPECT_EQ(page.find("cid:"), std::string::npos);
    int pictures = 0;
    for (const auto& name : vtest::ListDir(temp))
        pictures += name.find(mt::kInlinePartInfix.str()) != std::string::npos;
    EXPECT_EQ(pictures, 1);
    // The message attached to the attached message, at the next level.
    EXPECT_NE(vtest::ReadFile(Document(pages[1])).find("DEEPERMARKER"), std::string::npos);

    std::vector<std::string> pdfs;
    for (const JobPtr& j : jobs.queue.Items()) {
        EXPECT_TRUE(j->isAtt);
        EXPECT_EQ(j->Subject, "Fwd: Invoice March");
        EXPECT_EQ(j->Printer, "Laser");
        if (j->CmdLine.find("/docuvan ") != std::string::npos) pdfs.push_back(j->DocName);
    }
    EXPECT_EQ(pdfs, std::vector<std::string>{"invoice.pdf"});
    EXPECT_EQ(jobs.queue.size(), 3u);
}

TEST_F(AttachedMessageTest, AHostileNestOfMessagesStaysAHandfulOfJobs) {
    std::string nest = "Subject: bottom\r\n\r\nBOTTOM\r\n";
    for (int level = 0; level < 60; ++level)
        nest = "Subject: level " + std::to_string(level) +
               "\r\nContent-Type: message/rfc822\r\n\r\n" + nest;
    message.Parse(Outer(nest));
    creator->AttachmentStep(message, "Laser");
    EXPECT_GE(PageJobs().size(), 2u);
    EXPECT_LE(jobs.queue.size(), 8u);
    EXPECT_LE(vtest::ListDir(temp).size(), 8u);
}

}  // namespace
