// vellora-notifyd: takes a notification as one HTTP GET and sends it as one mail message.
#include <httplib.h>

#include <iostream>
#include <vector>

#include "services/common/Gate.h"
#include "services/common/HttplibBridge.h"
#include "services/common/RequestLog.h"
#include "services/notifyd/Composer.h"
#include "services/notifyd/Config.h"
#include "services/notifyd/NotifyProtocol.h"
#include "services/notifyd/NotifyTexts.h"
#include "services/notifyd/RateLimit.h"
#include "services/notifyd/SmtpSender.h"

namespace {
using namespace vellora;
using service::Answer;

void HandleNotify(const notifyd::Config& config, notifyd::RateLimit& rate,
                  const httplib::Request& req, httplib::Response& res) {
    const std::string error = notify::kErrorWord.str() + " ";
    const std::string keys[] = {notify::kKeyKind.str(), notify::kKeySubject.str(),
                                notify::kKeyBody.str(), notify::kKeyRecipient.str()};
    for (const auto& key : keys) {
        if (!req.has_param(key.c_str())) {
            return Answer(res, 400, error + notifyd::texts::kMissingValue.str() + key);
        }
    }
    notifyd::Notification n{
        req.get_param_value(keys[0].c_str()), req.get_param_value(keys[1].c_str()),
        req.get_param_value(keys[2].c_str()), req.get_param_value(keys[3].c_str())};
    if (auto refused = notifyd::Validate(n)) return Answer(res, 400, error + *refused);
    if (!notifyd::RecipientAllowed(config, n.recipient)) {
        return Answer(res, 403, error + notifyd::texts::kNotAllowed.str());
    }
    if (!rate.Take()) {
        return Answer(res, 429,
                      error + notifyd::texts::kTooMany.str() + std::to_string(rate.PerMinute()));
    }
    if (auto failed = notifyd::SendMail(config, n.recipient, notifyd::Compose(n, config.from))) {
        return Answer(res, 502, error + notifyd::texts::kSendFailed.str() + *failed);
    }
    Answer(res, 200, notify::kSuccessWord.str());
}

}  // namespace

int main(int argc, char** argv) {
    namespace t = notifyd::texts;
    notifyd::Config config;
    if (auto bad = notifyd::ParseConfig(std::vector<std::string>(argv + 1, argv + argc), config)) {
        std::cerr << t::kBadOption.str() << *bad << "\n" << t::kUsage.str();
        return 2;
    }
    if (!service::OpenLog(config.logFile)) {
        std::cerr << t::kBadOption.str() << config.logFile << "\n";
        return 2;
    }
    service::GatedServer server;
    constexpr std::size_t kMaxBody = 64 * 1024;  // a notification is a GET: no body is needed
    server.set_payload_max_length(kMaxBody);
    notifyd::RateLimit rate(config.mailsPerMinute);
    server.Get(notify::kPath.str(),
               [&config, &rate](const httplib::Request& req, httplib::Response& res) {
                   HandleNotify(config, rate, req, res);
               });
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) {
            Answer(res, res.status, notify::kErrorWord.str() + " " + t::kNotFound.str());
        }
    });
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
            Answer(res, 500, notify::kErrorWord.str() + " " + t::kInternal.str());
        });
    server.set_logger([](const httplib::Request& req, const httplib::Response& res) {
        const std::string to = req.get_param_value(notify::kKeyRecipient.str().c_str());
        service::LogRequest(req, res,
                            to.empty() ? std::string() : notify::kKeyRecipient.str() + "=" + to);
    });
    service::GateOptions gateOptions;
    gateOptions.listen = config.listen;
    gateOptions.port = config.port;
    gateOptions.maxBody = kMaxBody;
    gateOptions.requestTime = std::chrono::seconds(config.requestSeconds);
    gateOptions.hostNames = config.hostNames;
    gateOptions.errorWord = notify::kErrorWord.str();
    gateOptions.log = [](const std::string& line) { service::LogLine(line); };
    service::Gate gate(gateOptions, [&server](service::ParsedRequest&& r, const service::Peer& p) {
        return server.Serve(std::move(r), p);
    });
    service::StopOnSignals([&gate] { gate.Stop(); });
    if (!gate.Bind()) {
        std::cerr << t::kCannotBind.str() << config.listen << ":" << config.port << "\n";
        return 1;
    }
    service::LogLine(t::kListening.str() + config.listen + ":" + std::to_string(config.port));
    if (config.allowed.empty() && config.owners.empty()) service::LogLine(t::kNobodyAllowed.str());
    gate.Run();
    return 0;
}
