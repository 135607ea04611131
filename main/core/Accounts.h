// The account array in the settings file: an index section with the count and one section per
// account, named by the account prefix and the position.
#pragma once

#include <cstdint>
#include <string>

#include "main/core/AccountRecord.h"

namespace vellora::core {

struct LoadedAccounts {
    AccountArray accounts;
    std::int16_t maxAcctID = 0;  // the highest identifier read
};

// Reads the count (lowered to the limit) and the accounts; reading stops at the first section
// without identifier, leaving the remaining slots as empty records. A failure is logged and
// leaves what was read so far.
LoadedAccounts LoadAccounts(const std::string& path, std::int16_t itemLimit);

// Rewrites the count and every account's keys, identifier first. A failure is logged.
void SaveAccounts(const std::string& path, const AccountArray& accounts);

// Removes the whole section of the account at this position (1-based).
void RemoveAccountSection(const std::string& path, std::size_t position);

// The section name of the account at this position (1-based).
std::string AccountSection(std::size_t position);

// The last id a saved edit keeps: the stored one while the mailbox stays the same, otherwise
// the fresh-start value, so editing a password neither reprints nor skips messages.
std::int32_t LastIdForSave(const std::string& path, std::size_t position,
                           const AccountRecord* before, const AccountRecord& edited);

inline constexpr std::int32_t kFreshStart = -2;

}  // namespace vellora::core
