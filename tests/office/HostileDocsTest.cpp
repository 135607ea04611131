// Office documents that try to reach out: each of .docx, .odt, .doc, .xlsx and an HTML page
// under a word-processor name links pictures, style sheets and objects at a counting
// listener (the remote web server) and names a magenta picture outside the run folder by
// file:// address. Printed through the office helpers and converted through the service, the
// listener hears nothing and no magenta pixel appears. Each wall holds on its own: the office
// program's safeguards without the sandbox, the sandbox without the safeguards; with neither
// the same documents do reach out, so the probe is real.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/confine/Confine.h"
#include "platform/http/Http.h"
#include "platform/office/Office.h"
#include "tests/html/CountingServer.h"
#include "tests/office/HelperRunner.h"
#include "tests/office/OfficeTestDocs.h"
#include "tests/support/Cups.h"
#include "tests/support/Pdf.h"
#include "tests/support/Services.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Doc {
    const char* file;
    const char* helper;
    const char* paths;  // the prefix of the addresses it asks for
};
const Doc kDocs[] = {{"linked.docx", "scriblet", "/docx-"},
                     {"linked.odt", "scriblet", "/odf-"},
                     {"linked.doc", "scriblet", "/doc/"},
                     {"html.doc", "scriblet", "/html-"},
                     {"linked.xlsx", "gridlet", "/xlsx-"}};

// Magenta pixels in a picture (any format ImageMagick reads), by way of a binary PPM.
long MagentaPixels(const std::string& picture) {
    std::string ppm;
    vtest::Run({"/usr/bin/convert", picture, "-depth", "8", "ppm:-"}, &ppm);
    std::istringstream in(ppm);
    std::string magic;
    int w = 0, h = 0, max = 0;
    in >> magic >> w >> h >> max;
    in.get();
    long count = 0;
    for (long i = 0; i < static_cast<long>(w) * h; ++i) {
        const int r = in.get(), g = in.get(), b = in.get();
        if (!in) break;
        if (r > 180 && g < 90 && b > 180) ++count;
    }
    return count;
}

long MagentaInPdf(const std::string& pdf, const std::string& scratch) {
    long count = 0;
    for (int page = 1; page <= vtest::office::PdfPages(pdf); ++page)
        count += MagentaPixels(vtest::PdfPageToPng(pdf, page, scratch + "-p", 40));
    return count;
}

class HostileDocs : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        server_ = new vtest::html::CountingServer;
        dir_ = new vtest::TempDir("hostile");
        const std::string outside = *dir_ / "outside";
        fs::create_directories(outside);
        picture_ = outside + "/secret.png";
        vtest::Run({"/usr/bin/convert", "-size", "300x300", "xc:#FF00FF", picture_});
        docs_ = *dir_ / "docs";
        vtest::Run({"/usr/bin/python3", vtest::SourceDir() + "/tests/office/make_hostile.py", docs_,
                    server_->Url(""), picture_});
        MakeBinaryDoc(outside);
        server_->Reset();
        cache_ = *dir_ / "cache";
    }
    static void TearDownTestSuite() {
        delete dir_;
        delete server_;
    }
    void TearDown() override {
        unsetenv("VELLORA_BWRAP");
        unsetenv("VELLORA_TEST_OFFICE_UNHARDENED");
        server_->Reset();
    }

    // The binary .doc comes from the flat ODF text by LibreOffice itself, in a sandbox with no
    // network and the picture hidden, so that its links stay links.
    // The binary .doc comes from a .docx by LibreOffice itself, in a sandbox with no network
    // and the picture hidden, so that its links stay links.
    static void MakeBinaryDoc(const std::string& outside) {
        const std::string profile = *dir_ / "gen-profile";
        fs::create_directories(*dir_ / "made");
        for (int attempt = 0; attempt < 3; ++attempt) {  // a new profile restarts once
            vtest::Run({"/usr/bin/bwrap",
                        "--unshare-all",
                        "--die-with-parent",
                        "--ro-bind",
                        "/",
                        "/",
                        "--dev",
                        "/dev",
                        "--proc",
                        "/proc",
                        "--tmpfs",
                        "/tmp",
                        "--bind",
                        dir_->path(),
                        dir_->path(),
                        "--tmpfs",
                        outside,
                        "--setenv",
                        "HOME",
                        dir_->path(),
                        vtest::office::kSoffice,
                        "-env:UserInstallation=file://" + profile,
                        "--headless",
                        "--norestore",
                        "--nologo",
                        "--convert-to",
                        "doc:MS Word 97",
                        "--outdir",
                        *dir_ / "made",
                        docs_ + "/doc-source.docx"});
            if (fs::exists(*dir_ / "made/doc-source.doc")) break;
        }
        std::error_code ec;
        fs::rename(*dir_ / "made/doc-source.doc", docs_ + "/linked.doc", ec);
    }

    static std::string Path(const Doc& d) { return docs_ + "/" + d.file; }
    // Requests that asked for this document's addresses.
    static int RequestsOf(const Doc& d) {
        int n = 0;
        for (const auto& line : server_->RequestLines())
            if (line.find(std::string(" ") + d.paths) != std::string::npos) ++n;
        return n;
    }
    // Converts through the office layer in this process, as the helpers and the service do.
    static vellora::office::ConvertResult Convert(const Doc& d, const std::string& out) {
        fs::create_directories(out);
        vellora::office::ConvertOptions options;
        options.cacheFolder = cache_;
        options.timeout = 90s;
        return vellora::office::ConvertToPdf(Path(d), out, options);
    }
    // Each document through the layer: what it asked for and what of the picture it shows.
    void ExpectContained(const std::string& mode) {
        for (const Doc& d : kDocs) {
            const std::string out = *dir_ / (mode + "-" + d.file);
            const auto result = Convert(d, out);
            ASSERT_TRUE(result.ok) << mode << " " << d.file << ": " << result.error;
            EXPECT_NE(vtest::office::PdfText(result.pdfPath).find("HOSTILEMARKER"),
                      std::string::npos)
                << mode << " " << d.file;
            EXPECT_EQ(RequestsOf(d), 0) << mode << " " << d.file;
            EXPECT_EQ(MagentaInPdf(result.pdfPath, out + "/page"), 0) << mode << " " << d.file;
        }
        EXPECT_EQ(server_->connections(), 0) << mode;
    }

    static vtest::html::CountingServer* server_;
    static vtest::TempDir* dir_;
    static std::string docs_, picture_, cache_;
};
vtest::html::CountingServer* HostileDocs::server_ = nullptr;
vtest::TempDir* HostileDocs::dir_ = nullptr;
std::string HostileDocs::docs_, HostileDocs::picture_, HostileDocs::cache_;

