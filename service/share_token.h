// Share links' tokens: what a link lets its viewer see (one transport
// document, as one user group, customer and customer group), until when,
// signed with HMAC-SHA256 under the service's share secret. The token is
// "v1.DOCUMENT.GROUP.CUSTOMER.CUSTOMER_GROUP.EXPIRES.MAC": identifiers in
// decimal (an identifier not given is empty), the expiry in seconds since
// 1970 (UTC), the MAC in 64 hexadecimal digits over everything before it.
// It is signed, not encrypted: a viewer can read the identifiers, and can
// change none of them.
#ifndef ZEBEVI_SERVICE_SHARE_TOKEN_H_
#define ZEBEVI_SERVICE_SHARE_TOKEN_H_

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zebevi::service {

struct ShareGrant {
  std::int32_t document = 0;
  std::int32_t user_group = 0;
  std::optional<std::int32_t> customer;
  std::optional<std::int32_t> customer_group;
  std::chrono::sys_seconds expires{};

  bool operator==(const ShareGrant&) const = default;
};

class ShareSigner {
 public:
  // The secret's bytes are the HMAC key.
  explicit ShareSigner(std::string secret) : secret_(std::move(secret)) {}

  std::string Sign(const ShareGrant& grant) const;

  // The grant of a token this signer made and that has not expired at
  // `now`; nullopt for any other text, whatever is wrong with it. The MAC
  // is checked first, in constant time, and the fields only then.
  std::optional<ShareGrant> Verify(std::string_view token, std::chrono::sys_seconds now) const;

 private:
  std::string secret_;
};

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_SHARE_TOKEN_H_
