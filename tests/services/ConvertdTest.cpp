// The conversion service, started from the build, with real Poppler, ImageMagick and
// LibreOffice behind it.
#include <gtest/gtest.h>

#include <dirent.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

#include "platform/http/Http.h"
#include "services/convertd/ConvertProtocol.h"
#include "tests/support/Pdf.h"
#include "tests/support/Services.h"

namespace {
using namespace std::chrono_literals;
namespace http = vellora::http;

struct Png {
    bool ok = false;
    unsigned width = 0, height = 0;
};

Png ReadPng(const std::string& data) {
    Png p;
    if (data.size() < 24 || data.compare(0, 8, "\x89PNG\r\n\x1a\n", 8) != 0) return p;
    auto be32 = [&](std::size_t at) {
        return (unsigned(static_cast<unsigned char>(data[at])) << 24) |
               (unsigned(static_cast<unsigned char>(data[at + 1])) << 16) |
               (unsigned(static_cast<unsigned char>(data[at + 2])) << 8) |
               unsigned(static_cast<unsigned char>(data[at + 3]));
    };
    p.ok = true;
    p.width = be32(16);
    p.height = be32(20);
    return p;
}

class Convertd : public ::testing::Test {
  protected:
    vtest::TempDir dir_{"convertd-test"};

    std::string Write(const std::string& name, const std::string& content) {
        vtest::WriteFile(dir_ / name, content);
        return dir_ / name;
    }

    static http::Response Upload(const vtest::ConvertService& svc, const std::string& path,
                                 const std::string& type, const std::string& jobId = "4711",
                                 const std::string& field = "document") {
        return http::PostForm(svc.url() + "/convert", {{"jobid", jobId}, {"type", type}},
                              {field, path}, 120s);
    }

    // The result names of a successful answer, after checking the answer's form.
    static std::vector<std::string> Names(const http::Response& r) {
        EXPECT_EQ(r.status, 200) << r.body << r.error;
        EXPECT_EQ(r.body.substr(0, 3), "OK\n");
        EXPECT_EQ(r.body.find('\r'), std::string::npos);
        EXPECT_EQ(r.body.back(), '\n');
        std::vector<std::string> names;
        std::istringstream in(r.body);
        std::string line;
        std::getline(in, line);
        const std::regex form("[0-9a-f]{32}-[0-9]{3}\\.png");
        while (std::getline(in, line)) {
            EXPECT_TRUE(std::regex_match(line, form)) << line;
            names.push_back(line);
        }
        return names;
    }

    static Png Fetch(const vtest::ConvertService& svc, const std::string& name) {
        const auto r = http::Get(svc.url() + "/results/" + name, 20s);
        EXPECT_EQ(r.status, 200) << name;
        return ReadPng(r.body);
    }

    std::string MakePicture(const std::string& name, const std::string& size) {
        const std::string path = dir_ / name;
        EXPECT_EQ(vtest::Run({"/usr/bin/convert", "-size", size, "xc:orange", path}), 0);
        return path;
    }
};

TEST_F(Convertd, PdfPagesBecomePngPagesAt150Dpi) {
    vtest::ConvertService svc;
    const auto names =
        Names(Upload(svc, Write("three.pdf", vtest::MakePdf({"a", "b", "c"})), "pdf"));
    ASSERT_EQ(names.size(), 3u);
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i].substr(33), "00" + std::to_string(i + 1) + ".png");
        const Png p = Fetch(svc, names[i]);
        ASSERT_TRUE(p.ok);
        EXPECT_NEAR(p.width, 1240, 1);  // A4 at 150 dpi
        EXPECT_NEAR(p.height, 1754, 1);
    }
    EXPECT_EQ(names[0].substr(0, 32), names[2].substr(0, 32)) << "one name stem per request";
    EXPECT_TRUE(vtest::WaitFor(
        [&] { return svc.log().find("jobid=4711 type=pdf") != std::string::npos; }, 5s))
        << svc.log();
}

