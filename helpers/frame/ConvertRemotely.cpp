#include "helpers/frame/HelperFrame.h"
#include "shared/Literal.h"

namespace vellora::helper {

// Until the conversion client is in place the service counts as unreachable; the job fails
// with that description instead of waiting for the dispatcher's time-out.
bool ConvertRemotely(HelperRun& run, const ConversionRequest& request) {
    (void)request;
    const std::string text = run.ErrorText() + VL("the conversion service cannot be reached");
    run.FailWith(text, text);
    return false;
}

}  // namespace vellora::helper
