// End-to-end figures of the real programs on this machine:
//   body     mail arrival to printed document for a body job, in seconds after the check
//            that sees the mail (median of 3)
//   picture  the same for a picture attachment
//   burst    jobs settled per minute for one mail with 30 attachments
//   mailbox  the check of an unchanged 10,000-message IMAP mailbox (median of 5)
// Usage: bench_e2e [body|picture|burst|mailbox]...   (none: all). Runs as root (Dovecot, cupsd).
// The main program runs with its real five-second timer; VELLORA_TEST_CHECK_SECONDS makes
// every tick a check, so the figures do not wait for a whole check interval.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "bench/common/Stats.h"
#include "main/core/AccountMailCheck.h"
#include "main/core/Accounts.h"
#include "platform/mail/MailFactory.h"
#include "shared/AppFolder.h"
#include "tests/accounts/Fakes.h"
#include "tests/e2e/Stage.h"
#include "tests/support/Pdf.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

using vbench::Median;

// Waits for the check that reports `lines` "1 new message(s)" lines; returns when it saw it.
Clock::time_point SeenByCheck(e2e::Stage& s, int lines) {
    vtest::WaitFor([&] { return Count(s.StatusFile(), ": 1 new message(s)") >= lines; }, 120s, 5ms);
    return Clock::now();
}

void Latency(bool picture) {
    e2e::Config config;
    config.printBodies = !picture;
    config.checkAtStartup = true;
    e2e::Stage stage(config, /*withConvert=*/true);
    stage.WriteSettings();
    vtest::TempDir work("bench-docs");
    std::string jpeg;
    if (picture) {
        vtest::Run({"/usr/bin/convert", "-size", "3000x2000", "plasma:", work / "p.jpg"});
        jpeg = vtest::ReadFile(work / "p.jpg");
    }
    stage.StartVellora(/*tickMs=*/0, /*checkSeconds=*/1);
    vtest::WaitFor([&] { return Count(stage.StatusFile(), " new message(s)") >= 1; }, 60s);
    std::vector<double> times;
    for (int i = 1; i <= 3; ++i) {
        const std::string subject = "bench " + std::to_string(i);
        stage.AddMail(picture
                          ? e2e::MimeMail(subject, "", "", {{"photo.jpg", "image/jpeg", jpeg, ""}})
                          : e2e::MimeMail(subject, "A body to print.", "", {}));
        const Clock::time_point seen = SeenByCheck(stage, i);
        const bool ok = vtest::WaitFor(
            [&] { return stage.cups().PrintedFiles(config.office).size() >= std::size_t(i); }, 120s,
            5ms);
        const double t = Seconds(Clock::now() - seen);
        if (!ok) {
            std::printf("%s job %d: not printed\n%s\n", picture ? "picture" : "body", i,
                        stage.StatusFile().c_str());
            return;
        }
        times.push_back(t);
        // The next mail waits until this job is settled (the helper's own ending included).
        vtest::WaitFor([&] { return stage.StoredJobs() == 0; }, 120s, 20ms);
        std::this_thread::sleep_for(6s);
    }
    std::printf(
        "%s job (%s): %.2f s from the check that sees the mail to the printed "
        "document (median of 3; runs %.2f %.2f %.2f)\n",
        picture ? "picture" : "body", picture ? "6-megapixel JPEG attachment" : "plain-text body",
        Median(times), times[0], times[1], times[2]);
}

void Burst(int tickMs) {
    e2e::Config config;
    config.printBodies = false;
    e2e::Stage stage(config, true);
    stage.WriteSettings();
    vtest::TempDir work("bench-burst");
    vtest::Run({"/usr/bin/convert", "-size", "800x600", "xc:white", work / "p.jpg"});
    const std::string jpeg = vtest::ReadFile(work / "p.jpg");
    const std::string pdf = vtest::MakePdf({"burst page"});
    std::vector<e2e::Attachment> parts;
    for (int i = 0; i < 30; ++i) {
        const std::string n = std::to_string(i);
        if (i % 3 == 0) parts.push_back({"doc" + n + ".pdf", "application/pdf", pdf, ""});
        if (i % 3 == 1) parts.push_back({"pic" + n + ".jpg", "image/jpeg", jpeg, ""});
        if (i % 3 == 2)
            parts.push_back({"page" + n + ".html", "text/html", "<p>page " + n + "</p>", ""});
    }
    stage.AddMail(e2e::MimeMail("burst", "thirty attachments", "", parts));
    stage.StartVellora(tickMs, 1);
    const Clock::time_point seen = SeenByCheck(stage, 1);
    const bool ok = vtest::WaitFor(
        [&] {
            return stage.cups().PrintedFiles(config.office).size() >= 30 && stage.StoredJobs() == 0;
        },
        900s, 20ms);
    const double t = Seconds(Clock::now() - seen);
    if (!ok) {
        std::printf("burst: only %zu of 30 printed\n",
                    stage.cups().PrintedFiles(config.office).size());
        return;
    }
    std::printf(
        "burst of 30 attachments (10 PDF, 10 JPEG, 10 HTML), timer tick %d ms: settled in "
        "%.1f s = %.1f jobs per minute\n",
        tickMs > 0 ? tickMs : 5000, t, 30 / t * 60);
}

void Mailbox() {
    vtest::Dovecot dovecot;
    dovecot.AddUser("big", "big-pw");
    for (int i = 1; i <= 10000; ++i)
        dovecot.AddMessage("big", "From: a@example.org\r\nSubject: m" + std::to_string(i) +
                                      "\r\nMessage-ID: <m" + std::to_string(i) +
                                      "@example.org>\r\n\r\nbody " + std::to_string(i) + "\r\n");
    vtest::TempDir dir("bench-mailbox");
    vellora::SetAppFolderForTesting(dir.path());
    const std::string path = dir / "vellora.ini";
    vellora::core::AccountRecord a;
    a.id = 1;
    a.imap = true;
    a.server = "127.0.0.1";
    a.port = dovecot.imapPort();
    a.user = "big";
    a.password = "big-pw";
    a.lastId = 10000;  // everything seen: the mailbox is unchanged
    vellora::core::AccountArray accounts{a};
    vellora::core::SaveAccounts(path, accounts);
    auto session = vellora::mail::CreateMailSession();
    auto message = vellora::mail::CreateMailMessage();
    vtest::RecordingHandling handling;
    vtest::RecordingStatus status;
    vtest::HookPump pump;
    vellora::core::Options options;
    vellora::core::AccountMailCheck check(
        {*session, *message, handling, status, pump, options, accounts, path});
    check.RunMailCheck();  // the first login gives the messages their UIDs
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        const auto t0 = Clock::now();
        check.RunMailCheck();
        times.push_back(Seconds(Clock::now() - t0));
    }
    std::printf(
        "check of an unchanged 10,000-message IMAP mailbox: %.3f s (median of 5; runs %.3f %.3f "
        "%.3f %.3f %.3f; messages handled: %zu; last report: %s)\n",
        Median(times), times[0], times[1], times[2], times[3], times[4], handling.matched.size(),
        status.mail.empty() ? "none" : status.mail.back().c_str());
    vellora::SetAppFolderForTesting("");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> what(argv + 1, argv + argc);
    if (what.empty()) what = {"body", "picture", "burst", "mailbox"};
    try {
        for (const std::string& w : what) {
            if (w == "body") Latency(false);
            if (w == "picture") Latency(true);
            if (w == "burst") {
                Burst(0);
                Burst(500);
            }
            if (w == "mailbox") Mailbox();
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_e2e: %s\n", e.what());
        return 1;
    }
    return 0;
}
