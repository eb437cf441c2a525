#include "core/AccountTool.h"

#include "core/KeyedArchiver.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

std::filesystem::path AccountTool::accountFile() {
    return foundation::Sandbox::current().documents() / "account.data";
}

bool AccountTool::saveAccount(const AccountModel& account) {
    if (!KeyedArchiver::archiveRootObject(account, "AccountModel", accountFile())) {
        foundation::log("AccountTool: cannot write " + accountFile().string());
        return false;
    }
    return true;
}

std::shared_ptr<AccountModel> AccountTool::account() {
    auto file = accountFile();
    if (!foundation::files::exists(file)) return nullptr;
    auto account = KeyedArchiver::unarchiveObjectWithFile<AccountModel>(file, "AccountModel");
    if (!account) {
        foundation::log("AccountTool: account.data is not a saved account; reading it as none");
        return nullptr;
    }
    if (!account->userid || account->userid->empty()) {
        foundation::log("AccountTool: the saved account has no user id; reading it as none");
        return nullptr;
    }
    return account;
}

bool AccountTool::removeAccount() {
    auto file = accountFile();
    if (!foundation::files::exists(file)) return true;
    return foundation::files::remove(file);
}
