// The demo: the whole system on this machine with sample mails, and Vellora's window (or,
// without a display, Vellora offscreen). Printed documents are copied, as they arrive, into
// an output folder to look at. Everything started here stops when Vellora closes, or on
// Ctrl+C; every process is ended by its own process id.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <set>
#include <thread>

#include "tests/e2e/Stage.h"
#include "tests/support/Smtp.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) {
    g_stop = 1;
}

void AddSampleMails(e2e::Stage& stage, const e2e::SampleDocs& d) {
    using e2e::MimeMail;
    stage.AddMail(MimeMail("Welcome to Vellora",
                           "Hello!\r\n\r\nThis plain-text message was fetched from a private "
                           "mailbox server and printed on the printer \"Office\".\r\n",
                           "", {}));
    stage.AddMail(MimeMail(
        "A message with a picture", "",
        "<html><body><h2>An HTML message</h2><p>The picture below is part of the message "
        "itself (an inline image).</p><img src=\"cid:pic@demo\" width=\"320\"></body></html>",
        {{"picture.jpg", "image/jpeg", d.jpeg, "pic@demo"}}));
    stage.AddMail(MimeMail("[back] Documents for the back office",
                           "A rule sends every message whose subject contains [back] to the "
                           "printer \"Backoffice\", with its attachments.\r\n",
                           "",
                           {{"report.pdf", "application/pdf", d.pdf, ""},
                            {"photo.jpg", "image/jpeg", d.jpeg, ""},
                            {"letter.docx",
                             "application/vnd.openxmlformats-officedocument.wordprocessingml."
                             "document",
                             d.docx, ""}}));
}

void CopyNewPrints(e2e::Stage& stage, const std::string& out, std::set<std::string>& seen) {
    for (const std::string& printer : {stage.config().office, stage.config().back}) {
        for (const std::string& file : stage.cups().PrintedFiles(printer)) {
            if (!seen.insert(file).second) continue;
            const std::string folder = out + "/" + printer;
            fs::create_directories(folder);
            const std::string to = folder + "/" + fs::path(file).filename().string();
            std::error_code ec;
            fs::copy_file(file, to, fs::copy_options::overwrite_existing, ec);
            std::cout << "printed on " << printer << ": " << to << std::endl;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string out = fs::absolute(argc > 1 ? argv[1] : "demo-output").string();
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &sa, nullptr);
    try {
        std::cout << "Preparing sample documents ..." << std::endl;
        vtest::TempDir work("demo-docs");
        const e2e::SampleDocs docs = e2e::MakeSampleDocs(work.path());

        std::cout << "Starting the mail server, CUPS, the SMTP sink and both services ..."
                  << std::endl;
        vtest::SmtpServer smtp;
        vtest::NotifyService::Options notifyOptions;
        notifyOptions.smtpUrl = smtp.url();
        // The service sends to the demo's own address alone, as a real one should.
        notifyOptions.owner = "anna@example.org";
        notifyOptions.allow = "anna@example.org";
        notifyOptions.mailsPerMinute = 30;
        vtest::NotifyService notify(notifyOptions);
        e2e::Config config;
        config.notifyUrl = notify.url();
        config.notifyEmail = "anna@example.org";
        config.notifyOnError = true;
        e2e::Stage stage(config);
        AddSampleMails(stage, docs);
        stage.WriteSettings();

        const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
        stage.StartVellora(/*tickMs=*/0, /*checkSeconds=*/0, /*offscreen=*/!display);
        std::cout << "\nVellora is running (pid " << stage.VelloraPid() << ") in " << stage.folder()
                  << "\n  mailbox: IMAP 127.0.0.1:" << stage.dovecot().imapPort()
                  << ", user anna, password anna-pw\n  printers: Office (default), Backoffice"
                  << "\n  printed PDFs are copied to " << out << "\n"
                  << (display ? "Close Vellora's window to end the demo."
                              : "No display: Vellora runs offscreen. Press Ctrl+C to end.")
                  << "\nA fourth message arrives after about 70 seconds; Vellora checks every "
                     "minute.\n"
                  << std::endl;
        std::set<std::string> seen;
        const auto started = std::chrono::steady_clock::now();
        bool lateSent = false;
        while (!g_stop && stage.VelloraRunning()) {
            CopyNewPrints(stage, out, seen);
            if (!lateSent && std::chrono::steady_clock::now() - started > 70s) {
                stage.AddMail(e2e::MimeMail("A late message",
                                            "This one arrived while Vellora was running; the "
                                            "next check found it.\r\n",
                                            "", {}));
                lateSent = true;
                std::cout << "A new message was delivered to the mailbox." << std::endl;
            }
            std::this_thread::sleep_for(500ms);
        }
        CopyNewPrints(stage, out, seen);
        const std::size_t mails = smtp.messages().size();
        if (mails) std::cout << mails << " notification e-mail(s) reached the SMTP sink.\n";
        std::cout << "Stopping everything the demo started ..." << std::endl;
        return 0;  // the stage, services and servers stop here, each by its process id
    } catch (const std::exception& e) {
        std::cerr << "demo: " << e.what() << std::endl;
        return 1;
    }
}
