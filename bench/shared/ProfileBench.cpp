// The settings engine on a file of realistic size: 100 accounts and 100 rules, about 3,000
// keys. Targets: median read of one key under 0.5 ms, median write under 10 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "shared/basINI_IO.h"

namespace {

std::string MakeFile() {
    static std::string path;
    if (!path.empty()) return path;
    char tmpl[] = "/tmp/vellora-bench-XXXXXX";
    static std::string folder = mkdtemp(tmpl);
    std::atexit([] { std::filesystem::remove_all(folder); });
    path = folder + "/vellora.ini";
    std::string text = "[General]\nUserEmail=office@example.com\nCheckInterval=10\n";
    for (int a = 1; a <= 100; ++a) {
        text += "\n[Account" + std::to_string(a) + "]\n";
        for (const char* k :
             {"ID", "Server", "Port", "IMAP", "POP", "SSL", "EncryptedLogin", "NTLM", "UserName",
              "Password", "LastMessage", "PrintAll", "PrintNew"})
            text += std::string(k) + "=value of " + k + " for account " + std::to_string(a) + "\n";
    }
    for (int r = 1; r <= 100; ++r) {
        text += "\n[Rule" + std::to_string(r) + "]\nID=" + std::to_string(r) + "\nName=Rule " +
                std::to_string(r) + "\n";
        for (int k = 0; k < 3; ++k)
            text += "Field" + std::to_string(k) + "=Subject\nCondition" + std::to_string(k) +
                    "=Contains\nValue" + std::to_string(k) + "=invoice " + std::to_string(r) + "\n";
        text += "Join0=And\nJoin1=Or\nPrintBody=1\nPrintAttachments=1\nPrinter=Office\n";
    }
    text += "\n[Jobs]\n";
    FILE* f = std::fopen(path.c_str(), "w");
    std::fputs(text.c_str(), f);
    std::fclose(f);
    return path;
}

void BM_ReadOneKey(benchmark::State& state) {
    const std::string path = MakeFile();
    for (auto _ : state) {
        auto v = basINI_IO::ReadSettingText(path, "Rule100", "Printer");
        benchmark::DoNotOptimize(v);
    }
}

void BM_WriteOneKey(benchmark::State& state) {
    const std::string path = MakeFile();
    int n = 0;
    for (auto _ : state)
        basINI_IO::WriteSettingText("RUNNING - " + std::to_string(++n), path, "Jobs", "Job1234567");
}

}  // namespace

BENCHMARK(BM_ReadOneKey)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_WriteOneKey)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
