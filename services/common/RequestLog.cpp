#include "services/common/RequestLog.h"

#include <signal.h>

#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>

#include "shared/Literal.h"

namespace vellora::service {
namespace {

std::FILE* g_log = stderr;
std::mutex g_logMutex;

std::string Now() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, VL("%Y-%m-%dT%H:%M:%S").c_str(), &tm);
    return buf;
}

// Keeps a line on one line whatever a caller put into it.
std::string Flatten(std::string s, std::size_t max) {
    if (s.size() > max) s.resize(max);
    for (char& c : s) {
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    }
    return s;
}

}  // namespace

bool OpenLog(const std::string& path) {
    if (path.empty()) return true;
    std::FILE* f = std::fopen(path.c_str(), "a");
    if (!f) return false;
    g_log = f;
    return true;
}

void LogLine(const std::string& line) {
    std::lock_guard lock(g_logMutex);
    std::fputs((Now() + " " + line + "\n").c_str(), g_log);
    std::fflush(g_log);
}

void LogRequest(const httplib::Request& req, const httplib::Response& res,
                const std::string& extra) {
    const std::string answer = res.body.substr(0, res.body.find('\n'));
    std::string line = req.remote_addr + " " + req.method + " " + Flatten(req.path, 200) + " " +
                       std::to_string(res.status) + " " + Flatten(answer, 200);
    if (!extra.empty()) line += " " + Flatten(extra, 300);
    LogLine(line);
}

void StopOnSignals(std::function<void()> stop) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([set, stop = std::move(stop)] {
        int sig = 0;
        sigwait(&set, &sig);
        stop();
    }).detach();
}

void Answer(httplib::Response& res, int status, const std::string& text) {
    res.status = status;
    res.set_content(text + "\n", VL("text/plain; charset=utf-8"));
}

}  // namespace vellora::service
