// The whole road on the real programs: mails in a private Dovecot, vellora running offscreen
// on its real timer in a fresh installation folder, its helpers, the conversion service and a
// private cupsd with two PDF-writing printers. Every document must land on its printer once,
// with its content; the failed one is reported; a restart prints nothing again.
#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "tests/e2e/Stage.h"
#include "tests/support/Pdf.h"

using namespace std::chrono_literals;

namespace {

struct Printed {
    std::string printer, file, text;
};

std::vector<Printed> AllPrinted(e2e::Stage& s) {
    std::vector<Printed> out;
    for (const std::string& p : {s.config().office, s.config().back})
        for (const std::string& f : s.cups().PrintedFiles(p))
            out.push_back({p, f, vtest::PdfText(f)});
    return out;
}

int Images(const std::string& pdf) {
    std::string out;
    vtest::Run({"/usr/bin/pdfimages", "-list", pdf}, &out);
    int lines = 0;
    for (char c : out) lines += c == '\n';
    return lines > 2 ? lines - 2 : 0;  // two heading lines
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class EndToEnd : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        work_ = new vtest::TempDir("e2e-docs");
        docs_ = new e2e::SampleDocs(e2e::MakeSampleDocs(work_->path()));
    }
    static void TearDownTestSuite() {
        delete docs_;
        delete work_;
    }
    static vtest::TempDir* work_;
    static e2e::SampleDocs* docs_;
};
vtest::TempDir* EndToEnd::work_ = nullptr;
e2e::SampleDocs* EndToEnd::docs_ = nullptr;

