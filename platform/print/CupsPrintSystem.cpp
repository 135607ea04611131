#include "platform/print/CupsPrintSystem.h"

#include <strings.h>

#include "platform/print/CupsConnection.h"
#include "platform/print/CupsPrint.h"

namespace vellora::print {
namespace detail {

namespace {
// With no callback libcups gives up a request once the time-out has passed.
int GiveUp(http_t*, void*) {
    return 0;
}
}  // namespace

CupsConnection::CupsConnection() {
    http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                         kConnectMs, nullptr);
    if (http_) httpSetTimeout(http_, kRequestSeconds, GiveUp, nullptr);
}

CupsConnection::~CupsConnection() {
    if (http_) httpClose(http_);
}

DestList::DestList(http_t* http) {
    if (http) count_ = cupsGetDests2(http, &dests_);
}

DestList::~DestList() {
    cupsFreeDests(count_, dests_);
}

}  // namespace detail

std::vector<std::string> CupsPrintSystem::Printers() {
    detail::CupsConnection http;
    detail::DestList dests(http.get());
    std::vector<std::string> names;
    for (const cups_dest_t& d : dests) {
        if (!d.instance) names.emplace_back(d.name);
    }
    return names;
}

std::string CupsPrintSystem::GetSystemPrinter() {
    return DefaultDestination();
}

bool CupsPrintSystem::SwitchPrinter(const std::string& name) {
    if (name.empty()) return false;
    detail::CupsConnection http;
    if (!http.get()) return false;
    detail::DestList dests(http.get());
    cups_dest_t* chosen = nullptr;
    for (cups_dest_t& d : dests) {
        if (!d.instance && strcasecmp(d.name, name.c_str()) == 0) {
            chosen = &d;
            break;
        }
    }
    if (!chosen) return false;
    for (cups_dest_t& d : dests) d.is_default = 0;
    chosen->is_default = 1;
    // The default is recorded under the name as the caller gave it; libcups matches
    // destination names without regard to letter case when it reads lpoptions back.
    char* own = chosen->name;
    std::string given = name;
    chosen->name = given.data();
    const int rc = cupsSetDests2(http.get(), dests.size(), dests.data());
    chosen->name = own;
    return rc == 0;
}

}  // namespace vellora::print
