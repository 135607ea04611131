// The two services as a client sees them, on 127.0.0.1:
//  - vellora-convertd: one 10-page A4 PDF uploaded and turned into 150-dpi PNG pages
//    (target: about 0.1 s a page), and one HEIC photo turned into one PNG;
//  - vellora-notifyd: one notification request until the SMTP server has taken the mail
//    (target: well under 0.1 s).
#include <benchmark/benchmark.h>

#include "platform/http/Http.h"
#include "services/notifyd/NotifyProtocol.h"
#include "tests/support/Pdf.h"
#include "tests/support/Services.h"
#include "tests/support/Smtp.h"

namespace {
using namespace std::chrono_literals;

void Convert(benchmark::State& state, const std::string& path, const std::string& type,
             std::size_t pages) {
    vtest::ConvertService svc;
    for (auto _ : state) {
        const auto r = vellora::http::PostForm(
            svc.url() + "/convert", {{"jobid", "1"}, {"type", type}}, {"document", path}, 120s);
        if (r.status != 200) {
            state.SkipWithError(r.body.c_str());
            break;
        }
    }
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(state.iterations() * pages),
                                                   benchmark::Counter::kIsRate);
}

void ConvertTenPagePdf(benchmark::State& state) {
    vtest::TempDir dir;
    std::vector<std::string> texts;
    for (int i = 1; i <= 10; ++i) texts.push_back("Page " + std::to_string(i) + " of ten");
    vtest::WriteFile(dir / "ten.pdf", vtest::MakePdf(texts));
    Convert(state, dir / "ten.pdf", "pdf", 10);
}
BENCHMARK(ConvertTenPagePdf)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void ConvertHeicPhoto(benchmark::State& state) {
    vtest::TempDir dir;
    vtest::Run({"/usr/bin/convert", "-size", "2000x1500", "plasma:fractal", dir / "p.heic"});
    Convert(state, dir / "p.heic", "heic", 1);
}
BENCHMARK(ConvertHeicPhoto)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void NotifyOneMail(benchmark::State& state) {
    vtest::SmtpServer smtp;
    vtest::NotifyService::Options o;
    o.smtpUrl = smtp.url();
    vtest::NotifyService svc(o);
    for (auto _ : state) {
        const auto r = vellora::http::Get(
            vellora::notify::RequestUrl(svc.url(), "ok", "Bench & #1", "body", "a@example.test"),
            10s);
        if (r.body.compare(0, 4, "SENT") != 0) {
            state.SkipWithError(r.body.c_str());
            break;
        }
    }
}
BENCHMARK(NotifyOneMail)->Unit(benchmark::kMillisecond)->Iterations(50)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
