// Each office helper's own time beside the bare office program's time for the same document,
// in one run: `soffice --convert-to pdf` with a warm profile against the helper (private copy,
// private profile, watchdog, PDF check, CUPS submission, job records). Slidor runs without
// its fixed pause. Target: the helpers add under 20 %.
//
// Each helper runs twice a round: in the sandbox (as it does wherever bubblewrap runs) and on
// the unconfined road (VELLORA_BWRAP pointing at nothing, as on a machine without user
// namespaces); the last column is what the sandbox costs a document.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/common/Stats.h"
#include "tests/office/HelperRunner.h"
#include "tests/office/OfficeTestDocs.h"
#include "tests/support/Cups.h"

namespace {

using Ms = std::chrono::duration<double, std::milli>;

using vbench::Fastest;
using vbench::Median;

double TimeBare(const std::string& doc, const std::string& profile, const std::string& out) {
    const auto start = std::chrono::steady_clock::now();
    vtest::Run({"/usr/bin/soffice", "-env:UserInstallation=file://" + profile, "--headless",
                "--convert-to", "pdf", "--outdir", out, doc});
    return Ms(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    vtest::Cups cups;
    cups.AddPrinter("Bench");
    cups.SetServerDefault("Bench");
    vtest::TempDir docs("bench-office");
    vtest::office::MakeOfficeDocuments(docs.path());
    const std::string profile = docs / "bare-profile";
    struct Case {
        const char* helper;
        const char* file;
    };
    const std::vector<Case> cases = {
        {"scriblet", "word.docx"}, {"gridlet", "sheets.xlsx"}, {"slidor", "slides.pptx"}};
    std::printf("%-9s %-12s %18s %18s %18s %22s\n", "helper", "document", "bare ms min/med",
                "helper ms min/med", "overhead min/paired", "sandbox ms med (unconf)");
    bool allUnder = true;
    for (const auto& c : cases) {
        vtest::helpers::HelperRunner helper(cups, c.helper);
        const std::string doc = docs / c.file;
        const std::map<std::string, std::string> env = {{"VELLORA_SLIDOR_PRINT_WAIT", "0"}};
        TimeBare(doc, profile, docs / "out");  // warm both profiles first, untimed
        helper.RunOn(doc, env);
        std::map<std::string, std::string> unconfinedEnv = env;
        unconfinedEnv["VELLORA_BWRAP"] = docs / "no-bwrap";
        std::vector<double> bare, own, unconfined, sandbox;
        for (int i = 0; i < rounds; ++i) {
            bare.push_back(TimeBare(doc, profile, docs / "out"));
            const auto r = helper.RunOn(doc, env);
            const auto u = helper.RunOn(doc, unconfinedEnv);
            if (r.record != vtest::helpers::HelperRunner::Status().done ||
                u.record != vtest::helpers::HelperRunner::Status().done) {
                std::printf("%s failed: %s %s\n", c.helper, r.record.c_str(), u.record.c_str());
                return 1;
            }
            own.push_back(static_cast<double>(r.took.count()));
            unconfined.push_back(static_cast<double>(u.took.count()));
            sandbox.push_back(own.back() - unconfined.back());
        }
        const double b = Median(bare), h = Median(own);
        const double bf = Fastest(bare), hf = Fastest(own);
        const double overheadFast = (hf - bf) / bf * 100.0;
        // Each round runs both back to back, so the difference within a round is the least
        // disturbed measure of what the helper adds.
        std::vector<double> added;
        for (std::size_t i = 0; i < bare.size(); ++i) added.push_back(own[i] - bare[i]);
        const double overhead = Median(added) / b * 100.0;
        allUnder = allUnder && overhead < 20.0;
        std::printf("%-9s %-12s %8.0f /%8.0f %8.0f /%8.0f %7.1f%% /%6.1f%% %+10.0f (%6.0f)\n",
                    c.helper, c.file, bf, b, hf, h, overheadFast, overhead, Median(sandbox),
                    Median(unconfined));
    }
    std::printf("%d rounds; target (paired medians): under 20%% -> %s\n", rounds,
                allUnder ? "met" : "NOT met");
    return 0;
}