TEST_F(Convertd, PicturesThatThePictureLoaderLacksBecomePng) {
    vtest::ConvertService svc;
    for (const std::string type : {"pcx", "heic", "psd", "PCX"}) {
        const std::string lower = type == "PCX" ? "pcx" : type;
        const auto names = Names(Upload(svc, MakePicture("pic." + lower, "64x40"), type));
        ASSERT_EQ(names.size(), 1u) << type;
        const Png p = Fetch(svc, names[0]);
        EXPECT_TRUE(p.ok) << type;
        EXPECT_EQ(p.width, 64u) << type;
        EXPECT_EQ(p.height, 40u) << type;
    }
}

TEST_F(Convertd, OfficeDocumentBecomesPages) {
    vtest::ConvertService svc;
    const auto names = Names(Upload(svc, Write("note.rtf", "{\\rtf1\\ansi Office words}"), "rtf"));
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(Fetch(svc, names[0]).ok);
}

TEST_F(Convertd, BadRequestsGetClearErrorsAndTheServiceGoesOn) {
    vtest::ConvertService::Options o;
    o.maxUploadBytes = 100000;
    vtest::ConvertService svc(o);
    const std::string pdf = Write("ok.pdf", vtest::MakePdf({"fine"}));
    const struct {
        std::string path, type, jobId, field;
        long status;
    } bad[] = {
        {Write("big.pdf", std::string(200000, 'x')), "pdf", "1", "document", 413},
        {pdf, "pdf", "1", "file", 400},
        {pdf, "pdf", "", "document", 400},
        {pdf, "pdf", "../../etc", "document", 400},
        {pdf, "p/df", "1", "document", 400},
        {pdf, "exe", "1", "document", 415},
        {Write("corrupt.pdf", "%PDF-1.4\nnot really\n"), "pdf", "1", "document", 422},
        {Write("pic.heic", "not a picture at all"), "heic", "1", "document", 422},
        {Write("fake.docx", "plain text, not a package"), "docx", "1", "document", 422},
        {Write("empty.pdf", ""), "pdf", "1", "document", 400},
    };
    for (const auto& b : bad) {
        const auto r = Upload(svc, b.path, b.type, b.jobId, b.field);
        EXPECT_EQ(r.status, b.status) << b.path << " " << b.type << " " << r.body;
        EXPECT_EQ(r.body.substr(0, 5), "ERROR") << r.body;
    }
    auto r = http::Get(svc.url() + "/convert", 10s);
    EXPECT_EQ(r.status, 404);
    r = http::Get(svc.url() + "/results/..%2F..%2Fetc%2Fpasswd", 10s);
    EXPECT_EQ(r.status, 404);
    r = http::Get(svc.url() + "/results/" + std::string(32, 'a') + "-001.png", 10s);
    EXPECT_EQ(r.status, 404);
    EXPECT_TRUE(svc.running());
    EXPECT_EQ(Names(Upload(svc, pdf, "pdf")).size(), 1u);
    EXPECT_TRUE(vtest::ListDir(svc.workDir()).empty()) << "work folders are removed";
}

TEST_F(Convertd, KeepsAnsweringThroughAFloodOfBadRequests) {
    vtest::ConvertService svc;
    const std::string pdf = Write("ok.pdf", vtest::MakePdf({"fine"}));
    const std::string corrupt = Write("corrupt.pdf", "%PDF-1.4 broken");
    int answered = 0;
    for (int i = 0; i < 300; ++i) {
        http::Response r;
        switch (i % 4) {
            case 0:
                r = Upload(svc, pdf, "pdf", "1", "wrong");
                break;
            case 1:
                r = Upload(svc, pdf, "zzz");
                break;
            case 2:
                r = http::Get(svc.url() + "/results/nothing.png", 5s);
                break;
            default:
                r = Upload(svc, corrupt, "pdf");
                break;
        }
        answered += r.status >= 400 && r.status < 500;
    }
    EXPECT_EQ(answered, 300);
    EXPECT_EQ(Names(Upload(svc, pdf, "pdf")).size(), 1u);
}

