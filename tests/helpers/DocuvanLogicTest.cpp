// Docuvan's routes with a scripted viewer: which calls are made, when the service takes over,
// and that a failing viewer leaves no trace of its own.
#include <gtest/gtest.h>

#include "helpers/docuvan/Docuvan.h"
#include "helpers/docuvan/DocuvanTexts.h"
#include "shared/modJob.h"

namespace {
using namespace vellora::helper;

struct Events {
    std::vector<std::string> list;
};

struct ScriptedViewer : docuvan::PdfViewer {
    Events& ev;
    std::string failAt;
    int pages = 3;
    ScriptedViewer(Events& e, std::string f) : ev(e), failAt(std::move(f)) {}
    void Call(const std::string& what) {
        ev.list.push_back(what);
        if (what.rfind(failAt, 0) == 0 && !failAt.empty()) throw HelperFailure(failAt + " failed");
    }
    void Open(const std::string& path) override { Call("Open " + path); }
    int GetNumPages() override {
        Call("GetNumPages");
        return pages;
    }
    void PrintPagesSilent(int first, int last, bool fit) override {
        Call("Print " + std::to_string(first) + "-" + std::to_string(last) + (fit ? " fit" : ""));
    }
    void Close() override { Call("Close"); }
};

struct Sink : vellora::helper::Sink {
    Events& ev;
    explicit Sink(Events& e) : ev(e) {}
    void Log(const std::string& t) override { ev.list.push_back("log " + t); }
    void Record(const std::string& id, const std::string& v) override {
        ev.list.push_back("rec " + id + " " + v);
    }
};

class DocuvanLogic : public ::testing::Test {
  protected:
    int Run(int option, const std::string& failAt, const std::string& line = R"(77@"/d/a b.pdf")") {
        return RunHelperOn(
            line, docuvan::DocuvanSpec(),
            [&](HelperRun& run) {
                return docuvan::PrintPdf(
                    run, [&] { return std::make_unique<ScriptedViewer>(ev, failAt); },
                    [&](HelperRun& r, const ConversionRequest& req) {
                        ev.list.push_back("service " + req.path + " " + req.typeToken);
                        if (serviceThrows) throw HelperFailure("upload broke");
                        r.Finish(modJob::Status().done);
                    },
                    option);
            },
            sink, clock);
    }
    std::string Active() const {
        return "rec 77 " + modJob::Status().active + std::to_string(::getpid());
    }
    Events ev;
    Sink sink{ev};
    ManualClock clock;
    bool serviceThrows = false;
};

TEST_F(DocuvanLogic, AbsentOrSetOptionPrintsEveryPageShrunkThroughTheViewer) {
    for (int option : {-1, 1}) {
        ev.list.clear();
        EXPECT_EQ(Run(option, ""), 0);
        EXPECT_EQ(ev.list, (std::vector<std::string>{Active(), "Open /d/a b.pdf", "GetNumPages",
                                                     "Print 0-2 fit", "Close",
                                                     "rec 77 " + modJob::Status().done}));
    }
}

TEST_F(DocuvanLogic, OptionOffGoesStraightToTheServiceWithoutQuotes) {
    EXPECT_EQ(Run(0, ""), 0);
    EXPECT_EQ(ev.list, (std::vector<std::string>{Active(), "service /d/a b.pdf pdf",
                                                 "rec 77 " + modJob::Status().done}));
}

TEST_F(DocuvanLogic, AnyViewerFailureFallsSilentlyToTheService) {
    for (const std::string failAt : {"Open", "GetNumPages", "Print", "Close"}) {
        ev.list.clear();
        Run(-1, failAt);
        ASSERT_GE(ev.list.size(), 3u) << failAt;
        EXPECT_EQ(ev.list[ev.list.size() - 2], "service /d/a b.pdf pdf") << failAt;
        for (const auto& e : ev.list) EXPECT_NE(e.rfind("log", 0), 0u) << failAt << ": " << e;
        int records = 0;
        for (const auto& e : ev.list) records += e.rfind("rec", 0) == 0;
        EXPECT_EQ(records, 2) << failAt;  // active, then the service's final record
    }
    // Failing in Close comes after the pages were printed: they print again as pictures.
    EXPECT_NE(std::find(ev.list.begin(), ev.list.end(), "Print 0-2 fit"), ev.list.end());
}

TEST_F(DocuvanLogic, TrapLogsStepNumberAndSeparator) {
    serviceThrows = true;
    EXPECT_EQ(Run(0, ""), 1);
    const std::string error = docuvan::texts::kError.str();
    const std::string sep = docuvan::texts::kStepSeparator.str();
    ASSERT_EQ(ev.list.size(), 4u);
    EXPECT_EQ(ev.list[2], "log " + error + "40" + sep + "upload broke");
    EXPECT_EQ(ev.list[3], "rec 77 " + error + "upload broke");

    ev.list.clear();
    Run(-1, "", "no separator here");
    ASSERT_EQ(ev.list.size(), 2u);
    EXPECT_EQ(ev.list[0].rfind("log " + error + "10" + sep, 0), 0u);
    EXPECT_EQ(ev.list[1].rfind("rec no separator here " + error, 0), 0u);
}

}  // namespace
