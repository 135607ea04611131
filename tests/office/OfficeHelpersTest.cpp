// Scriblet, Gridlet and Slidor as the dispatcher runs them, against the real LibreOffice and
// a private CUPS: what they print, how every bad document ends, and that nothing is left
// running or lying about afterwards.
#include <gtest/gtest.h>

#include <filesystem>

#include "shared/basINI_IO.h"
#include "tests/office/HelperRunner.h"
#include "tests/office/OfficeTestDocs.h"
#include "tests/support/Cups.h"
#include "tests/support/Pdf.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using vtest::helpers::HelperResult;
using vtest::helpers::HelperRunner;

constexpr const char* kPrinter = "Office";

class OfficeHelpers : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        cups_ = new vtest::Cups;
        cups_->AddPrinter(kPrinter);
        cups_->SetServerDefault(kPrinter);
        docs_ = new vtest::TempDir("office-docs");
        vtest::office::MakeOfficeDocuments(docs_->path());
    }
    static void TearDownTestSuite() {
        delete docs_;
        delete cups_;
    }
    void TearDown() override {
        // No office program outlives a run, and a run leaves no private folder behind.
        EXPECT_TRUE(vtest::office::ProcessesMentioning(tmp_.path()).empty());
        EXPECT_TRUE(vtest::ListDir(tmp_.path()).empty());
    }

    HelperResult Run(const std::string& helper, const std::string& path,
                     std::map<std::string, std::string> env = {}) {
        env["TMPDIR"] = tmp_.path();
        env.emplace("VELLORA_SLIDOR_PRINT_WAIT", "0");
        HelperRunner runner(*cups_, helper);
        auto result = runner.RunOn(path, env);
        log_ = runner.Log();
        return result;
    }
    // The document the run printed, or "" when nothing arrived.
    std::string Printed(std::size_t before) {
        if (!cups_->WaitForPrinted(kPrinter, before + 1, 20s)) return {};
        return cups_->PrintedFiles(kPrinter).back();
    }
    static std::size_t PrintedCount() { return cups_->PrintedFiles(kPrinter).size(); }
    static std::string Doc(const std::string& name) { return (*docs_) / name; }

    static vtest::Cups* cups_;
    static vtest::TempDir* docs_;
    vtest::TempDir tmp_{"office-tmp"};
    std::string log_;
};
vtest::Cups* OfficeHelpers::cups_ = nullptr;
vtest::TempDir* OfficeHelpers::docs_ = nullptr;

TEST_F(OfficeHelpers, EachHelperPrintsItsFamilyWithAllPages) {
    struct Case {
        std::string helper, file;
        int pages;
        std::vector<std::string> words;
    };
    const std::vector<Case> cases = {
        {"scriblet", "word.docx", 1, {"WORDMARKER"}},
        {"scriblet", "word.odt", 1, {"WORDMARKER"}},
        {"gridlet", "sheets.xlsx", 2, {"SHEETONE", "SHEETTWO"}},
        {"slidor", "slides.pptx", 3, {"SLIDEONE", "SLIDETWO", "SLIDETHREE"}},
    };
    for (const auto& c : cases) {
        const auto before = PrintedCount();
        const auto result = Run(c.helper, Doc(c.file));
        EXPECT_EQ(result.exitCode, 0) << c.file << ": " << result.record;
        EXPECT_EQ(result.record, HelperRunner::Status().done) << c.file;
        const std::string pdf = Printed(before);
        ASSERT_FALSE(pdf.empty()) << c.file;
        EXPECT_EQ(vtest::ReadPdfInfo(pdf).pages, c.pages) << c.file;
        const std::string text = vtest::PdfText(pdf);
        for (const auto& w : c.words) EXPECT_NE(text.find(w), std::string::npos) << c.file << w;
    }
}

TEST_F(OfficeHelpers, QuotedPathWithBlanksIsPrinted) {
    vtest::TempDir folder("office blank folder");
    const std::string path = folder / "my letter.docx";
    fs::copy_file(Doc("word.docx"), path);
    const auto before = PrintedCount();
    const auto result = Run("scriblet", path);
    EXPECT_EQ(result.record, HelperRunner::Status().done);
    EXPECT_NE(vtest::PdfText(Printed(before)).find("WORDMARKER"), std::string::npos);
}

TEST_F(OfficeHelpers, BadDocumentsEndInAFailureRecordWithTheReason) {
    struct Case {
        std::string file, expected;
    };
    const std::vector<Case> cases = {
        {"empty.docx", "empty (0 bytes)"},
        {"plain.docx", "not a document of its type .docx"},
        {"cut.docx", "could not convert the document"},
        {"locked.odt", "could not convert the document"},
    };
    const auto before = PrintedCount();
    for (const auto& c : cases) {
        const auto result = Run("scriblet", Doc(c.file));
        EXPECT_EQ(result.exitCode, 1) << c.file;
        EXPECT_LT(result.took, 60s) << c.file;
        ASSERT_TRUE(modJob::HasStatus(result.record, HelperRunner::Status().failed)) << c.file;
        const std::string prefix = "The word-processor document could not be printed: ";
        EXPECT_NE(result.record.find(prefix), std::string::npos) << result.record;
        EXPECT_NE(result.record.find(c.expected), std::string::npos) << result.record;
        // The log holds the same text (error text directly followed by the description).
        EXPECT_NE(log_.find(result.record.substr(HelperRunner::Status().failed.size())),
                  std::string::npos)
            << log_;
    }
    EXPECT_FALSE(cups_->WaitForPrinted(kPrinter, before + 1, 1s)) << "nothing may be printed";
}

