// Proof Key for Code Exchange (RFC 7636, method S256) and the random values of a sign-in,
// from OpenSSL's generator.
#pragma once

#include <cstddef>
#include <string>

namespace vellora::oauth {

// `bytes` random bytes as base64url without padding; throws std::runtime_error when the
// system has no randomness to give.
std::string RandomToken(std::size_t bytes);

// A fresh code verifier: 32 random bytes, 43 characters of the verifier alphabet.
std::string NewCodeVerifier();

// BASE64URL(SHA-256(verifier)), the challenge sent with the authorization request.
std::string S256Challenge(const std::string& verifier);

// Base64url without padding (RFC 4648 section 5).
std::string Base64Url(const unsigned char* data, std::size_t size);

}  // namespace vellora::oauth
