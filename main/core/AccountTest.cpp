#include "main/core/AccountTest.h"

#include <exception>

#include "main/core/MainTexts.h"

namespace vellora::core {
namespace tx = vellora::core::texts;

std::int32_t ParsePort(const std::string& text) {
    if (text.empty() || text.size() > 5) return 0;
    std::int32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
    }
    return value <= 65535 ? value : 0;
}

void TestAccount(mail::MailSession& session, Dialogs& dialogs, const TypedAccount& typed) {
    if (typed.server.empty()) return;
    const auto show = [&](const std::string& text) {
        dialogs.MessageBox(text, MsgButtons::Ok, tx::kTestTitle.str());
    };
    try {
        session.Reset();
        if (typed.pop) {
            session.SetImap(false);
        } else if (typed.imap) {
            session.SetImap(true);
        } else {
            return show(tx::kTestNoProtocol.str());
        }
        // No port: the protocol's default, as the mail check gives an account without one.
        const std::int32_t port = typed.port.empty() ? 0 : ParsePort(typed.port);
        if (port == 0 && !typed.port.empty()) return show(tx::kTestBadPort.str());
        session.SetPort(port);
        if (typed.ssl && session.InitSsl() != 0) return show(tx::kTestTlsFailed.str());
        session.SetNtlm(typed.ntlm);
        const std::int32_t code =
            typed.encryptedLogin ? session.LoginEncrypted(typed.server, typed.user, typed.password)
                                 : session.Login(typed.server, typed.user, typed.password);
        show(code != 0 ? tx::kTestConnectFailed.str() : tx::kTestWorks.str());
    } catch (const std::exception& e) {
        // A failing component call ends the test, never the program.
        show(tx::kTestConnectFailed.str() + "\n" + e.what());
    }
}

}  // namespace vellora::core
