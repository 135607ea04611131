#include "tests/mail/Ntlm.h"

// NTLM v1 needs single DES, which OpenSSL 3 keeps only behind its deprecated low-level calls.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/des.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vtest::ntlm {
namespace {

const char kSignature[] = "NTLMSSP";  // with its NUL: 8 bytes

std::uint32_t Le32(const std::string& s, std::size_t at) {
    return static_cast<std::uint8_t>(s[at]) | static_cast<std::uint8_t>(s[at + 1]) << 8 |
           static_cast<std::uint8_t>(s[at + 2]) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 3])) << 24;
}

void Put16(std::string& s, std::uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}

void Put32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string Utf16(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// A security buffer's bytes, or false when it points outside the message.
bool Field(const std::string& m, std::size_t at, std::string& out) {
    if (m.size() < at + 8) return false;
    const std::size_t len = static_cast<std::uint8_t>(m[at]) | static_cast<std::uint8_t>(m[at + 1])
                                                                   << 8;
    const std::size_t offset = Le32(m, at + 4);
    if (offset > m.size() || len > m.size() - offset) return false;
    out = m.substr(offset, len);
    return true;
}

// MD4 (RFC 1320), which the NT password hash needs and OpenSSL 3 keeps only in its legacy provider.
std::string Md4(const std::string& message) {
    auto f = [](std::uint32_t x, std::uint32_t y, std::uint32_t z) { return (x & y) | (~x & z); };
    auto g = [](std::uint32_t x, std::uint32_t y, std::uint32_t z) {
        return (x & y) | (x & z) | (y & z);
    };
    auto h = [](std::uint32_t x, std::uint32_t y, std::uint32_t z) { return x ^ y ^ z; };
    auto rotl = [](std::uint32_t v, int s) { return (v << s) | (v >> (32 - s)); };
    std::string m = message;
    const std::uint64_t bits = static_cast<std::uint64_t>(message.size()) * 8;
    m += static_cast<char>(0x80);
    while (m.size() % 64 != 56) m += '\0';
    for (int i = 0; i < 8; ++i) m += static_cast<char>((bits >> (8 * i)) & 0xFF);
    std::uint32_t a0 = 0x67452301, b0 = 0xefcdab89, c0 = 0x98badcfe, d0 = 0x10325476;
    for (std::size_t block = 0; block < m.size(); block += 64) {
        std::uint32_t x[16];
        for (int i = 0; i < 16; ++i) x[i] = Le32(m, block + 4 * i);
        std::uint32_t a = a0, b = b0, c = c0, d = d0;
        static const int r1[] = {3, 7, 11, 19}, r2[] = {3, 5, 9, 13}, r3[] = {3, 9, 11, 15};
        for (int i = 0; i < 16; ++i) {
            const std::uint32_t t = rotl(a + f(b, c, d) + x[i], r1[i % 4]);
            a = d, d = c, c = b, b = t;
        }
        for (int i = 0; i < 16; ++i) {
            const int k = (i % 4) * 4 + i / 4;
            const std::uint32_t t = rotl(a + g(b, c, d) + x[k] + 0x5a827999, r2[i % 4]);
            a = d, d = c, c = b, b = t;
        }
        static const int order[] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
        for (int i = 0; i < 16; ++i) {
            const std::uint32_t t = rotl(a + h(b, c, d) + x[order[i]] + 0x6ed9eba1, r3[i % 4]);
            a = d, d = c, c = b, b = t;
        }
        a0 += a, b0 += b, c0 += c, d0 += d;
    }
    std::string out;
    for (std::uint32_t v : {a0, b0, c0, d0}) Put32(out, v);
    return out;
}

std::string HmacMd5(const std::string& key, const std::string& data) {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    HMAC(EVP_md5(), key.data(), static_cast<int>(key.size()),
         reinterpret_cast<const unsigned char*>(data.data()), data.size(), out, &len);
    return std::string(reinterpret_cast<char*>(out), len);
}

// DES of `data` under three keys made from the 16-byte hash padded to 21 bytes (NTLM v1).
std::string Desl(const std::string& hash16, const std::string& data) {
    const std::string k = hash16 + std::string(5, '\0');
    std::string out;
    for (int part = 0; part < 3; ++part) {
        const auto* s = reinterpret_cast<const unsigned char*>(k.data()) + 7 * part;
        DES_cblock key = {s[0],
                          static_cast<unsigned char>((s[0] << 7) | (s[1] >> 1)),
                          static_cast<unsigned char>((s[1] << 6) | (s[2] >> 2)),
                          static_cast<unsigned char>((s[2] << 5) | (s[3] >> 3)),
                          static_cast<unsigned char>((s[3] << 4) | (s[4] >> 4)),
                          static_cast<unsigned char>((s[4] << 3) | (s[5] >> 5)),
                          static_cast<unsigned char>((s[5] << 2) | (s[6] >> 6)),
                          static_cast<unsigned char>(s[6] << 1)};
        DES_set_odd_parity(&key);
        DES_key_schedule schedule;
        DES_set_key_unchecked(&key, &schedule);
        DES_cblock in, result;
        std::memcpy(in, data.data(), 8);
        DES_ecb_encrypt(&in, &result, &schedule, DES_ENCRYPT);
        out.append(reinterpret_cast<char*>(result), 8);
    }
    return out;
}

std::string Upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

std::string Base64Encode(const std::string& bytes) {
    std::vector<unsigned char> out(4 * ((bytes.size() + 2) / 3) + 1);
    const int n = EVP_EncodeBlock(out.data(), reinterpret_cast<const unsigned char*>(bytes.data()),
                                  static_cast<int>(bytes.size()));
    return std::string(reinterpret_cast<char*>(out.data()), static_cast<std::size_t>(n));
}

std::string Base64Decode(const std::string& text) {
    std::vector<unsigned char> out(text.size() + 3);
    const int n = EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                  static_cast<int>(text.size()));
    if (n < 0) return {};
    std::size_t len = static_cast<std::size_t>(n);
    for (auto it = text.rbegin(); it != text.rend() && *it == '=' && len > 0; ++it) --len;
    return std::string(reinterpret_cast<char*>(out.data()), len);
}

