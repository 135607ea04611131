#include "main/core/Accounts.h"

#include <exception>

#include "main/core/MainTexts.h"
#include "shared/Profile.h"
#include "shared/StoredPassword.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "shared/modWriteLog.h"

namespace vellora::core {
namespace {
namespace t = vellora::texts;
using namespace basINI_IO;

void LogFailure(const std::string& prefix, const std::exception& e) noexcept {
    try {
        modWriteLog::WriteLog(prefix + e.what());
    } catch (...) {
        // Nowhere left to report to; the program goes on.
    }
}

std::string TextOr(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& absent) {
    std::string v = ReadSettingText(path, section, key);
    return v == MissingValue() ? absent : v;
}

bool FlagNotZero(const std::string& path, const std::string& section, const std::string& key) {
    const std::int32_t v = ReadSettingNumber(path, section, key);
    return v != 0 && v != -1;
}

std::int32_t NumberOr(const std::string& path, const std::string& section, const std::string& key,
                      std::int32_t absent) {
    const std::int32_t v = ReadSettingNumber(path, section, key);
    return v == -1 ? absent : v;
}

// The sign-in keys exist only for OAuth2 accounts. The refresh token is read whole: some
// providers issue tokens longer than a settings read returns.
void ReadSignIn(const std::string& path, const std::string& s, AccountRecord& a) {
    if (ReadSettingText(path, s, t::kKeyAcctAuth) != t::kAuthOAuth2.str()) return;
    a.auth = AuthMethod::kOAuth2;
    a.oauthProvider = TextOr(path, s, t::kKeyAcctProvider, "");
    const auto token = profile::ReadString(path, s, t::kKeyAcctRefreshToken.str());
    a.refreshToken = token && !token->empty() ? password::Read(*token) : std::string();
    a.needsSignIn = FlagNotZero(path, s, t::kKeyAcctSignInNeeded);
}

void WriteSignIn(const std::string& path, const std::string& s, const AccountRecord& a) {
    if (a.auth != AuthMethod::kOAuth2) {
        // A password account carries none of them, also after it stopped being OAuth2.
        for (const std::string& key :
             {t::kKeyAcctAuth.str(), t::kKeyAcctProvider.str(), t::kKeyAcctRefreshToken.str(),
              t::kKeyAcctSignInNeeded.str()}) {
            if (ReadSettingText(path, s, key) != MissingValue()) DeleteSettingKey(path, s, key);
        }
        return;
    }
    WriteSettingText(t::kAuthOAuth2.str(), path, s, t::kKeyAcctAuth.str());
    WriteSettingText(a.oauthProvider, path, s, t::kKeyAcctProvider.str());
    WriteSettingText(a.refreshToken.empty() ? std::string() : password::Store(a.refreshToken), path,
                     s, t::kKeyAcctRefreshToken.str());
    WriteSettingNumber(a.needsSignIn ? 1 : 0, path, s, t::kKeyAcctSignInNeeded);
}

AccountRecord ReadAccount(const std::string& path, const std::string& s, std::int32_t id) {
    AccountRecord a;
    a.id = static_cast<std::int16_t>(id);
    a.server = TextOr(path, s, t::kKeyAcctServer, t::kNoServer.str());
    a.port = NumberOr(path, s, t::kKeyAcctPort, 0);
    a.imap = FlagNotZero(path, s, t::kKeyAcctImap);
    a.pop = FlagNotZero(path, s, t::kKeyAcctPop);
    a.ssl = FlagNotZero(path, s, t::kKeyAcctSsl);
    a.encryptedLogin = FlagNotZero(path, s, t::kKeyAcctEncLogin);
    a.ntlm = FlagNotZero(path, s, t::kKeyAcctNtlm);
    a.user = TextOr(path, s, t::kKeyAcctUser, t::kNoUser.str());
    a.password = password::Read(ReadSettingText(path, s, t::kKeyAcctPassword));
    a.lastId = NumberOr(path, s, t::kKeyAcctLastMsg, 1);
    a.printAll = FlagNotZero(path, s, t::kKeyAcctPrintAll);
    a.printNew = FlagNotZero(path, s, t::kKeyAcctPrintNew);
    ReadSignIn(path, s, a);
    return a;
}

void WriteAccount(const std::string& path, const std::string& s, const AccountRecord& a) {
    WriteSettingNumber(a.id, path, s, t::kKeyAcctId);
    WriteSettingText(a.server, path, s, t::kKeyAcctServer.str());
    WriteSettingNumber(a.port, path, s, t::kKeyAcctPort);
    WriteSettingNumber(a.imap ? 1 : 0, path, s, t::kKeyAcctImap);
    WriteSettingNumber(a.pop ? 1 : 0, path, s, t::kKeyAcctPop);
    WriteSettingNumber(a.ssl ? 1 : 0, path, s, t::kKeyAcctSsl);
    WriteSettingNumber(a.encryptedLogin ? 1 : 0, path, s, t::kKeyAcctEncLogin);
    WriteSettingNumber(a.ntlm ? 1 : 0, path, s, t::kKeyAcctNtlm);
    WriteSettingText(a.user, path, s, t::kKeyAcctUser.str());
    WriteSettingText(password::Store(a.password), path, s, t::kKeyAcctPassword.str());
    WriteSettingNumber(a.lastId, path, s, t::kKeyAcctLastMsg);
    WriteSettingNumber(a.printAll ? 1 : 0, path, s, t::kKeyAcctPrintAll);
    WriteSettingNumber(a.printNew ? 1 : 0, path, s, t::kKeyAcctPrintNew);
    WriteSignIn(path, s, a);
}

}  // namespace

std::string AccountLabel(const AccountRecord& account) {
    return account.server + " - " + account.user;
}

bool SameMailbox(const AccountRecord& a, const AccountRecord& b) {
    return a.server == b.server && a.user == b.user && a.imap == b.imap && a.pop == b.pop;
}

std::string AccountSection(std::size_t position) {
    return t::kAccountPrefix.str() + std::to_string(position);
}

LoadedAccounts LoadAccounts(const std::string& path, std::int16_t itemLimit) {
    LoadedAccounts out;
    try {
        std::int32_t count = ReadSettingNumber(path, t::kAccountsSection, t::kKeyAccountCount);
        if (count < 0) count = 0;
        if (count > itemLimit) count = itemLimit < 0 ? 0 : itemLimit;
        out.accounts.resize(static_cast<std::size_t>(count));
        for (std::int32_t i = 1; i <= count; ++i) {
            const std::string s = AccountSection(static_cast<std::size_t>(i));
            const std::int32_t id = ReadSettingNumber(path, s, t::kKeyAcctId);
            if (id == -1) break;
            out.accounts[static_cast<std::size_t>(i - 1)] = ReadAccount(path, s, id);
            if (id > out.maxAcctID) out.maxAcctID = static_cast<std::int16_t>(id);
        }
    } catch (const std::exception& e) {
        LogFailure(texts::kLogLoadAccounts.str(), e);
    }
    return out;
}

void SaveAccounts(const std::string& path, const AccountArray& accounts) {
    try {
        WriteSettingNumber(static_cast<std::int32_t>(accounts.size()), path, t::kAccountsSection,
                           t::kKeyAccountCount);
        for (std::size_t i = 0; i < accounts.size(); ++i) {
            WriteAccount(path, AccountSection(i + 1), accounts[i]);
        }
    } catch (const std::exception& e) {
        LogFailure(texts::kLogSaveAccounts.str(), e);
    }
}

void RemoveAccountSection(const std::string& path, std::size_t position) {
    WriteSettingText(std::nullopt, path, AccountSection(position), std::nullopt);
}

std::int32_t LastIdForSave(const std::string& path, std::size_t position,
                           const AccountRecord* before, const AccountRecord& edited) {
    if (before == nullptr || !SameMailbox(*before, edited)) return kFreshStart;
    const std::int32_t stored =
        ReadSettingNumber(path, AccountSection(position), t::kKeyAcctLastMsg);
    // An absent value already means a fresh start; keep that meaning.
    return stored == -1 ? kFreshStart : stored;
}

}  // namespace vellora::core
