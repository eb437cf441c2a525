#include <openssl/evp.h>

#include "tools/server/ServerConfig.h"

namespace standin {

std::string signatureFor(const std::string& userid) {
    const std::string text = std::string(kAppKey) + kSigningSecret + userid;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr) != 1) return {};
    static const char* hex = "0123456789abcdef";
    std::string out;
    out.reserve(length * 2);
    for (unsigned int i = 0; i < length; ++i) {
        out.push_back(hex[digest[i] >> 4]);
        out.push_back(hex[digest[i] & 0x0f]);
    }
    return out;
}

}  // namespace standin
