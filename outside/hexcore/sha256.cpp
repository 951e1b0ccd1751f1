#include "outside/hexcore/sha256.hpp"

#include <windows.h>
#include <bcrypt.h>

#include "outside/hexcore/fetch.hpp"

namespace hexcore {

sha256::sha256() {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0)
        throw fetch_error("SHA-256 is not available");
    if (::BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) != 0) {
        ::BCryptCloseAlgorithmProvider(algorithm, 0);
        throw fetch_error("SHA-256 is not available");
    }
    algorithm_ = algorithm;
    hash_ = hash;
}

sha256::~sha256() {
    if (hash_) ::BCryptDestroyHash(hash_);
    if (algorithm_) ::BCryptCloseAlgorithmProvider(algorithm_, 0);
}

void sha256::add(const void* data, std::size_t size) {
    ::BCryptHashData(hash_, static_cast<PUCHAR>(const_cast<void*>(data)), static_cast<ULONG>(size), 0);
}

std::string sha256::hex() {
    unsigned char digest[32] = {};
    ::BCryptFinishHash(hash_, digest, sizeof digest, 0);
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : digest) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

}  // namespace hexcore
