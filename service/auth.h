// API keys: the config holds each key only as the SHA-256 of its text, bound
// to the caller it stands for. A request names its key as
// "Authorization: Bearer KEY".
#ifndef ZEBEVI_SERVICE_AUTH_H_
#define ZEBEVI_SERVICE_AUTH_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "service/caller.h"

namespace zebevi::service {

using Sha256Digest = std::array<unsigned char, 32>;

Sha256Digest Sha256(std::string_view text);
// 64 lower-case hexadecimal digits.
std::string HexText(const Sha256Digest& digest);
// Throws std::invalid_argument when `hex` is not 64 hexadecimal digits.
Sha256Digest DigestFromHex(std::string_view hex);

struct ApiKey {
  Sha256Digest sha256;
  Caller caller;
};

class KeyRing {
 public:
  KeyRing() = default;
  explicit KeyRing(std::vector<ApiKey> keys) : keys_(std::move(keys)) {}

  // The caller of an "Authorization" header value; nullptr for a missing,
  // malformed or unknown key. Every key is compared in full, in constant
  // time, so the answer's timing tells nothing about the keys.
  const Caller* Authenticate(std::string_view authorization) const;

  const std::vector<ApiKey>& keys() const { return keys_; }

 private:
  std::vector<ApiKey> keys_;
};

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_AUTH_H_