TEST_F(Convertd, UploadsBeyondTheConversionSlotsWaitTheirTurn) {
    vtest::ConvertService::Options o;
    o.extraArgs = {"--jobs", "1"};
    vtest::ConvertService svc(o);
    const std::string pdf = Write("two.pdf", vtest::MakePdf({"one", "two"}));
    std::vector<http::Response> answers(4);
    std::vector<std::thread> clients;
    for (auto& a : answers) clients.emplace_back([&] { a = Upload(svc, pdf, "pdf"); });
    for (auto& c : clients) c.join();
    std::set<std::string> names;
    for (const auto& a : answers) {
        for (const auto& n : Names(a)) names.insert(n);
    }
    EXPECT_EQ(names.size(), 8u) << "every request has names of its own";
}

// No process may still have the service's work folder on its command line.
bool ProcessUses(const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string cmd = vtest::ReadFile(entry.path().string() + "/cmdline");
        if (cmd.find(folder + "/") != std::string::npos) return true;
    }
    return false;
}

TEST_F(Convertd, ConversionOverItsTimeLimitIsStoppedWithNothingLeft) {
    vtest::ConvertService::Options o;
    o.timeLimitSeconds = 1;
    vtest::ConvertService svc(o);
    std::string big = "{\\rtf1\\ansi ";
    for (int i = 0; i < 2000; ++i) big += "A long line of words to fill many pages.\\par ";
    const auto start = std::chrono::steady_clock::now();
    const auto r = Upload(svc, Write("long.rtf", big + "}"), "rtf");
    EXPECT_EQ(r.status, 504) << r.body;
    EXPECT_EQ(r.body.substr(0, 5), "ERROR");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_FALSE(ProcessUses(svc.workDir()));
    EXPECT_TRUE(vtest::ListDir(svc.resultsDir()).empty());
}

TEST_F(Convertd, OldResultsAreRemoved) {
    vtest::ConvertService::Options o;
    o.keepSeconds = 1;
    o.sweepSeconds = 1;
    vtest::ConvertService svc(o);
    const auto names = Names(Upload(svc, Write("one.pdf", vtest::MakePdf({"x"})), "pdf"));
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(
        vtest::WaitFor([&] { return vtest::ListDir(svc.resultsDir()).empty(); }, 10s, 100ms));
    EXPECT_EQ(http::Get(svc.url() + "/results/" + names[0], 10s).status, 404);
}

// Where the sandbox cannot run, the service converts unconfined and says so once in its log;
// told to require the sandbox, it refuses instead, with a clear answer.
TEST_F(Convertd, WithoutTheSandboxItSaysSoOnceOrRefusesWhenRequired) {
    const std::string png = dir_ / "p.png";
    ASSERT_EQ(vtest::Run({"/usr/bin/convert", "-size", "20x20", "xc:blue", png}), 0);
    vtest::ConvertService::Options o;
    o.env = {{"VELLORA_BWRAP", dir_ / "no-bwrap"}};
    {
        vtest::ConvertService svc(o);
        EXPECT_EQ(Upload(svc, png, "png").status, 200);
        EXPECT_EQ(Upload(svc, png, "png").status, 200);
        const std::string log = svc.log();
        const auto first = log.find("bubblewrap");
        ASSERT_NE(first, std::string::npos) << log;
        EXPECT_EQ(log.find("bubblewrap", first + 1), std::string::npos) << "once: " << log;
    }
    o.extraArgs = {"--confinement", "required"};
    vtest::ConvertService strict(o);
    const auto r = Upload(strict, png, "png");
    EXPECT_EQ(r.status, 503);
    EXPECT_NE(r.body.find("sandbox"), std::string::npos) << r.body;
    EXPECT_TRUE(vtest::ListDir(strict.resultsDir()).empty());
}

}  // namespace
