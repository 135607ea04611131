// The whole system on one machine, as the end-to-end test, the benchmarks and the demo use
// it: a private Dovecot with a user, a private cupsd with PDF-writing queues, the conversion
// service, a fresh installation folder holding the built programs and a settings file that
// needs no wizard, and `vellora` itself started in that folder. Everything started here is
// stopped by its process id when the objects go.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/support/Cups.h"
#include "tests/support/Dovecot.h"
#include "tests/support/Services.h"
#include "tests/support/TestSupport.h"

namespace e2e {

struct Attachment {
    std::string name;  // file name as the mail gives it (may be empty)
    std::string type;  // MIME type
    std::string bytes;
    std::string contentId;  // set: an inline part the HTML body refers to as cid:
};

// A MIME message from its parts (base64 for every attachment).
std::string MimeMail(const std::string& subject, const std::string& text, const std::string& html,
                     const std::vector<Attachment>& attachments);

// Sample documents, made on the spot (LibreOffice converts the office ones).
struct SampleDocs {
    std::string pdf, jpeg, docx, xlsx, pptx, html;  // bytes
};
SampleDocs MakeSampleDocs(const std::string& workFolder);

struct Config {
    std::string user = "anna", password = "anna-pw";
    std::string office = "Office", back = "Backoffice";  // the two printers
    std::string backSubject = "[back]";  // subjects with this go to the second printer
    bool printBodies = true;             // of the messages the default rule takes
    bool checkAtStartup = true;
    bool logStatus = true;
    bool office2007 = true;    // DOCX, XLSX and PPTX are office documents too
    bool usePdfViewer = true;  // PDFs printed as they are, not as pictures from the service
    int intervalMinutes = 1;
    std::string convertUrl, notifyUrl, notifyEmail;
    bool notifyOnError = false, notifyOnSuccess = false;
    vtest::Dovecot::Options dovecot;  // e.g. OAuth2 logins through a test authorization server
};

class Stage {
  public:
    // Starts Dovecot and cupsd with the two printers; the services only when asked.
    explicit Stage(Config config = {}, bool withConvert = true);
    ~Stage();

    vtest::Dovecot& dovecot() { return *dovecot_; }
    vtest::Cups& cups() { return *cups_; }
    const Config& config() const { return config_; }
    const std::string& folder() const { return install_->path(); }  // the installation folder
    std::string settings() const { return install_->path() + "/vellora.ini"; }

    void AddMail(const std::string& raw) { dovecot_->AddMessage(config_.user, raw); }
    // Writes accounts, rules, printers and options into the installation folder.
    void WriteSettings();

    // The environment vellora and its helpers need (CUPS, folder, offscreen, test timing).
    vtest::Process::Options VelloraOptions(int tickMs, int checkSeconds) const;
    // Starts vellora in the folder; its output goes to vellora.out there.
    void StartVellora(int tickMs = 500, int checkSeconds = 0, bool offscreen = true);
    void StopVellora();
    bool VelloraRunning() { return vellora_ && vellora_->running(); }
    int WaitVellora(std::chrono::milliseconds timeout) { return vellora_->wait(timeout); }
    pid_t VelloraPid() const { return vellora_ ? vellora_->pid() : -1; }

    // Text of today's status file (empty when there is none yet).
    std::string StatusFile() const;
    std::string Log() const;  // the shared log file
    // Jobs still in the job store.
    int StoredJobs() const;

  private:
    void MakeInstallation();

    Config config_;
    std::unique_ptr<vtest::Dovecot> dovecot_;
    std::unique_ptr<vtest::Cups> cups_;
    std::unique_ptr<vtest::ConvertService> convert_;
    std::unique_ptr<vtest::TempDir> install_;
    std::unique_ptr<vtest::Process> vellora_;
};

}  // namespace e2e
