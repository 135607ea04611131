// The office layer against the real LibreOffice: real documents become PDFs with the right
// pages and words; every bad input ends in a readable failure, in bounded time, with nothing
// left running and nothing left behind.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "platform/office/Office.h"
#include "tests/office/OfficeTestDocs.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using vellora::office::ConvertOptions;
using vellora::office::ConvertToPdf;
using vtest::office::PdfPages;
using vtest::office::PdfText;
using vtest::office::ProcessesMentioning;

class OfficeLayer : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        docs_ = new vtest::TempDir("office-docs");
        vtest::office::MakeOfficeDocuments(docs_->path());
    }
    static void TearDownTestSuite() {
        delete docs_;
        docs_ = nullptr;
    }
    void SetUp() override {
        options_.cacheFolder = cache_ / "cache";
        options_.timeout = 60s;
    }
    void TearDown() override {
        // Nothing the run started may outlive it, and it leaves only the PDF behind.
        EXPECT_TRUE(ProcessesMentioning(out_.path()).empty());
        EXPECT_TRUE(ProcessesMentioning(cache_.path()).empty());
        for (const auto& name : vtest::ListDir(out_.path())) {
            EXPECT_EQ(fs::path(name).extension(), ".pdf") << name;
        }
    }
    static std::string Doc(const std::string& name) { return (*docs_) / name; }

    static vtest::TempDir* docs_;
    vtest::TempDir out_{"office-out"};
    vtest::TempDir cache_{"office-cache"};
    ConvertOptions options_;
};
vtest::TempDir* OfficeLayer::docs_ = nullptr;

TEST_F(OfficeLayer, ConvertsEachFamilyWithItsPagesAndWords) {
    struct Case {
        std::string file;
        int pages;
        std::vector<std::string> words;
    };
    const std::vector<Case> cases = {
        {"word.docx", 1, {"WORDMARKER"}},
        {"word.odt", 1, {"WORDMARKER"}},
        {"sheets.xlsx", 2, {"SHEETONE", "SHEETTWO"}},
        {"slides.pptx", 3, {"SLIDEONE", "SLIDETWO", "SLIDETHREE"}},
    };
    for (const auto& c : cases) {
        const std::string before = vtest::ReadFile(Doc(c.file));
        const auto result = ConvertToPdf(Doc(c.file), out_.path(), options_);
        ASSERT_TRUE(result.ok) << c.file << ": " << result.error;
        EXPECT_EQ(result.pages, c.pages) << c.file;
        EXPECT_EQ(PdfPages(result.pdfPath), c.pages) << c.file;
        const std::string text = PdfText(result.pdfPath);
        for (const auto& w : c.words) EXPECT_NE(text.find(w), std::string::npos) << c.file << w;
        EXPECT_EQ(vtest::ReadFile(Doc(c.file)), before) << "the original must stay untouched";
    }
}

TEST_F(OfficeLayer, SameBaseNameTwiceKeepsBothPdfs) {
    const auto first = ConvertToPdf(Doc("word.docx"), out_.path(), options_);
    const auto second = ConvertToPdf(Doc("word.odt"), out_.path(), options_);
    ASSERT_TRUE(first.ok && second.ok) << first.error << second.error;
    EXPECT_NE(first.pdfPath, second.pdfPath);
    EXPECT_TRUE(vtest::Exists(first.pdfPath));
    EXPECT_TRUE(vtest::Exists(second.pdfPath));
}

TEST_F(OfficeLayer, BadInputsFailReadablyAndQuickly) {
    struct Case {
        std::string file;
        std::string expected;  // a piece of the description
    };
    const std::vector<Case> cases = {
        {"empty.docx", "empty (0 bytes)"},  {"plain.docx", "not a document of its type .docx"},
        {"cut.docx", "could not convert"},  {"locked.odt", "could not convert"},
        {"missing.docx", "does not exist"},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const auto result = ConvertToPdf(Doc(c.file), out_.path(), options_);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_FALSE(result.ok) << c.file;
        EXPECT_NE(result.error.find(c.expected), std::string::npos)
            << c.file << ": " << result.error;
        EXPECT_TRUE(result.pdfPath.empty());
        EXPECT_LT(took, 30s) << c.file;
    }
}

// An office program that never ends (and started a child of its own) is stopped at the
// time-out together with its child.
TEST_F(OfficeLayer, HangingOfficeProgramIsStoppedWithItsGroup) {
    const std::string stub = cache_ / "hanging-office";
    vtest::WriteFile(stub, "#!/bin/sh\necho $$ > " + cache_ / "stub.pid" +
                               "\nsleep 300 &\necho $! > " + cache_ / "child.pid" + "\nwait\n");
    fs::permissions(stub, fs::perms::owner_all);
    options_.program = stub;
    options_.timeout = 2s;
    const auto start = std::chrono::steady_clock::now();
    const auto result = ConvertToPdf(Doc("word.docx"), out_.path(), options_);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("did not finish within 2 s"), std::string::npos) << result.error;
    EXPECT_GE(took, 2s);
    EXPECT_LT(took, 6s);
    EXPECT_TRUE(vtest::office::ProcessGone(std::stoi(vtest::ReadFile(cache_ / "stub.pid"))));
    EXPECT_TRUE(vtest::office::ProcessGone(std::stoi(vtest::ReadFile(cache_ / "child.pid"))));
}

TEST_F(OfficeLayer, MissingOfficeProgramIsNamed) {
    options_.program = cache_ / "no-such-office";
    const auto result = ConvertToPdf(Doc("word.docx"), out_.path(), options_);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("could not be started"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("no-such-office"), std::string::npos) << result.error;
}

}  // namespace
