// A private CUPS server for tests: its own cupsd in a temporary folder, reached through a
// unix socket, with queues whose printed documents land as files the test can read back.
//
//   vtest::Cups cups;                      // starts cupsd (throws when it cannot)
//   cups.AddPrinter("Office");             // a queue with an A4 PDF device
//   cups.AddPrinter("Letter", "Letter");   // ... with Letter as its default paper
//   cups.SetServerDefault("Office");       // the server-wide default destination
//   cups.ApplyToThisProcess();             // libcups in this test process uses it
//   vtest::Process p(argv, cups.ProcessOptions());   // a child that prints through it
//   cups.WaitForPrinted("Office", 1, 10s); // the first job of that queue has landed
//   auto files = cups.PrintedFiles("Office");
//
// Every queue takes a PDF, applies page ranges, fit-to-page and the paper size (the
// pdftopdf filter) and hands the resulting PDF to a backend of our own, which writes each
// job to <printed folder>/job-<id>.pdf, renamed into place only when it is complete.
//
// libcups keeps the server root and home of its first use in a process: a test program that
// talks to CUPS itself should start one Cups for all its tests (for example in a test
// environment or SetUpTestSuite). Children get the settings through ProcessOptions().
// The destructor stops cupsd by its process id and removes the folder.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace vtest {

class Cups {
  public:
    Cups();
    ~Cups();
    Cups(const Cups&) = delete;
    Cups& operator=(const Cups&) = delete;

    // Adds an enabled queue that accepts jobs. pageSize is "A4" or "Letter".
    void AddPrinter(const std::string& name, const std::string& pageSize = "A4");
    // Makes `name` the server's default destination (what a user without lpoptions sees).
    void SetServerDefault(const std::string& name);
    // Stops a queue from accepting jobs, so CUPS refuses what is sent to it.
    void RejectJobs(const std::string& name);

    // CUPS_SERVER, CUPS_SERVERROOT and HOME (a private home, so no lpoptions of the real
    // user are read or written) for child processes.
    std::map<std::string, std::string> Env() const;
    // Env() plus the removal of LPDEST and PRINTER, which would override the default.
    Process::Options ProcessOptions() const;
    // Sets the same environment in this process and points libcups at the server.
    void ApplyToThisProcess() const;

    // Complete printed documents of a queue, full paths in job order.
    std::vector<std::string> PrintedFiles(const std::string& printer) const;
    // True once the queue has at least n complete documents.
    bool WaitForPrinted(const std::string& printer, std::size_t n,
                        std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;

    const std::string& Folder() const { return dir_->path(); }
    std::string Socket() const { return dir_->path() + "/cups.sock"; }
    std::string Home() const { return dir_->path() + "/home"; }
    std::string PrintedFolder(const std::string& printer) const;
    // Runs a CUPS command-line tool (lpstat, lpadmin, ...) against this server.
    int Tool(const std::vector<std::string>& argv, std::string* output = nullptr) const;

  private:
    void WriteConfiguration();
    void PrepareServerBin();
    std::unique_ptr<TempDir> dir_;
    Process cupsd_;
};

}  // namespace vtest
