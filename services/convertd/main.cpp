// vellora-convertd: turns uploaded documents into PNG pages and serves them.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "services/common/RequestLog.h"
#include "services/convertd/ConvertTexts.h"
#include "services/convertd/Options.h"
#include "services/convertd/PdfRender.h"
#include "services/convertd/Service.h"

int main(int argc, char** argv) {
    namespace t = vellora::convertd::texts;
    if (argc > 1 && argv[1] == t::kRenderPdfMode.str()) {
        return vellora::convertd::RenderPdfMain(argc, argv);
    }
    vellora::convertd::Options options;
    if (auto bad = vellora::convertd::ParseOptions(std::vector<std::string>(argv + 1, argv + argc),
                                                   options)) {
        std::cerr << t::kBadOption.str() << *bad << "\n" << t::kUsage.str();
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(options.resultsDir, ec);
    std::filesystem::create_directories(options.workDir, ec);
    if (!vellora::service::OpenLog(options.logFile)) {
        std::cerr << t::kBadOption.str() << options.logFile << "\n";
        return 2;
    }
    // A machine where the sandbox cannot run is named once in the log, at the first upload.
    vellora::confine::SetNoticeHandler(
        [](const std::string& text) { vellora::service::LogLine(text); });
    vellora::convertd::Service service(options);
    if (!service.Run()) {
        std::cerr << t::kCannotBind.str() << options.listen << ":" << options.port << "\n";
        return 1;
    }
    return 0;
}
