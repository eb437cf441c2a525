#pragma once
#include <optional>
#include <string>

class Coder;

// The saved login: user id, request signature and phone number.
class AccountModel {
public:
    std::optional<std::string> userid;
    std::optional<std::string> sn;
    std::optional<std::string> phoneNumber;

    AccountModel() = default;
    explicit AccountModel(const Coder& coder);
    void encodeWithCoder(Coder& coder) const;
};
