#pragma once
#include <string>

// Digests of bytes in lower-case hexadecimal (OpenSSL EVP).
class StringHash {
public:
    static std::string md5String(const std::string& bytes);
    static std::string sha1String(const std::string& bytes);
    static std::string sha256String(const std::string& bytes);
    static std::string sha512String(const std::string& bytes);
};
