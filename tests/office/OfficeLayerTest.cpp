// The office layer against the real LibreOffice: real documents become PDFs with the right
// pages and words; every bad input ends in a readable failure, in bounded time, with nothing
// left running and nothing left behind.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <regex>
#include <set>

#include <chrono>
#include <filesystem>

#include "platform/office/Office.h"
#include "platform/office/OfficeHardening.h"
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
// time-out together with its child: unconfined (where the sandbox cannot run), by its group.
TEST_F(OfficeLayer, HangingOfficeProgramIsStoppedWithItsGroup) {
    setenv("VELLORA_BWRAP", (cache_ / "no-bwrap").c_str(), 1);
    struct Restore {
        ~Restore() { unsetenv("VELLORA_BWRAP"); }
    } restore;
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

// In the sandbox the same program (which can write no pid file of ours) goes with everything it
// started: nothing that carries the run's folders is left (TearDown).
TEST_F(OfficeLayer, HangingConfinedOfficeProgramIsStoppedWithItsSandbox) {
    const std::string stub = cache_ / "hanging-office";
    vtest::WriteFile(stub, "#!/bin/sh\nsleep 300 &\nsleep 300 &\nwait\n");
    fs::permissions(stub, fs::perms::owner_all);
    options_.program = stub;
    options_.timeout = 2s;
    const auto start = std::chrono::steady_clock::now();
    const auto result = ConvertToPdf(Doc("word.docx"), out_.path(), options_);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("did not finish within 2 s"), std::string::npos) << result.error;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 6s);
    EXPECT_TRUE(vtest::WaitFor([&] { return ProcessesMentioning(cache_.path()).empty(); }, 3s));
}

TEST_F(OfficeLayer, MissingOfficeProgramIsNamed) {
    options_.program = cache_ / "no-such-office";
    const auto result = ConvertToPdf(Doc("word.docx"), out_.path(), options_);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("could not be started"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("no-such-office"), std::string::npos) << result.error;
}

}  // namespace

namespace {

// The output folder (which holds the private profile) may have any name: the profile's
// address must be escaped, or the office program would write its profile elsewhere.
TEST_F(OfficeLayer, OutputFolderWithBlanksHashAndPercentWorks) {
    const std::string odd = out_ / "out dir #1 %20";
    fs::create_directories(odd);
    const auto result = ConvertToPdf(Doc("word.odt"), odd, options_);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(fs::path(result.pdfPath).parent_path(), fs::path(odd));
    EXPECT_EQ(vtest::ListDir(odd).size(), 1u) << "only the PDF stays";
    fs::remove_all(odd);
}

// Which contents each extension may carry; no office program is involved.
TEST(DocumentCheck, ContentsMustMatchTheExtension) {
    vtest::TempDir dir("office-check");
    const std::string zip("PK\x03\x04 rest", 9);
    const std::string compound("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 rest", 13);
    const std::string rtf = "{\\rtf1 text}";
    const std::string markup = "\xEF\xBB\xBF  <?xml version=\"1.0\"?><x/>";
    const std::string text = "just words\n";
    struct Case {
        std::string name, contents;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {"a.docx", zip, true},      {"a.docx", compound, true},  // encrypted OOXML
        {"a.DOCX", text, false},    {"a.xlsx", markup, false},  {"a.odt", zip, true},
        {"a.odt", compound, false}, {"a.doc", compound, true},  {"a.doc", rtf, true},
        {"a.xls", markup, true},    {"a.doc", text, false},     {"a.rtf", rtf, true},
        {"a.rtf", zip, false},      {"a.fodt", markup, true},   {"a.fodt", zip, false},
        {"a.txt", text, true},      {"a.csv", text, true},      {"noextension", text, true},
    };
    for (const auto& c : cases) {
        const std::string path = dir / c.name;
        vtest::WriteFile(path, c.contents);
        const std::string why = vellora::office::CheckDocument(path);
        EXPECT_EQ(why.empty(), c.accepted) << c.name << " [" << c.contents << "]: " << why;
        fs::remove(path);
    }
    fs::create_directories(dir / "folder.docx");
    EXPECT_NE(vellora::office::CheckDocument(dir / "folder.docx").find("not a regular file"),
              std::string::npos);
}

// Each safeguard written into the profile names a setting LibreOffice itself declares: a
// misspelt path or name would be taken without a word and change nothing. The schemas are the
// installed LibreOffice's own (oor:component-schema in its .xcd files).
TEST(OfficeHardening, EverySettingIsOneTheInstalledLibreOfficeDeclares) {
    std::set<std::string> declared;
    for (const auto& entry : fs::directory_iterator("/usr/lib/libreoffice/share/registry")) {
        if (entry.path().extension() != ".xcd") continue;
        const std::string xcd = vtest::ReadFile(entry.path());
        // Walks the tags, keeping the path of groups inside each component schema.
        const std::regex tag(
            R"x(<(/?)(oor:component-schema|group|prop|oor:component-data)\b([^>]*?)(/?)>)x");
        const std::regex name(R"x(oor:name="([^"]+)")x"), package(R"x(oor:package="([^"]+)")x");
        std::vector<std::string> path;
        bool inSchema = false;
        for (auto it = std::sregex_iterator(xcd.begin(), xcd.end(), tag);
             it != std::sregex_iterator(); ++it) {
            const std::string kind = (*it)[2], attrs = (*it)[3];
            const bool closing = (*it)[1] == "/", selfClosing = (*it)[4] == "/";
            std::smatch m;
            if (kind == "oor:component-data") {
                inSchema = false;
                continue;
            }
            if (kind == "oor:component-schema") {
                inSchema = !closing;
                path.clear();
                if (!closing && std::regex_search(attrs, m, package)) {
                    const std::string pkg = m[1];
                    if (std::regex_search(attrs, m, name)) path.push_back(pkg + "." + m[1].str());
                }
                continue;
            }
            if (!inSchema) continue;
            if (closing) {
                if (kind == "group" && path.size() > 1) path.pop_back();
                continue;
            }
            if (!std::regex_search(attrs, m, name)) continue;
            std::string full;
            for (const auto& p : path) full += "/" + p;
            if (kind == "prop") {
                declared.insert(full + "/" + m[1].str());
            } else if (!selfClosing) {
                path.push_back(m[1]);
            }
        }
    }
    ASSERT_GT(declared.size(), 1000u) << "LibreOffice's schemas were read";
    const auto settings = vellora::office::HardeningSettings();
    EXPECT_GE(settings.size(), 10u);
    for (const auto& s : settings) {
        EXPECT_TRUE(declared.count(s.path + "/" + s.name)) << s.path << "/" << s.name;
    }
    EXPECT_FALSE(declared.count("/org.openoffice.Office.Common/Security/Scripting/NoSuchThing"));
}

}  // namespace
