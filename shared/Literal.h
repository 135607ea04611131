// Encoded literals: texts are written readably in the source, but the compiler turns them
// into their Base64 form (text + marker) so that only the encoded form reaches the binary.
// Every use decodes with sBSFd and cuts at the marker, like every stored value.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vellora::lit {

inline constexpr char kAlphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
inline constexpr char kMarker = '!';

constexpr std::size_t EncodedLength(std::size_t plainBytes) {
    return (plainBytes + 2) / 3 * 4;
}

// Decodes an encoded literal (sBSFd followed by TrimMarker); defined in modBase64.cpp.
std::string DecodeLiteral(std::string_view encoded);

template <std::size_t M>
struct Encoded {
    std::array<char, M> chars{};
    constexpr std::string_view view() const { return {chars.data(), M}; }
    // Decoded at every use, as stored texts are.
    std::string str() const { return DecodeLiteral(view()); }
    operator std::string() const { return str(); }
};

// N counts the terminating NUL of the literal; the marker takes its place.
template <std::size_t N>
consteval Encoded<EncodedLength(N)> Encode(const char (&text)[N]) {
    for (std::size_t i = 0; i + 1 < N; ++i) {
        if (text[i] == kMarker) throw "an encoded literal cannot hold the marker";
    }
    Encoded<EncodedLength(N)> out{};
    std::size_t o = 0;
    for (std::size_t p = 0; p < N; p += 3) {
        unsigned b[3] = {0, 0, 0};
        std::size_t take = 0;
        for (std::size_t k = 0; k < 3 && p + k < N; ++k, ++take) {
            const char c = (p + k == N - 1) ? kMarker : text[p + k];
            b[k] = static_cast<unsigned char>(c);
        }
        const unsigned n = (b[0] << 16) | (b[1] << 8) | b[2];
        out.chars[o++] = kAlphabet[(n >> 18) & 63];
        out.chars[o++] = kAlphabet[(n >> 12) & 63];
        out.chars[o++] = take > 1 ? kAlphabet[(n >> 6) & 63] : '=';
        out.chars[o++] = take > 2 ? kAlphabet[n & 63] : '=';
    }
    return out;
}

}  // namespace vellora::lit

// An encoded literal used in place: VL("text") yields the decoded std::string.
#define VL(text)                                                        \
    ([]() -> std::string {                                              \
        static constexpr auto kEncoded_ = ::vellora::lit::Encode(text); \
        return kEncoded_.str();                                         \
    }())
