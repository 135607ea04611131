#include "tests/support/Cups.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include <cups/cups.h>

namespace vtest {
namespace fs = std::filesystem;
namespace {

constexpr const char* kCupsd = "/usr/sbin/cupsd";
constexpr const char* kSystemServerBin = "/usr/lib/cups";
constexpr const char* kBackendName = "vcapture";

// Writes each job to its own file in the folder named by the device URI. The file appears
// under its final name only when complete, so a reader never sees half a document.
constexpr const char* kBackend = R"(#!/bin/sh
if [ $# -eq 0 ]; then echo 'direct vcapture "Unknown" "Test capture"'; exit 0; fi
dir="${DEVICE_URI#vcapture:}"
part="$dir/.job-$1.part"
if [ $# -ge 6 ]; then cat "$6" > "$part" || exit 1; else cat > "$part" || exit 1; fi
chmod 644 "$part"
mv "$part" "$dir/job-$1.pdf" || exit 1
exit 0
)";

// The only filter of the queue is CUPS's own PDF step: the backend receives a clean PDF
// with page ranges, fit-to-page and the paper size applied.
std::string Ppd(const std::string& pageSize) {
    return R"PPD(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "VCAPTURE.PPD"
*Manufacturer: "Test"
*Product: "(Capture)"
*ModelName: "Test Capture"
*ShortNickName: "Test Capture"
*NickName: "Test Capture"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"
*OpenUI *PageSize/Page Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: )PPD" +
           pageSize + R"PPD(
*PageSize A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*PageSize Letter/Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: )PPD" +
           pageSize + R"PPD(
*PageRegion A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*PageRegion Letter/Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: )PPD" +
           pageSize + R"PPD(
*ImageableArea A4/A4: "0 0 595 842"
*ImageableArea Letter/Letter: "0 0 612 792"
*DefaultPaperDimension: )PPD" +
           pageSize + R"PPD(
*PaperDimension A4/A4: "595 842"
*PaperDimension Letter/Letter: "612 792"
)PPD";
}

int JobNumber(const std::string& fileName) {
    return std::atoi(fileName.c_str() + 4);  // "job-<id>.pdf"
}

}  // namespace

Cups::Cups() : dir_(std::make_unique<TempDir>("cups")) {
    // Filters run as the lp user and must reach the server's folders.
    ::chmod(dir_->path().c_str(), 0755);
    for (const char* sub : {"spool", "spool/tmp", "cache", "state", "log", "printed", "home"})
        fs::create_directories(*dir_ / sub);
    ::chmod((*dir_ / "spool").c_str(), 0755);
    ::chmod((*dir_ / "spool/tmp").c_str(), 01777);
    PrepareServerBin();
    WriteConfiguration();
    Process::Options o;
    o.stdoutFile = *dir_ / "log/cupsd.out";
    cupsd_ =
        Process({kCupsd, "-f", "-c", *dir_ / "cupsd.conf", "-s", *dir_ / "cups-files.conf"}, o);
    const bool up = WaitFor(
        [this] {
            if (!cupsd_.running()) return true;
            std::string text;
            return Exists(Socket()) && Tool({"/usr/bin/lpstat", "-r"}, &text) == 0 &&
                   text.find("not running") == std::string::npos;
        },
        std::chrono::seconds(10), std::chrono::milliseconds(10));
    if (!up || !cupsd_.running())
        throw std::runtime_error("cupsd did not start: " + ReadFile(*dir_ / "log/error_log"));
}

Cups::~Cups() {
    cupsd_.stop();
}

void Cups::PrepareServerBin() {
    const std::string bin = *dir_ / "bin";
    fs::create_directories(bin + "/backend");
    for (const auto& e : fs::directory_iterator(kSystemServerBin)) {
        const std::string name = e.path().filename();
        if (name != "backend") fs::create_symlink(e.path(), bin + "/" + name);
    }
    for (const auto& e : fs::directory_iterator(std::string(kSystemServerBin) + "/backend"))
        fs::create_symlink(e.path(), bin + "/backend/" + e.path().filename().string());
    const std::string backend = bin + "/backend/" + kBackendName;
    WriteFile(backend, kBackend);
    ::chmod(backend.c_str(), 0700);  // 0700: cupsd runs it as root, so it may write anywhere
}

void Cups::WriteConfiguration() {
    const std::string& d = dir_->path();
    WriteFile(d + "/cupsd.conf", "Listen " + Socket() + R"(
LogLevel warn
WebInterface No
Browsing No
DefaultAuthType None
DefaultEncryption Never
MaxJobs 0
PreserveJobHistory No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
)");
    WriteFile(d + "/cups-files.conf",
              "ServerRoot " + d + "\nRequestRoot " + d + "/spool\nTempDir " + d +
                  "/spool/tmp\nCacheDir " + d + "/cache\nStateDir " + d + "/state\nServerBin " + d +
                  "/bin\nAccessLog " + d + "/log/access_log\nErrorLog " + d +
                  "/log/error_log\nPageLog " + d + "/log/page_log\nFileDevice No\n");
}

int Cups::Tool(const std::vector<std::string>& argv, std::string* output) const {
    return Run(argv, output, std::chrono::seconds(30), ProcessOptions());
}

void Cups::AddPrinter(const std::string& name, const std::string& pageSize) {
    const std::string out = PrintedFolder(name);
    fs::create_directories(out);
    const std::string ppd = *dir_ / (name + ".ppd");
    WriteFile(ppd, Ppd(pageSize));
    std::string text;
    if (Tool({"/usr/sbin/lpadmin", "-p", name, "-E", "-v", std::string(kBackendName) + ":" + out,
              "-P", ppd},
             &text) != 0)
        throw std::runtime_error("lpadmin failed for " + name + ": " + text);
}

void Cups::SetServerDefault(const std::string& name) {
    std::string text;
    if (Tool({"/usr/sbin/lpadmin", "-d", name}, &text) != 0)
        throw std::runtime_error("lpadmin -d failed: " + text);
}

void Cups::RejectJobs(const std::string& name) {
    std::string text;
    if (Tool({"/usr/sbin/cupsreject", name}, &text) != 0)
        throw std::runtime_error("cupsreject failed: " + text);
}

std::map<std::string, std::string> Cups::Env() const {
    return {{"CUPS_SERVER", Socket()}, {"CUPS_SERVERROOT", Folder()}, {"HOME", Home()}};
}

Process::Options Cups::ProcessOptions() const {
    Process::Options o;
    o.env = Env();
    o.unsetEnv = {"LPDEST", "PRINTER"};
    return o;
}

void Cups::ApplyToThisProcess() const {
    for (const auto& [k, v] : Env()) ::setenv(k.c_str(), v.c_str(), 1);
    ::unsetenv("LPDEST");
    ::unsetenv("PRINTER");
    cupsSetServer(Socket().c_str());
}

std::string Cups::PrintedFolder(const std::string& printer) const {
    return *dir_ / ("printed/" + printer);
}

std::vector<std::string> Cups::PrintedFiles(const std::string& printer) const {
    std::vector<std::string> names;
    for (const auto& n : ListDir(PrintedFolder(printer)))
        if (n.rfind("job-", 0) == 0) names.push_back(n);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return JobNumber(a) < JobNumber(b);
    });
    for (auto& n : names) n = PrintedFolder(printer) + "/" + n;
    return names;
}

bool Cups::WaitForPrinted(const std::string& printer, std::size_t n,
                          std::chrono::milliseconds timeout) const {
    return WaitFor([&] { return PrintedFiles(printer).size() >= n; }, timeout,
                   std::chrono::milliseconds(20));
}

}  // namespace vtest