TEST_F(OfficeHelpers, HangingOfficeProgramIsStoppedInBoundedTime) {
    const std::string stub = tmp_.path() + "-hanging-office";
    const std::string pids = tmp_.path() + "-pids";
    vtest::WriteFile(
        stub, "#!/bin/sh\necho $$ > " + pids + "\nsleep 300 &\necho $! >> " + pids + "\nwait\n");
    fs::permissions(stub, fs::perms::owner_all);
    // Unconfined (as where the sandbox cannot run), so that the stand-in can name its ids.
    const auto result = Run("gridlet", Doc("sheets.xlsx"),
                            {{"VELLORA_OFFICE_PROGRAM", stub},
                             {"VELLORA_OFFICE_TIMEOUT", "2"},
                             {"VELLORA_BWRAP", tmp_.path() + "-no-bwrap"},
                             {"VELLORA_OFFICE_CACHE", tmp_.path() + "-cache"}});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_LT(result.took, 15s);
    EXPECT_NE(result.record.find("The spreadsheet could not be printed: "), std::string::npos);
    EXPECT_NE(result.record.find("did not finish within 2 s"), std::string::npos) << result.record;
    std::istringstream list(vtest::ReadFile(pids));
    int pid = 0, count = 0;
    while (list >> pid) {
        ++count;
        EXPECT_TRUE(vtest::office::ProcessGone(pid)) << pid;
    }
    EXPECT_EQ(count, 2);
    fs::remove(stub);
    fs::remove(pids);
    fs::remove_all(tmp_.path() + "-cache");
}

TEST_F(OfficeHelpers, SlidorPausesAfterPrintingBeforeItRecordsDone) {
    Run("slidor", Doc("slides.pptx"));  // untimed: the first run of a suite prepares the profile
    const auto quick = Run("slidor", Doc("slides.pptx"), {{"VELLORA_SLIDOR_PRINT_WAIT", "0"}});
    const auto paused = Run("slidor", Doc("slides.pptx"), {{"VELLORA_SLIDOR_PRINT_WAIT", "4"}});
    EXPECT_EQ(paused.record, HelperRunner::Status().done);
    EXPECT_GE(paused.took, 4s);
    // Conversions vary by a second or more on a busy machine; the pause stands out anyway.
    EXPECT_GE(paused.took - quick.took, 2500ms);
}

}  // namespace

namespace {

// The job fails when CUPS refuses it; the converted copy is still cleaned away (TearDown).
TEST_F(OfficeHelpers, PrinterRefusingTheJobEndsInAFailureRecord) {
    cups_->AddPrinter("Closed");
    cups_->RejectJobs("Closed");
    cups_->SetServerDefault("Closed");
    const auto result = Run("scriblet", Doc("word.odt"));
    cups_->SetServerDefault(kPrinter);
    EXPECT_EQ(result.exitCode, 1);
    ASSERT_TRUE(modJob::HasStatus(result.record, HelperRunner::Status().failed)) << result.record;
    const std::string prefix = "The word-processor document could not be printed: ";
    ASSERT_EQ(result.record.find(prefix), HelperRunner::Status().failed.size()) << result.record;
    EXPECT_GT(result.record.size(), HelperRunner::Status().failed.size() + prefix.size() + 5)
        << "CUPS's description follows the error text: " << result.record;
    EXPECT_TRUE(cups_->PrintedFiles("Closed").empty());
}

// Where the sandbox cannot run, a job prints unconfined (behind the office program's own
// safeguards) and the log says so once; with RequireConfinement=1 the job fails instead.
TEST_F(OfficeHelpers, WithoutTheSandboxTheLogSaysSoOnceOrTheJobFailsWhenRequired) {
    const std::map<std::string, std::string> env = {{"VELLORA_BWRAP", tmp_.path() + "-no-bwrap"},
                                                    {"TMPDIR", tmp_.path()}};
    HelperRunner runner(*cups_, "scriblet");
    const auto before = PrintedCount();
    EXPECT_EQ(runner.RunOn(Doc("word.odt"), env).record, HelperRunner::Status().done);
    EXPECT_EQ(runner.RunOn(Doc("word.odt"), env).record, HelperRunner::Status().done);
    EXPECT_TRUE(cups_->WaitForPrinted(kPrinter, before + 2, 20s));
    const std::string log = runner.Log();
    const auto first = log.find("bubblewrap");
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find("bubblewrap", first + 1), std::string::npos) << "once: " << log;

    basINI_IO::WriteSettingNumber(1, runner.Install() + "/vellora.ini", "General",
                                  "RequireConfinement");
    const auto refused = runner.RunOn(Doc("word.odt"), env);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.record.find("require the sandbox (bubblewrap)"), std::string::npos)
        << refused.record;
    EXPECT_FALSE(cups_->WaitForPrinted(kPrinter, before + 3, 1s));
}

}  // namespace
