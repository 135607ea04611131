// The conversion client against a scripted answer server (cpp-httplib on 127.0.0.1), with a
// manual clock and a stand-in for the Pictor sub-runs that writes their records.
#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <thread>

#include "helpers/frame/ConversionClient.h"
#include "helpers/frame/ConversionTexts.h"
#include "shared/AppFolder.h"
#include "shared/modJob.h"
#include "tests/support/TestSupport.h"

namespace {
using namespace vellora::helper;
using namespace std::chrono_literals;
namespace ct = vellora::helper::conversion_texts;

// Answers the upload with a scripted status and body, and serves scripted result files.
class AnswerServer {
  public:
    AnswerServer() {
        server_.Post("/convert", [this](const httplib::Request& req, httplib::Response& res) {
            for (const auto& [name, part] : req.files) {
                fields[name] = part.content;
            }
            res.status = status;
            res.set_content(body, "text/plain");
        });
        server_.Get("/results/(.*)", [this](const httplib::Request& req, httplib::Response& res) {
            const std::string name = req.matches[1];
            fetched.push_back(name);
            if (!results.count(name)) {
                res.status = 404;
                res.set_content("ERROR no such result\n", "text/plain");
                return;
            }
            res.set_content(results[name], "image/png");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // stop() before the loop runs would be lost, and the join would wait for ever.
        vtest::WaitFor([this] { return server_.is_running(); }, 5s);
    }
    ~AnswerServer() {
        server_.stop();
        thread_.join();
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }

    int status = 200;
    std::string body = "OK\n";
    std::map<std::string, std::string> results, fields;
    std::vector<std::string> fetched;

  private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

struct RecordingSink : Sink {
    std::vector<std::string> logs;
    std::vector<std::pair<std::string, std::string>> records;
    void Log(const std::string& text) override { logs.push_back(text); }
    void Record(const std::string& id, const std::string& value) override {
        records.emplace_back(id, value);
    }
};

class ConversionClient : public ::testing::Test {
  protected:
    ConversionClient() {
        vellora::SetAppFolderForTesting(folder_.path());
        modJob::ResetForTesting();
        vtest::WriteFile(document_, "%PDF-1.4 the document");
        seams_.serviceUrl = server_.url();
        seams_.startSubRun = [this](const std::string& program, const std::string& argument) {
            return StartSubRun(program, argument);
        };
        setup_.style = ParseStyle::kPictor;
        setup_.errorText = "ERROR Pictor: ";
        setup_.stepSeparator = " - ";
    }
    ~ConversionClient() override {
        vellora::SetAppFolderForTesting("");
        modJob::ResetForTesting();
    }

    // The stand-in sub-run: answers with the next scripted outcome ("done", "fail:<detail>",
    // "silent", or "refuse" to fail the start) and remembers what it was given.
    bool StartSubRun(const std::string& program, const std::string& argument) {
        programs_.push_back(program);
        arguments_.push_back(argument);
        const std::string id = argument.substr(0, argument.find('@'));
        const auto q = argument.find('"');
        const std::string path = argument.substr(q + 1, argument.rfind('"') - q - 1);
        printed_.push_back(vtest::ReadFile(path));
        subIds_.push_back(id);
        const std::string outcome = outcomes_.empty() ? "done" : outcomes_.front();
        if (!outcomes_.empty()) outcomes_.erase(outcomes_.begin());
        if (outcome == "refuse") return false;
        if (outcome == "done") modJob::WriteJobRecord(modJob::Status().done, id);
        if (outcome.rfind("fail:", 0) == 0) {
            modJob::WriteJobRecord("ERROR Pictor: " + outcome.substr(5), id);
        }
        return true;
    }

    // One Pictor (or Docuvan) run whose print step is the conversion client.
    int Run(ConversionUser user = ConversionUser::kPictor) {
        if (user == ConversionUser::kDocuvan) {
            setup_.style = ParseStyle::kStripQuotes;
            setup_.errorText = "ERROR Docuvan: ";
            setup_.stepSeparator = " : ";
        }
        const std::string token = user == ConversionUser::kPictor ? "pcx" : "";
        const std::string line = "77@\"" + document_ + "\"" + (token.empty() ? "" : " " + token);
        start_ = clock_.Now();
        return RunHelperOn(
            line, setup_,
            [&](HelperRun& run) {
                ConvertRemotely(run, {user, run.Line().path, token.empty() ? "pdf" : token},
                                seams_);
                return Outcome::kRecorded;
            },
            sink_, clock_);
    }

    std::string Final() const { return sink_.records.empty() ? "" : sink_.records.back().second; }
    std::string Tmp(const std::string& name) const { return folder_ / ("tmp/" + name); }

    vtest::TempDir folder_{"client"};
    std::string document_ = folder_ / "in.pcx";
    AnswerServer server_;
    ConversionSeams seams_;
    HelperSetup setup_;
    RecordingSink sink_;
    ManualClock clock_{std::chrono::system_clock::now()};
    TimePoint start_;
    std::vector<std::string> outcomes_, programs_, arguments_, printed_, subIds_;
};

TEST_F(ConversionClient, OnlyTheMarkerPrintsNothingAndEndsDone) {
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Final(), modJob::Status().done);
    EXPECT_TRUE(arguments_.empty());
    // What was sent: the document in its file field, the job id and the type token.
    EXPECT_EQ(server_.fields["document"], "%PDF-1.4 the document");
    EXPECT_EQ(server_.fields["jobid"], "77");
    EXPECT_EQ(server_.fields["type"], "pcx");
}

TEST_F(ConversionClient, Status200WithoutTheMarkerIsTheNoResultsFailure) {
    server_.body = "KO\nx.png\n";
    server_.results["x.png"] = "picture";
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(Final(), "ERROR Pictor: " + ct::kNoResultsError.str());
    EXPECT_EQ(sink_.logs.back(), Final());
    EXPECT_TRUE(server_.fetched.empty());
    EXPECT_TRUE(arguments_.empty());
}

TEST_F(ConversionClient, ShortLinesAreSkippedAndEachPictureGetsItsOwnSubRun) {
    server_.body = "OK\nx\n\na.png\nb.png\n";
    server_.results = {{"a.png", "AAAA"}, {"b.png", "BBB"}};
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Final(), modJob::Status().done);
    EXPECT_EQ(server_.fetched, (std::vector<std::string>{"a.png", "b.png"}));
    ASSERT_EQ(arguments_.size(), 2u);
    EXPECT_EQ(printed_, (std::vector<std::string>{"AAAA", "BBB"}));
    EXPECT_EQ(programs_[0], folder_ / "pictor");
    EXPECT_EQ(arguments_[0], subIds_[0] + "@\"" + Tmp("a.png") + "\" png");
    EXPECT_NE(subIds_[0], subIds_[1]);
    EXPECT_NE(subIds_[0], "77");
    for (const auto& id : subIds_) EXPECT_EQ(modJob::ReadJobRecord(id), "Bad Key");
    EXPECT_EQ(vtest::ReadFile(Tmp("b.png")), "BBB") << "downloads stay in tmp";
}

TEST_F(ConversionClient, AResultOfTwoBytesOrMissingIsTheFetchFailure) {
    server_.body = "OK\nthree.png\ntwo.png\nlater.png\n";
    server_.results = {{"three.png", "abc"}, {"two.png", "ab"}, {"later.png", "later"}};
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(Final(), "ERROR Pictor: " + ct::kFetchError.str());
    EXPECT_EQ(printed_, std::vector<std::string>{"abc"});

    sink_ = {};
    printed_.clear();
    server_.body = "OK\nabsent.png\n";
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(Final(), "ERROR Pictor: " + ct::kFetchError.str()) << "an error page is no picture";
    EXPECT_TRUE(printed_.empty());
}

TEST_F(ConversionClient, AFailedSubRunIsRecordedAndTheJobGoesOn) {
    server_.body = "OK\na.png\nb.png\n";
    server_.results = {{"a.png", "AAAA"}, {"b.png", "BBBB"}};
    outcomes_ = {"fail:paper jam", "done"};
    EXPECT_EQ(Run(), 0);
    const std::string failure = "ERROR Pictor: " + ct::kSubRunError.str() + " Pictor: paper jam";
    ASSERT_GE(sink_.records.size(), 3u);
    EXPECT_EQ(sink_.records[sink_.records.size() - 2].second, failure);
    EXPECT_EQ(Final(), modJob::Status().done);
    EXPECT_EQ(sink_.logs, std::vector<std::string>{failure});
    EXPECT_EQ(arguments_.size(), 2u);
    for (const auto& id : subIds_) EXPECT_EQ(modJob::ReadJobRecord(id), "Bad Key");
}

TEST_F(ConversionClient, ASilentSubRunEndsTheJobWithTheTimeOutAfterSixtySeconds) {
    server_.body = "OK\na.png\nb.png\n";
    server_.results = {{"a.png", "AAAA"}, {"b.png", "BBBB"}};
    outcomes_ = {"silent"};
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(Final(), "ERROR Pictor: " + ct::kTimeoutError.str());
    EXPECT_EQ(sink_.logs.back(), Final());
    EXPECT_EQ(arguments_.size(), 1u) << "later pictures are not printed";
    const auto waited = clock_.Now() - start_;
    EXPECT_GE(waited, 60s);
    EXPECT_LE(waited, 62s);
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(waited).count() % 2000, 0)
        << "polled every 2 s";
    EXPECT_EQ(modJob::ReadJobRecord(subIds_[0]), "Bad Key");
}

TEST_F(ConversionClient, OnlyPlainFileNamesAreWritten) {
    for (const std::string name : {"../../.profile", "../x.png", "/etc/x.png", ".hidden.png",
                                   "sub/x.png", "..", "a\\b.png"}) {
        sink_ = {};
        server_.body = "OK\n" + name + "\n";
        server_.results[name] = "evil content";
        EXPECT_EQ(Run(), 1) << name;
        EXPECT_EQ(Final(), "ERROR Pictor: " + ct::kNameError.str()) << name;
    }
    EXPECT_TRUE(arguments_.empty());
    EXPECT_FALSE(vtest::Exists(folder_ / ".profile"));
    EXPECT_FALSE(vtest::Exists(folder_ / "x.png"));
    EXPECT_TRUE(server_.fetched.empty());
    EXPECT_TRUE(IsPlainFileName("page-001.png"));
    EXPECT_TRUE(IsPlainFileName("a.b.png"));
}

TEST_F(ConversionClient, ACarriageReturnStaysPartOfTheLineAndTheFetchFails) {
    server_.body = "OK\r\na.png\r\n";
    server_.results["a.png"] = "AAAA";
    EXPECT_EQ(Run(), 1);
    EXPECT_TRUE(modJob::HasStatus(Final(), modJob::Status().failed)) << Final();
    EXPECT_TRUE(arguments_.empty());
    EXPECT_FALSE(vtest::Exists(Tmp("a.png")));
    EXPECT_EQ(sink_.logs.back().rfind("ERROR Pictor: 112 - ", 0), 0u) << "the trap, at the fetch";
}

TEST_F(ConversionClient, AnExistingResultIsWrittenOverFromItsFirstByte) {
    std::filesystem::create_directories(folder_ / "tmp");
    vtest::WriteFile(Tmp("a.png"), "an older and much longer picture");
    server_.body = "OK\na.png\n";
    server_.results["a.png"] = "new";
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(vtest::ReadFile(Tmp("a.png")), "new");
}

TEST_F(ConversionClient, RefusedRequestRecordsTheHeaderOnOneLine) {
    server_.status = 500;
    server_.body = "ERROR boom\n";
    EXPECT_EQ(Run(), 1);
    const std::string record = Final();
    EXPECT_EQ(record.rfind("ERROR Pictor: " + ct::kRequestError.str() + "HTTP/1.1 500", 0), 0u)
        << record;
    EXPECT_EQ(record.find_first_of("\r\n"), std::string::npos);
    const std::string log = sink_.logs.back();
    EXPECT_NE(log.find("HTTP/1.1 500"), std::string::npos);
    EXPECT_NE(log.find("\r\n\r\n\r\nERROR boom"), std::string::npos) << log;
}

TEST_F(ConversionClient, UploadFailureRecordsDifferForPictorAndDocuvan) {
    seams_.serviceUrl = "http://127.0.0.1:" + std::to_string(vtest::FreeTcpPort());
    EXPECT_EQ(Run(ConversionUser::kPictor), 1);
    const std::string pictorRecord = Final();
    EXPECT_EQ(pictorRecord.rfind("ERROR Pictor: " + ct::kUploadError.str(), 0), 0u);
    EXPECT_NE(pictorRecord.find("connect"), std::string::npos) << pictorRecord;

    sink_ = {};
    EXPECT_EQ(Run(ConversionUser::kDocuvan), 1);
    EXPECT_EQ(Final(), "ERROR Docuvan: " + ct::kUploadError.str() + "7") << "libcurl's number";
    EXPECT_EQ(sink_.logs.back().rfind("ERROR Docuvan: " + ct::kUploadError.str(), 0), 0u);
    EXPECT_NE(sink_.logs.back().find("connect"), std::string::npos);
}

TEST_F(ConversionClient, TrapsCarryEachHelpersStepNumbers) {
    server_.body = "OK\na.png\n";
    server_.results["a.png"] = "AAAA";
    outcomes_ = {"refuse"};
    EXPECT_EQ(Run(ConversionUser::kPictor), 1);
    EXPECT_EQ(sink_.logs.back().rfind("ERROR Pictor: 123 - ", 0), 0u) << sink_.logs.back();
    sink_ = {};
    outcomes_ = {"refuse"};
    EXPECT_EQ(Run(ConversionUser::kDocuvan), 1);
    EXPECT_EQ(sink_.logs.back().rfind("ERROR Docuvan: 90 : ", 0), 0u) << sink_.logs.back();
    EXPECT_EQ(Final().rfind("ERROR Docuvan: " + ct::kStartError.str(), 0), 0u);
}

}  // namespace
