// The attachment step and job creation: saved names, helper choice, command lines, the
// names without a usable extension, unhandled types, refused duplicates, and attached messages
// (their own page and attachments; a hostile nest stays a handful of jobs).
#include <gtest/gtest.h>

#include <filesystem>

#include "main/core/JobCreation.h"
#include "main/core/MainTexts.h"
#include "platform/mail/GMimeMailMessage.h"
#include "shared/AppFolder.h"
#include "shared/modJob.h"
#include "tests/rules/RecordingSink.h"
#include "tests/rules/TestMessage.h"
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

// The file a job prints.
std::string Document(const JobPtr& job) {
    const auto at = job->JobDoc.find('@');
    return job->JobDoc.substr(at + 2, job->JobDoc.size() - at - 3);
}

std::vector<JobPtr> PageJobs(const JobQueues& jobs) {
    std::vector<JobPtr> out;
    for (const JobPtr& j : jobs.queue.Items())
        if (j->CmdLine.find("/webbin ") != std::string::npos) out.push_back(j);
    return out;
}

class AttachmentStepTest : public ::testing::Test {
  protected:
    vtest::TempDir dir{"attstep"};
    std::string temp = dir / "temp";
    JobQueues jobs;
    AttachmentLists lists;
    Options options;
    vtest::RecordingSink sink;
    std::unique_ptr<JobCreator> creator;
    vtest::TestMessage msg;

    void SetUp() override {
        vellora::SetAppFolderForTesting(dir.path());
        modJob::ResetForTesting();
        fs::create_directories(temp);
        for (Family f : kStoredFamilies) lists.Of(f) = {BuiltInPattern(f, true)};
        creator = std::make_unique<JobCreator>(jobs, lists, options, sink, dir.path(), temp);
        msg.subject = "Monthly report";
    }
    void TearDown() override {
        modJob::ResetForTesting();
        vellora::SetAppFolderForTesting("");
    }
    JobPtr OnlyJob() {
        EXPECT_EQ(jobs.queue.size(), 1u);
        return jobs.queue.empty() ? nullptr : jobs.queue.Items().front();
    }
};

TEST_F(AttachmentStepTest, DottedPdfNameIsSavedUnderTheJobIdAndGoesToDocuvan) {
    msg.attachments = {{"report.final.PDF", "%PDF-1.4"}};
    creator->AttachmentStep(msg, "Laser");
    JobPtr job = OnlyJob();
    ASSERT_TRUE(job);
    const std::string path = temp + "/" + job->JobID + ".PDF";
    ASSERT_EQ(msg.saved.size(), 1u);
    EXPECT_EQ(msg.saved[0].first, path);
    EXPECT_EQ(vtest::ReadFile(path), "%PDF-1.4");
    EXPECT_EQ(job->JobDoc, job->JobID + "@\"" + path + "\"");
    EXPECT_EQ(job->CmdLine, dir.path() + "/docuvan " + job->JobDoc);
    EXPECT_EQ(job->DocName, "report.final.PDF");
    EXPECT_EQ(job->Subject, "Monthly report");
    EXPECT_EQ(job->Printer, "Laser");
    EXPECT_TRUE(job->isAtt);
    EXPECT_EQ(job->Status, modJob::Status().queued);
    EXPECT_EQ(modJob::ReadJobRecord(job->JobID), modJob::Status().awaiting);
}

TEST_F(AttachmentStepTest, PictureGetsPictorWithTheExtensionInItsOwnCase) {
    msg.attachments = {{"Holiday.JpG", "jpeg"}};
    creator->AttachmentStep(msg, "P");
    JobPtr job = OnlyJob();
    ASSERT_TRUE(job);
    EXPECT_EQ(job->CmdLine, dir.path() + "/pictor " + job->JobID + "@\"" + temp + "/" + job->JobID +
                                ".JpG\" JpG");
}

TEST_F(AttachmentStepTest, HelperChoiceFollowsTheFamilyOrder) {
    EXPECT_EQ(creator->HelperFor("docx"), "scriblet");
    EXPECT_EQ(creator->HelperFor("odt"), "scriblet");
    EXPECT_EQ(creator->HelperFor("xlsx"), "gridlet");
    EXPECT_EQ(creator->HelperFor("odp"), "slidor");
    EXPECT_EQ(creator->HelperFor("htm"), "webbin");
    EXPECT_EQ(creator->HelperFor("pdf"), "docuvan");
    EXPECT_EQ(creator->HelperFor("png"), "pictor");
    EXPECT_EQ(creator->HelperFor("zip"), "");
    // An earlier family wins even over PDF; a broken user pattern matches nothing.
    lists.Of(Family::Html).push_back("(");
    lists.Of(Family::Html).push_back("^PDF$");
    EXPECT_EQ(creator->HelperFor("pdf"), "webbin");
    // Patterns see the extension in capitals, so lower-case letters never match.
    lists.Of(Family::Word).push_back("zip");
    EXPECT_EQ(creator->HelperFor("zip"), "");
}

