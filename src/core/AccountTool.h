#pragma once
#include <filesystem>
#include <memory>

#include "core/AccountModel.h"

// The saved login, archived as "account.data" in the documents directory (a keyed archive in
// an XML property list, written whole and atomically).
class AccountTool {
public:
    static std::filesystem::path accountFile();
    // Saves the account; false when it could not be written.
    static bool saveAccount(const AccountModel& account);
    // The saved account; nullptr when none is saved, when the file is corrupt or when it holds
    // no user id.
    static std::shared_ptr<AccountModel> account();
    // Forgets the saved account (log-out).
    static bool removeAccount();
};
