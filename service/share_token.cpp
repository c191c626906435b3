#include "service/share_token.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <charconv>
#include <stdexcept>
#include <vector>

#include "service/auth.h"

namespace zebevi::service {
namespace {

constexpr std::string_view kVersion = "v1";
constexpr std::size_t kFields = 6;  // the version and five values

Sha256Digest Mac(const std::string& secret, std::string_view payload) {
  Sha256Digest mac{};
  unsigned int length = 0;
  if (HMAC(EVP_sha256(), secret.data(), static_cast<int>(secret.size()),
           reinterpret_cast<const unsigned char*>(payload.data()), payload.size(), mac.data(),
           &length) == nullptr ||
      length != mac.size()) {
    throw std::runtime_error("HMAC-SHA256 failed");
  }
  return mac;
}

std::string Decimal(std::optional<std::int64_t> number) {
  return number ? std::to_string(*number) : std::string();
}

// A whole decimal number written as Decimal writes it: no sign but a
// leading "-", no leading zeros, no blanks.
template <typename Number>
std::optional<Number> ReadDecimal(std::string_view text) {
  Number number{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (std::to_string(number) != text) return std::nullopt;
  return number;
}

std::vector<std::string_view> Split(std::string_view text) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t dot = text.find('.', start);
    parts.push_back(text.substr(start, dot == std::string_view::npos ? dot : dot - start));
    if (dot == std::string_view::npos) return parts;
    start = dot + 1;
  }
}

}  // namespace

std::string ShareSigner::Sign(const ShareGrant& grant) const {
  const std::string payload = std::string(kVersion) + "." + Decimal(grant.document) + "." +
                              Decimal(grant.user_group) + "." + Decimal(grant.customer) + "." +
                              Decimal(grant.customer_group) + "." +
                              Decimal(grant.expires.time_since_epoch().count());
  return payload + "." + HexText(Mac(secret_, payload));
}

std::optional<ShareGrant> ShareSigner::Verify(std::string_view token,
                                              std::chrono::sys_seconds now) const {
  const std::size_t dot = token.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const std::string_view payload = token.substr(0, dot);
  Sha256Digest given{};
  try {
    given = DigestFromHex(token.substr(dot + 1));
  } catch (const std::invalid_argument&) {
    return std::nullopt;
  }
  const Sha256Digest expected = Mac(secret_, payload);
  if (CRYPTO_memcmp(given.data(), expected.data(), given.size()) != 0) return std::nullopt;

  const std::vector<std::string_view> fields = Split(payload);
  if (fields.size() != kFields || fields[0] != kVersion) return std::nullopt;
  const auto document = ReadDecimal<std::int32_t>(fields[1]);
  const auto user_group = ReadDecimal<std::int32_t>(fields[2]);
  const auto expires = ReadDecimal<std::int64_t>(fields[5]);
  if (!document || !user_group || !expires) return std::nullopt;
  ShareGrant grant{.document = *document,
                   .user_group = *user_group,
                   .customer = std::nullopt,
                   .customer_group = std::nullopt,
                   .expires = std::chrono::sys_seconds(std::chrono::seconds(*expires))};
  for (auto [text, out] :
       {std::pair{fields[3], &grant.customer}, std::pair{fields[4], &grant.customer_group}}) {
    if (text.empty()) continue;
    *out = ReadDecimal<std::int32_t>(text);
    if (!*out) return std::nullopt;
  }
  if (grant.expires <= now) return std::nullopt;
  return grant;
}

}  // namespace zebevi::service