TEST_F(AttachmentStepTest, UnhandledExtensionWritesTheMailLineAndQueuesNothing) {
    msg.attachments = {{"archive.zip", "PK"}};
    creator->AttachmentStep(msg, "P");
    EXPECT_TRUE(jobs.queue.empty());
    ASSERT_EQ(sink.mail.size(), 1u);
    EXPECT_EQ(sink.mail[0].rfind(mt::kMailUnhandledFormat.str(), 0), 0u);
    EXPECT_NE(sink.mail[0].find(".zip\""), std::string::npos);
    EXPECT_TRUE(sink.notifications.empty());
    options.notifyOnError = true;
    creator->AttachmentStep(msg, "P");
    ASSERT_EQ(sink.notifications.size(), 1u);
    EXPECT_EQ(sink.notifications[0].kind, mt::kNotifyKindError.str());
    EXPECT_EQ(sink.notifications[0].subject, mt::kTitleUnhandledDoc.str());
    EXPECT_NE(sink.notifications[0].body.find(".zip\"\r\nMonthly report"), std::string::npos);
}

TEST_F(AttachmentStepTest, NameWithoutDotGivesErrorPageNotificationOrNothing) {
    msg.subject = "Scan <1>";
    msg.attachments = {{"README", "text"}};
    creator->AttachmentStep(msg, "P");  // neither option: nothing
    EXPECT_TRUE(jobs.queue.empty());
    EXPECT_TRUE(sink.notifications.empty());
    EXPECT_TRUE(msg.saved.empty());

    options.notifyOnError = true;
    creator->AttachmentStep(msg, "P");
    EXPECT_TRUE(jobs.queue.empty());
    ASSERT_EQ(sink.notifications.size(), 1u);
    EXPECT_EQ(sink.notifications[0].subject, mt::kTitleAttachmentError.str());
    EXPECT_NE(sink.notifications[0].body.find("README"), std::string::npos);
    EXPECT_NE(sink.notifications[0].body.find("Scan <1>"), std::string::npos);

    options.printAttErrorPage = true;  // the error page wins over the notification
    creator->AttachmentStep(msg, "P");
    JobPtr job = OnlyJob();
    ASSERT_TRUE(job);
    EXPECT_EQ(sink.notifications.size(), 1u);
    EXPECT_FALSE(job->isAtt);
    EXPECT_EQ(job->DocName, "");
    EXPECT_EQ(job->CmdLine.rfind(dir.path() + "/webbin ", 0), 0u);
    const std::string page = vtest::ReadFile(temp + "/" + job->JobID + mt::kErrorPageSuffix.str());
    EXPECT_NE(page.find("<b>README</b>"), std::string::npos);
    EXPECT_NE(page.find("Scan &lt;1&gt;"), std::string::npos);
    EXPECT_EQ(page.find("%ATTNAME%"), std::string::npos);
}

TEST_F(AttachmentStepTest, UnsafeExtensionsStayInsideTheTempFolder) {
    options.printAttErrorPage = true;
    msg.attachments = {{"x./../../../.bashrc", "evil"},
                       {"a./../../evil", "evil"},
                       {"b.p/d/f", "evil"},
                       {"c.averyveryverylongextension", "evil"},
                       {"d.", "evil"}};
    creator->AttachmentStep(msg, "P");
    for (const auto& [path, index] : msg.saved) {
        EXPECT_EQ(fs::path(path).parent_path(), fs::path(temp)) << path;
        EXPECT_EQ(fs::weakly_canonical(path).parent_path(), fs::weakly_canonical(temp));
    }
    // Only ".bashrc" is a safe extension (and no helper prints it); the rest get error pages.
    EXPECT_EQ(msg.saved.size(), 1u);
    EXPECT_EQ(jobs.queue.size(), 4u);
    for (const std::string& f : vtest::ListDir(dir.path()))
        EXPECT_TRUE(f == "temp" || f == "vellora.ini" || f.rfind("vellora.ini", 0) == 0) << f;
    EXPECT_FALSE(fs::exists(dir / "evil"));
    EXPECT_EQ(SafeExtension("x.Pdf"), ".Pdf");
    EXPECT_EQ(SafeExtension("x.tar.gz"), ".gz");
    EXPECT_EQ(SafeExtension("x.j p g"), "");
    EXPECT_EQ(SafeExtension("x.p\xC3\xA4"), "");
}

TEST_F(AttachmentStepTest, DuplicateJobIdIsRefusedAndLoggedWithoutAStoreValue) {
    const std::string path = temp + "/1.pdf";
    ASSERT_TRUE(creator->CreateJobForFile(path, "77", "", false, "P", "s"));
    modJob::DeleteJobRecord("77");
    EXPECT_FALSE(creator->CreateJobForFile(temp + "/2.pdf", "77", "", true, "P", "s"));
    EXPECT_EQ(jobs.queue.size(), 1u);
    EXPECT_EQ(jobs.queue.Find("77")->JobDoc, "77@\"" + path + "\"");
    EXPECT_EQ(modJob::ReadJobRecord("77"), "Bad Key");
    EXPECT_NE(vtest::ReadFile(dir / "vellora.log").find(mt::kLogCreateJob.str()),
              std::string::npos);
}

