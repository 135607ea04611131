#include "shared/modWriteLog.h"

#include <langinfo.h>
#include <clocale>
#include <cstring>
#include <ctime>

#include "shared/AppFolder.h"
#include "shared/PrivateFiles.h"
#include "shared/Texts.h"

namespace modWriteLog {
namespace {

// The date and time as the user's regional settings show them (LC_ALL, LC_TIME or LANG of
// the environment, whatever the program set for itself). The C locale has no regional
// preference and only a two-digit year: there the stamp stays the unambiguous ISO form.
// The formats stay plain text: the literal decoder reports its own failures through here.
std::string Timestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[128];
    std::size_t n = 0;
    if (locale_t user = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr))) {
        const char* dateFormat = nl_langinfo_l(D_FMT, user);
        if (dateFormat && std::strcmp(dateFormat, "%m/%d/%y") != 0)
            n = strftime_l(buf, sizeof buf, "%x %X", &local, user);
        freelocale(user);
    }
    if (n == 0) n = std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(buf, n);
}

}  // namespace

std::string LogFilePath() {
    return vellora::AppFolder() + vellora::texts::kLogFileName.str();
}

void WriteLog(const std::string& text) {
    const std::string path = LogFilePath();
    // It holds mail subjects and server names: for its owner only.
    const int error = vellora::AppendPrivateFile(path, Timestamp() + " " + text + "\n\n");
    if (error != 0) throw LogError(path + ": " + std::strerror(error));
}

}  // namespace modWriteLog