TEST_F(HostileDocs, FixtureIsWhatItClaims) {
    for (const Doc& d : kDocs) EXPECT_TRUE(fs::is_regular_file(Path(d))) << d.file;
    EXPECT_GT(MagentaPixels(picture_), 80000);
    const std::string doc = vtest::ReadFile(docs_ + "/linked.doc");
    EXPECT_NE(doc.find("/doc/docx-image.png"), std::string::npos) << "the .doc keeps its link";
}

TEST_F(HostileDocs, OfficeHelpersPrintThemWithoutReachingOut) {
    vtest::Cups cups;
    cups.AddPrinter("Office");
    cups.SetServerDefault("Office");
    vtest::TempDir tmp("hostile-tmp");
    for (const Doc& d : kDocs) {
        vtest::helpers::HelperRunner runner(cups, d.helper);
        const auto before = cups.PrintedFiles("Office").size();
        const auto result = runner.RunOn(
            Path(d), {{"TMPDIR", tmp.path()}, {"VELLORA_OFFICE_CACHE", cache_ + "-helpers"}});
        ASSERT_EQ(result.record, vtest::helpers::HelperRunner::Status().done) << d.file;
        ASSERT_TRUE(cups.WaitForPrinted("Office", before + 1, 20s)) << d.file;
        const std::string printed = cups.PrintedFiles("Office").back();
        EXPECT_NE(vtest::office::PdfText(printed).find("HOSTILEMARKER"), std::string::npos);
        EXPECT_EQ(RequestsOf(d), 0) << d.file;
        EXPECT_EQ(MagentaInPdf(printed, tmp / "page"), 0) << d.file;
    }
    EXPECT_EQ(server_->connections(), 0);
}

TEST_F(HostileDocs, ConversionServiceGivesNothingOfTheOutsideBack) {
    vtest::ConvertService svc;
    vtest::TempDir got("hostile-got");
    for (const Doc& d : kDocs) {
        const std::string type = fs::path(d.file).extension().string().substr(1);
        const auto r = vellora::http::PostForm(
            svc.url() + "/convert", {{"jobid", "7"}, {"type", type}}, {"document", Path(d)}, 120s);
        ASSERT_EQ(r.status, 200) << d.file << ": " << r.body;
        std::istringstream lines(r.body.substr(r.body.find('\n') + 1));
        int pages = 0;
        for (std::string name; std::getline(lines, name);) {
            const std::string png = got / name;
            ASSERT_EQ(vellora::http::Download(svc.url() + "/results/" + name, png, 30s).status,
                      200);
            EXPECT_EQ(MagentaPixels(png), 0) << d.file << " " << name;
            ++pages;
        }
        EXPECT_GT(pages, 0) << d.file;
        EXPECT_EQ(RequestsOf(d), 0) << d.file;
    }
    EXPECT_EQ(server_->connections(), 0);
}

// Where the sandbox cannot run, the office program's own safeguards still hold: each setting
// written into its profile is one LibreOffice 7.4 reads.
TEST_F(HostileDocs, SafeguardsHoldWithoutTheSandbox) {
    setenv("VELLORA_BWRAP", (*dir_ / "no-bwrap").c_str(), 1);
    ExpectContained("unconfined");
}

// The sandbox holds on its own: with the safeguards switched off, a document still reaches
// neither the listener nor the picture.
TEST_F(HostileDocs, SandboxHoldsWithoutTheSafeguards) {
    setenv("VELLORA_TEST_OFFICE_UNHARDENED", "1", 1);
    ExpectContained("unhardened");
}

// Without either wall every one of these documents does reach out (the listener hears it, or
// the picture shows): the tests above could fail.
TEST_F(HostileDocs, WithNeitherWallEachDocumentReachesOut) {
    setenv("VELLORA_BWRAP", (*dir_ / "no-bwrap").c_str(), 1);
    setenv("VELLORA_TEST_OFFICE_UNHARDENED", "1", 1);
    for (const Doc& d : kDocs) {
        const std::string out = *dir_ / (std::string("open-") + d.file);
        const auto result = Convert(d, out);
        ASSERT_TRUE(result.ok) << d.file << ": " << result.error;
        const long magenta = MagentaInPdf(result.pdfPath, out + "/page");
        EXPECT_TRUE(RequestsOf(d) > 0 || magenta > 0) << d.file;
    }
}

}  // namespace
