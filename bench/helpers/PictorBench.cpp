// A 12-megapixel photo printed by the built pictor against a private cupsd, from the start
// of the program until the printed page has landed at the printer (target: under 1.5 s).
#include <benchmark/benchmark.h>

#include <chrono>

#include "tests/helpers/HelperRunner.h"

namespace {

void PictorTwelveMegapixelPhoto(benchmark::State& state) {
    vtest::Cups cups;
    cups.AddPrinter("Bench");
    vtest::HelperInstall install(cups);
    install.SetDefaultPrinter("Bench");
    const std::string photo = install / "photo.jpg";
    vtest::MakePicture({"-size", "4000x3000", "plasma:fractal", "-quality", "90", photo});
    int id = 1000;
    double pictorSeconds = 0;
    for (auto _ : state) {
        const std::size_t before = cups.PrintedFiles("Bench").size();
        const auto start = std::chrono::steady_clock::now();
        const int code = install.Run("pictor", std::to_string(++id) + "@\"" + photo + "\" jpg");
        pictorSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (code != 0 || !cups.WaitForPrinted("Bench", before + 1)) {
            state.SkipWithError("the photo was not printed");
            break;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["pictor_run_s"] =
        benchmark::Counter(pictorSeconds / static_cast<double>(state.iterations()));
}
BENCHMARK(PictorTwelveMegapixelPhoto)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