TEST_F(EndToEnd, EveryDocumentArrivesOnceOnItsPrinterAndARestartPrintsNothing) {
    e2e::Stage stage;
    const e2e::SampleDocs& d = *docs_;
    using e2e::Attachment;
    using e2e::MimeMail;
    stage.AddMail(MimeMail("Plain hello", "E2EPLAINMARKER a plain text body", "", {}));
    stage.AddMail(
        MimeMail("HTML with a picture", "",
                 "<html><body><p>E2EHTMLMARKER</p><img src=\"cid:pic1@e2e\"></body></html>",
                 {{"pic.jpg", "image/jpeg", d.jpeg, "pic1@e2e"}}));
    stage.AddMail(MimeMail(
        "[back] every kind", "E2EBACKMARKER the documents follow", "",
        {{"report.pdf", "application/pdf", d.pdf, ""},
         {"photo.jpg", "image/jpeg", d.jpeg, ""},
         {"letter.docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document",
          d.docx, ""},
         {"table.xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet", d.xlsx,
          ""},
         {"deck.pptx", "application/vnd.openxmlformats-officedocument.presentationml.presentation",
          d.pptx, ""},
         {"page.html", "text/html", d.html, ""}}));
    stage.AddMail(MimeMail("Odd type", "E2EODDMARKER", "",
                           {{"data.xyz", "application/octet-stream", "opaque bytes", ""}}));
    stage.AddMail(MimeMail("No dot", "E2ENODOTMARKER", "",
                           {{"README", "application/octet-stream", "read me", ""}}));
    stage.AddMail(MimeMail("Broken attachment", "E2EBROKENMARKER", "",
                           {{"broken.pdf", "application/pdf", "this is no PDF at all", ""}}));
    stage.WriteSettings();

    // Bodies of five mails on the first printer; body and six attachments on the second.
    const std::string office = stage.config().office, back = stage.config().back;
    stage.StartVellora(/*tickMs=*/300);
    const bool settled = vtest::WaitFor(
        [&] {
            return stage.cups().PrintedFiles(office).size() >= 5 &&
                   stage.cups().PrintedFiles(back).size() >= 7 && stage.StoredJobs() == 0 &&
                   stage.StatusFile().find("Not printed: Broken attachment") != std::string::npos;
        },
        240s, 250ms);
    std::this_thread::sleep_for(2s);  // anything printed twice would show by now
    ASSERT_TRUE(settled) << "status file:\n"
                         << stage.StatusFile() << "\nlog:\n"
                         << stage.Log() << "\nOffice " << stage.cups().PrintedFiles(office).size()
                         << ", Backoffice " << stage.cups().PrintedFiles(back).size()
                         << ", stored jobs " << stage.StoredJobs();
    ASSERT_TRUE(stage.VelloraRunning());

    const std::vector<Printed> printed = AllPrinted(stage);
    EXPECT_EQ(stage.cups().PrintedFiles(office).size(), 5u);
    EXPECT_EQ(stage.cups().PrintedFiles(back).size(), 7u);
    const std::map<std::string, std::string> where = {
        {"E2EPLAINMARKER", office}, {"E2EHTMLMARKER", office},   {"E2EODDMARKER", office},
        {"E2ENODOTMARKER", office}, {"E2EBROKENMARKER", office}, {"E2EBACKMARKER", back},
        {"E2EPDFMARKER", back},     {"E2EWORDMARKER", back},     {"E2ESHEETMARKER", back},
        {"E2ESLIDEMARKER", back},   {"E2EHTMLATTMARKER", back}};
    for (const auto& [marker, printer] : where) {
        int found = 0;
        for (const Printed& p : printed) {
            if (p.text.find(marker) == std::string::npos) continue;
            ++found;
            EXPECT_EQ(p.printer, printer) << marker;
            if (marker == "E2EPDFMARKER") {
                EXPECT_EQ(vtest::ReadPdfInfo(p.file).pages, 2);
                EXPECT_EQ(Count(p.text, marker), 2);
            }
            if (marker == "E2EHTMLMARKER") {
                EXPECT_GE(Images(p.file), 1) << "inline picture";
            }
        }
        EXPECT_EQ(found, 1) << marker;
    }
    // The photo: the one document on the second printer without text, a picture page.
    int pictures = 0;
    for (const Printed& p : printed) {
        bool text = false;
        for (const auto& [marker, printer] : where)
            text = text || p.text.find(marker) != std::string::npos;
        if (text) continue;
        ++pictures;
        EXPECT_EQ(p.printer, back);
        EXPECT_EQ(Images(p.file), 1);
    }
    EXPECT_EQ(pictures, 1);

    // The reports: the unhandled type named, the failed job with its detail, nothing else.
    const std::string status = stage.StatusFile();
    EXPECT_NE(status.find("No program prints this type of document: "), std::string::npos)
        << status;
    EXPECT_NE(status.find(".xyz"), std::string::npos) << status;
    EXPECT_EQ(Count(status, "Not printed: "), 1) << status;
    const auto failure = status.find("Not printed: Broken attachment - ");
    ASSERT_NE(failure, std::string::npos) << status;
    EXPECT_GT(status.find('\n', failure) - failure,
              std::string("Not printed: Broken attachment - ").size() + 3)
        << "the failure carries its detail";
    EXPECT_NE(status.find("6 new message(s)"), std::string::npos) << status;

    // A restart: the check at start-up finds nothing new and prints nothing.
    stage.StopVellora();
    const int checksBefore = Count(stage.StatusFile(), "new message(s)");
    stage.StartVellora(300);
    EXPECT_TRUE(vtest::WaitFor(
        [&] { return Count(stage.StatusFile(), "new message(s)") > checksBefore; }, 60s, 200ms))
        << stage.StatusFile();
    std::this_thread::sleep_for(3s);
    EXPECT_NE(stage.StatusFile().find("0 new message(s)"), std::string::npos) << stage.StatusFile();
    EXPECT_EQ(stage.cups().PrintedFiles(office).size(), 5u);
    EXPECT_EQ(stage.cups().PrintedFiles(back).size(), 7u);
    EXPECT_EQ(stage.StoredJobs(), 0);
}

}  // namespace
