#include "service/auth.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <stdexcept>

namespace zebevi::service {
namespace {

constexpr std::string_view kBearer = "Bearer ";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Sha256Digest Sha256(std::string_view text) {
  Sha256Digest digest{};
  unsigned int size = 0;
  if (EVP_Digest(text.data(), text.size(), digest.data(), &size, EVP_sha256(), nullptr) != 1 ||
      size != digest.size()) {
    throw std::runtime_error("SHA-256 is not available");
  }
  return digest;
}

std::string HexText(const Sha256Digest& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const unsigned char byte : digest) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

Sha256Digest DigestFromHex(std::string_view hex) {
  Sha256Digest digest{};
  if (hex.size() != 2 * digest.size()) {
    throw std::invalid_argument("a SHA-256 is 64 hexadecimal digits");
  }
  for (std::size_t i = 0; i < digest.size(); ++i) {
    const int high = HexValue(hex[2 * i]);
    const int low = HexValue(hex[2 * i + 1]);
    if (high < 0 || low < 0) throw std::invalid_argument("a SHA-256 is 64 hexadecimal digits");
    digest[i] = static_cast<unsigned char>(high * 16 + low);
  }
  return digest;
}

const Caller* KeyRing::Authenticate(std::string_view authorization) const {
  if (authorization.substr(0, kBearer.size()) != kBearer) return nullptr;
  const std::string_view key = authorization.substr(kBearer.size());
  if (key.empty()) return nullptr;
  const Sha256Digest digest = Sha256(key);
  const Caller* found = nullptr;
  for (const ApiKey& candidate : keys_) {
    if (CRYPTO_memcmp(candidate.sha256.data(), digest.data(), digest.size()) == 0) {
      found = &candidate.caller;
    }
  }
  return found;
}

}  // namespace zebevi::service
