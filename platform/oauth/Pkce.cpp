#include "platform/oauth/Pkce.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "shared/Literal.h"

namespace vellora::oauth {

std::string Base64Url(const unsigned char* data, std::size_t size) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    for (std::size_t i = 0; i < size; i += 3) {
        const std::size_t take = size - i < 3 ? size - i : 3;
        std::uint32_t n = static_cast<std::uint32_t>(data[i]) << 16;
        if (take > 1) n |= static_cast<std::uint32_t>(data[i + 1]) << 8;
        if (take > 2) n |= data[i + 2];
        out += kAlphabet[(n >> 18) & 63];
        out += kAlphabet[(n >> 12) & 63];
        if (take > 1) out += kAlphabet[(n >> 6) & 63];
        if (take > 2) out += kAlphabet[n & 63];
    }
    return out;
}

std::string RandomToken(std::size_t bytes) {
    std::vector<unsigned char> buffer(bytes);
    if (bytes > 0 && RAND_bytes(buffer.data(), static_cast<int>(bytes)) != 1) {
        throw std::runtime_error(VL("no random bytes for the sign-in"));
    }
    return Base64Url(buffer.data(), buffer.size());
}

std::string NewCodeVerifier() {
    return RandomToken(32);
}

std::string S256Challenge(const std::string& verifier) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(verifier.data(), verifier.size(), digest, &length, EVP_sha256(), nullptr) != 1) {
        throw std::runtime_error(VL("SHA-256 failed"));
    }
    return Base64Url(digest, length);
}

}  // namespace vellora::oauth
