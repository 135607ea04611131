// The two services as a client sees them, on 127.0.0.1:
//  - vellora-convertd: one 10-page A4 PDF uploaded and turned into 150-dpi PNG pages
//    (target: about 0.1 s a page), and one HEIC photo turned into one PNG;
//  - vellora-notifyd: one notification request until the SMTP server has taken the mail
//    (target: well under 0.1 s);
//  - either service with 16 slow clients connected (one byte every 300 ms): a normal request's
//    answer time (target: within 2 s), and convertd's peak resident memory after a 40 MB
//    chunked body against its 2 MB limit (bounded).
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "platform/http/Http.h"
#include "services/notifyd/NotifyProtocol.h"
#include "tests/services/RawHttp.h"
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

// Sixteen connections that dribble a request head, kept up while the benchmark runs.
class SlowClients {
  public:
    explicit SlowClients(int port) {
        for (int i = 0; i < 16; ++i) fds_.push_back(vtest::raw::Connect(port));
        thread_ = std::thread([this] {
            const std::string text = "GET /slowly HTTP/1.1\r\nHost: x";
            for (std::size_t i = 0; !stop_; i = (i + 1) % text.size()) {
                for (int fd : fds_) (void)::send(fd, &text[i], 1, MSG_NOSIGNAL | MSG_DONTWAIT);
                std::this_thread::sleep_for(300ms);
            }
        });
    }
    ~SlowClients() {
        stop_ = true;
        thread_.join();
        for (int fd : fds_) ::close(fd);
    }

  private:
    std::vector<int> fds_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

void ConvertdAnswersThroughSlowClients(benchmark::State& state) {
    vtest::ConvertService::Options o;
    o.maxUploadBytes = 2L * 1024 * 1024;
    o.extraArgs = {"--request-time", "60"};  // the slow ones stay for the whole benchmark
    vtest::ConvertService svc(o);
    vtest::TempDir dir;
    vtest::Run({"/usr/bin/convert", "-size", "200x100", "xc:blue", dir / "p.png"});
    SlowClients slow(svc.port());
    for (auto _ : state) {
        const auto r =
            vellora::http::PostForm(svc.url() + "/convert", {{"jobid", "1"}, {"type", "png"}},
                                    {"document", dir / "p.png"}, 10s);
        if (r.status != 200) {
            state.SkipWithError(r.body.c_str());
            break;
        }
    }
    const std::string chunk = "10000\r\n" + std::string(64 * 1024, 'c') + "\r\n";
    vtest::raw::Send(svc.port(),
                     "POST /convert HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(svc.port()) +
                         "\r\nTransfer-Encoding: chunked\r\n\r\n",
                     chunk, 640);
    state.counters["peak_rss_MB"] = static_cast<double>(vtest::raw::PeakKb(svc.pid())) / 1024.0;
}
BENCHMARK(ConvertdAnswersThroughSlowClients)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseRealTime();

void NotifydAnswersThroughSlowClients(benchmark::State& state) {
    vtest::SmtpServer smtp;
    vtest::NotifyService::Options o;
    o.smtpUrl = smtp.url();
    o.extraArgs = {"--request-time", "60"};
    vtest::NotifyService svc(o);
    SlowClients slow(svc.port());
    for (auto _ : state) {
        const auto r = vellora::http::Get(
            vellora::notify::RequestUrl(svc.url(), "ok", "s", "body", "a@example.test"), 10s);
        if (r.body.compare(0, 4, "SENT") != 0) {
            state.SkipWithError(r.body.c_str());
            break;
        }
    }
}
BENCHMARK(NotifydAnswersThroughSlowClients)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