bool IsNegotiate(const std::string& m) {
    return m.size() >= 16 && std::memcmp(m.data(), kSignature, 8) == 0 && Le32(m, 8) == 1;
}

std::string Challenge(const std::string& serverChallenge) {
    const std::string target = Utf16("VTEST");
    std::string info;
    Put16(info, 2);  // the domain's NetBIOS name
    Put16(info, static_cast<std::uint16_t>(target.size()));
    info += target;
    Put32(info, 0);  // end of the list
    const std::uint32_t flags = 0x00000001 | 0x00000004 | 0x00000200 | 0x00008000 | 0x00010000 |
                                0x00800000;  // unicode, target, NTLM, sign, domain, target info
    std::string m(kSignature, 8);
    Put32(m, 2);
    const std::uint32_t targetAt = 48,
                        infoAt = targetAt + static_cast<std::uint32_t>(target.size());
    Put16(m, static_cast<std::uint16_t>(target.size()));
    Put16(m, static_cast<std::uint16_t>(target.size()));
    Put32(m, targetAt);
    Put32(m, flags);
    m += serverChallenge;
    m += std::string(8, '\0');
    Put16(m, static_cast<std::uint16_t>(info.size()));
    Put16(m, static_cast<std::uint16_t>(info.size()));
    Put32(m, infoAt);
    return m + target + info;
}

bool Verify(const std::string& m, const std::string& serverChallenge, const std::string& user,
            const std::string& password, std::string* why) {
    std::string nt, domain, name;
    if (m.size() < 64 || std::memcmp(m.data(), kSignature, 8) != 0 || Le32(m, 8) != 3) {
        *why = "not a type-3 message";
        return false;
    }
    if (!Field(m, 20, nt) || !Field(m, 28, domain) || !Field(m, 36, name)) {
        *why = "a field points outside the message";
        return false;
    }
    if (name != Utf16(user)) {
        *why = "wrong user name";
        return false;
    }
    const std::string ntHash = Md4(Utf16(password));
    if (nt.size() == 24) {  // NTLM v1
        if (Desl(ntHash, serverChallenge) != nt) {
            *why = "the response does not prove the password";
            return false;
        }
        return true;
    }
    if (nt.size() <= 16) {
        *why = "an NT response of unknown form";
        return false;
    }
    const std::string key = HmacMd5(ntHash, Utf16(Upper(user)) + domain);
    const std::string blob = nt.substr(16);
    if (HmacMd5(key, serverChallenge + blob) != nt.substr(0, 16)) {
        *why = "the response does not prove the password";
        return false;
    }
    return true;
}

namespace {
std::string Hex(const std::string& bytes) {
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += hex[c >> 4];
        out += hex[c & 15];
    }
    return out;
}
}  // namespace

std::string CramMd5Answer(const std::string& user, const std::string& password,
                          const std::string& challenge) {
    return user + " " + Hex(HmacMd5(password, challenge));
}

std::string ApopDigest(const std::string& timestamp, const std::string& password) {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    const std::string data = timestamp + password;
    EVP_Digest(data.data(), data.size(), out, &len, EVP_md5(), nullptr);
    return Hex(std::string(reinterpret_cast<char*>(out), len));
}

}  // namespace vtest::ntlm
