// webbin's own time (without its fixed 10 s pause after printing) beside a minimal WebEngine
// print of the same page, in one run. Target: webbin adds under 20 %.
#include <QColor>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/office/HelperRunner.h"
#include "tests/support/Cups.h"

namespace {

using Ms = std::chrono::duration<double, std::milli>;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    vtest::Cups cups;
    cups.AddPrinter("Bench");
    cups.SetServerDefault("Bench");
    vtest::TempDir pages("bench-html");
    QImage banner(600, 200, QImage::Format_RGB32);
    banner.fill(QColor(200, 30, 30));
    banner.save(QString::fromStdString(pages / "banner.png"));
    std::string rows;
    for (int i = 0; i < 40; ++i) {
        rows += "<tr><td style=\"padding:4px;background:#eef\">Item " + std::to_string(i) +
                "</td><td style=\"color:#060\">Offer text for row " + std::to_string(i) +
                "</td></tr>";
    }
    const std::string page = pages / "offer.html";
    vtest::WriteFile(page,
                     "<html><body style=\"font-family:sans-serif\"><img src=\"banner.png\">"
                     "<h1 style=\"color:#036\">Spring sale</h1><table>" +
                         rows + "</table></body></html>");

    vtest::helpers::HelperRunner webbin(cups, "webbin");
    const std::map<std::string, std::string> env = {{"VELLORA_WEBBIN_PRINT_WAIT", "0"}};
    const std::string bareProgram = vtest::BinDir() + "/../bench/bare_webengine_print";
    auto bare = [&] {
        const auto start = std::chrono::steady_clock::now();
        vtest::Run({bareProgram, page, pages / "bare.pdf"});
        return Ms(std::chrono::steady_clock::now() - start).count();
    };
    bare();  // untimed: the first start pays for loading the engine from disk
    webbin.RunOn(page, env);
    std::vector<double> bareTimes, ownTimes;
    for (int i = 0; i < rounds; ++i) {
        bareTimes.push_back(bare());
        const auto r = webbin.RunOn(page, env);
        if (r.record != vtest::helpers::HelperRunner::Status().done) {
            std::printf("webbin failed: %s\n", r.record.c_str());
            return 1;
        }
        ownTimes.push_back(static_cast<double>(r.took.count()));
    }
    const double b = Median(bareTimes), h = Median(ownTimes);
    const double overhead = (h - b) / b * 100.0;
    std::printf("%-8s %10s %10s %9s\n", "page", "bare ms", "webbin ms", "overhead");
    std::printf("%-8s %10.0f %10.0f %8.1f%%\n", "offer", b, h, overhead);
    std::printf("median of %d rounds; target: under 20%% -> %s\n", rounds,
                overhead < 20.0 ? "met" : "NOT met");
    return 0;
}
