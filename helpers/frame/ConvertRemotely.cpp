#include "helpers/frame/ConversionClient.h"
#include "helpers/frame/HelperFrame.h"

namespace vellora::helper {

// The helpers' road to the conversion service: the real address, the real sub-run launcher,
// and the run's own clock.
bool ConvertRemotely(HelperRun& run, const ConversionRequest& request) {
    return ConvertRemotely(run, request, ConversionSeams{});
}

}  // namespace vellora::helper
