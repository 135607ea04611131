// The conversion service client of Pictor and Docuvan: upload the document, fetch every
// result picture into the installation folder's tmp folder, and print each through a Pictor
// sub-run under a new job id, one at a time, waiting up to 60 s for each (polled every 2 s
// on the run's clock, which tests replace).
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "helpers/frame/HelperFrame.h"

namespace vellora::helper {

struct ConversionSeams {
    std::string serviceUrl;  // empty: vellora::ConvertServiceUrl()
    // Starts a sub-run (program path, argument text); true when started. Empty: StartDetached.
    std::function<bool(const std::string&, const std::string&)> startSubRun;
    std::chrono::milliseconds uploadTimeout = std::chrono::minutes(5);
    std::chrono::milliseconds fetchTimeout = std::chrono::seconds(60);
};

bool ConvertRemotely(HelperRun& run, const ConversionRequest& request,
                     const ConversionSeams& seams);

// A name the client writes under tmp: not empty, no "/", no "..", no leading dot, no NUL.
bool IsPlainFileName(const std::string& name);

}  // namespace vellora::helper
