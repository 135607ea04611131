#include "platform/print/CupsPrint.h"

#include <unistd.h>

#include <memory>

#include "platform/print/CupsConnection.h"

namespace vellora::print {
namespace {

struct DestDeleter {
    void operator()(cups_dest_t* d) const { cupsFreeDests(1, d); }
};
using DestPtr = std::unique_ptr<cups_dest_t, DestDeleter>;

struct OptionList {
    int count = 0;
    cups_option_t* options = nullptr;
    ~OptionList() { cupsFreeOptions(count, options); }
    void Add(const std::string& name, const std::string& value) {
        count = cupsAddOption(name.c_str(), value.c_str(), count, &options);
    }
};

constexpr double kPointsPerHundredthMm = 72.0 / 2540.0;

}  // namespace

std::string DefaultDestination() {
    detail::CupsConnection http;
    if (!http.get()) return {};
    DestPtr dest(cupsGetNamedDest(http.get(), nullptr, nullptr));
    return dest ? std::string(dest->name) : std::string();
}

PrintResult PrintFile(const std::string& path, const std::string& title,
                      const PrintOptions& options) {
    PrintResult result;
    if (access(path.c_str(), R_OK) != 0) {
        result.error = "cannot read " + path;
        return result;
    }
    detail::CupsConnection http;
    if (!http.get()) {
        result.error = std::string("cannot reach the print server: ") + cupsLastErrorString();
        return result;
    }
    DestPtr dest(cupsGetNamedDest(http.get(), nullptr, nullptr));
    if (!dest) {
        result.error = "no default printer";
        return result;
    }
    OptionList list;
    for (int i = 0; i < dest->num_options; ++i)
        list.Add(dest->options[i].name, dest->options[i].value);
    if (options.fitToPage) list.Add("fit-to-page", "true");
    if (!options.pageRanges.empty()) list.Add("page-ranges", options.pageRanges);
    for (const auto& [k, v] : options.extra) list.Add(k, v);
    const int job = cupsPrintFile2(http.get(), dest->name, path.c_str(), title.c_str(), list.count,
                                   list.options);
    if (job <= 0) {
        result.error = cupsLastErrorString();
        if (result.error.empty()) result.error = "the printer refused the job";
        return result;
    }
    result.jobId = job;
    return result;
}

// The media name the destination prints on by default: a saved "media" option, else the
// printer's media-default. (cupsGetDestMediaDefault answers Letter for some A4 queues.)
static std::string DefaultMediaName(http_t* http, cups_dest_t* dest) {
    if (const char* saved = cupsGetOption("media", dest->num_options, dest->options)) return saved;
    cups_dinfo_t* info = cupsCopyDestInfo(http, dest);
    if (!info) return {};
    std::string name;
    if (ipp_attribute_t* a = cupsFindDestDefault(http, dest, info, "media")) {
        if (const char* s = ippGetString(a, 0, nullptr)) name = s;
    }
    cupsFreeDestInfo(info);
    return name;
}

PageSize DefaultPaperSize() {
    detail::CupsConnection http;
    if (!http.get()) return kA4;
    DestPtr dest(cupsGetNamedDest(http.get(), nullptr, nullptr));
    if (!dest) return kA4;
    const std::string name = DefaultMediaName(http.get(), dest.get());
    if (name.empty()) return kA4;
    pwg_media_t* media = pwgMediaForPWG(name.c_str());
    if (!media) media = pwgMediaForLegacy(name.c_str());
    if (!media) media = pwgMediaForPPD(name.c_str());
    if (!media || media->width <= 0 || media->length <= 0) return kA4;
    return {media->width * kPointsPerHundredthMm, media->length * kPointsPerHundredthMm};
}

}  // namespace vellora::print