TEST_F(AttachmentStepTest, BodyStepQueuesTheBodyPageForWebbin) {
    msg.body = "hello";
    creator->BodyStep(msg, 2, "41", "P");
    JobPtr job = OnlyJob();
    ASSERT_TRUE(job);
    EXPECT_EQ(job->JobDoc, job->JobID + "@\"" + temp + "/a2_41.html\"");
    EXPECT_EQ(job->CmdLine, dir.path() + "/webbin " + job->JobDoc);
    EXPECT_FALSE(job->isAtt);
    EXPECT_NE(vtest::ReadFile(temp + "/a2_41.html").find("hello"), std::string::npos);
}

// One message cannot fill the queue: a 200-attachment message queues exactly the cap, says so
// once (one error line, one notification when error notifications are on) and saves nothing
// past it.
TEST_F(AttachmentStepTest, MessageWithMoreAttachmentsThanTheCapQueuesExactlyTheCap) {
    for (int i = 1; i <= 200; ++i)
        msg.attachments.push_back({"page" + std::to_string(i) + ".pdf", "%PDF-1.4"});
    const struct {
        int cap;
        bool notify;
        std::size_t queued;
    } cases[] = {{kDefaultAttachmentCap, true, 50}, {7, false, 7}, {200, true, 200}};
    for (const auto& c : cases) {
        jobs = JobQueues{};
        sink = vtest::RecordingSink{};
        msg.saved.clear();
        options.attachmentCap = c.cap;
        options.notifyOnError = c.notify;
        creator->AttachmentStep(msg, "P");
        EXPECT_EQ(jobs.queue.size(), c.queued) << c.cap;
        EXPECT_EQ(msg.saved.size(), c.queued) << "nothing is saved past the cap";
        EXPECT_EQ(msg.saved.back().second, static_cast<int>(c.queued))
            << "the first ones, in order";
        const bool over = c.queued < msg.attachments.size();
        ASSERT_EQ(sink.errors.size(), over ? 1u : 0u) << c.cap;
        EXPECT_EQ(sink.notifications.size(), over && c.notify ? 1u : 0u) << c.cap;
        if (!over) continue;
        EXPECT_NE(sink.errors[0].find("more than " + std::to_string(c.cap)), std::string::npos)
            << sink.errors[0];
        EXPECT_NE(sink.errors[0].find(msg.subject), std::string::npos);
        if (c.notify) {
            EXPECT_EQ(sink.notifications[0].kind, mt::kNotifyKindError.str());
        }
    }
}

// A message attached to a message (a mail forwarded as attachment), through the real parser.
TEST_F(AttachmentStepTest, AnAttachedMessageIsPrintedAsAPageOfItsOwnAndItsAttachmentsFollow) {
    vellora::mail::GMimeMailMessage message;
    message.Parse(Outer(Inner()));
    ASSERT_EQ(message.AttachmentCount(), 1);
    creator->AttachmentStep(message, "Laser");
    EXPECT_TRUE(sink.mail.empty()) << sink.mail.front();

    const auto pages = PageJobs(jobs);
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

TEST_F(AttachmentStepTest, AHostileNestOfMessagesStaysAHandfulOfJobs) {
    std::string nest = "Subject: bottom\r\n\r\nBOTTOM\r\n";
    for (int level = 0; level < 60; ++level)
        nest = "Subject: level " + std::to_string(level) +
               "\r\nContent-Type: message/rfc822\r\n\r\n" + nest;
    vellora::mail::GMimeMailMessage message;
    message.Parse(Outer(nest));
    creator->AttachmentStep(message, "Laser");
    EXPECT_GE(PageJobs(jobs).size(), 2u);
    EXPECT_LE(jobs.queue.size(), 8u);
    EXPECT_LE(vtest::ListDir(temp).size(), 8u);
}

// Attachments of attached messages count against the same cap: a forwarded mail cannot carry
// more jobs in than the mail itself may.
TEST_F(AttachmentStepTest, AttachedMessagesShareTheCapOfTheMessageThatArrived) {
    vellora::mail::GMimeMailMessage message;
    message.Parse(Outer(Inner()));  // three jobs without a cap: two pages and a PDF
    options.attachmentCap = 2;
    creator->AttachmentStep(message, "Laser");
    EXPECT_EQ(jobs.queue.size(), 2u);
    ASSERT_EQ(sink.errors.size(), 1u);
    EXPECT_NE(sink.errors[0].find("Fwd: Invoice March"), std::string::npos) << sink.errors[0];
}

TEST(AttachmentCap, StoredValuesOutsideItsRangeGiveTheDefault) {
    EXPECT_EQ(AttachmentCapFrom(-1), kDefaultAttachmentCap);  // absent
    EXPECT_EQ(AttachmentCapFrom(0), kDefaultAttachmentCap);
    EXPECT_EQ(AttachmentCapFrom(1), 1);
    EXPECT_EQ(AttachmentCapFrom(kMaxAttachmentCap), kMaxAttachmentCap);
    EXPECT_EQ(AttachmentCapFrom(kMaxAttachmentCap + 1), kDefaultAttachmentCap);
}

}  // namespace
