#include "core/StringHash.h"

#include <openssl/evp.h>

namespace {
std::string digest(const EVP_MD* md, const std::string& bytes) {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), out, &length, md, nullptr) != 1) return "";
    static const char* hex = "0123456789abcdef";
    std::string text;
    text.reserve(length * 2);
    for (unsigned int i = 0; i < length; ++i) {
        text += hex[out[i] >> 4];
        text += hex[out[i] & 15];
    }
    return text;
}
}  // namespace

std::string StringHash::md5String(const std::string& bytes) { return digest(EVP_md5(), bytes); }
std::string StringHash::sha1String(const std::string& bytes) { return digest(EVP_sha1(), bytes); }
std::string StringHash::sha256String(const std::string& bytes) { return digest(EVP_sha256(), bytes); }
std::string StringHash::sha512String(const std::string& bytes) { return digest(EVP_sha512(), bytes); }
