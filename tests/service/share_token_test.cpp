// Share-link tokens: a token opens only what it was signed for, under the
// secret that signed it, until it expires; any change to it, or a token
// made elsewhere, opens nothing.
#include "service/share_token.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include "service/auth.h"

namespace zebevi::service {
namespace {

using std::chrono::seconds;
using std::chrono::sys_seconds;

const std::string kSecret = "0123456789abcdef0123456789abcdef";
const sys_seconds kExpires{seconds(1'800'000'000)};

// Replaces the first `from` of `token` after position `at` with `to`.
std::string Changed(std::string token, std::string_view from, std::string_view to,
                    std::size_t at = 0) {
  const std::size_t where = token.find(from, at);
  EXPECT_NE(where, std::string::npos) << token << " has no " << from;
  if (where != std::string::npos) token.replace(where, from.size(), to);
  return token;
}

TEST(ShareToken, OpensOnlyWhatWasSignedUntilItExpires) {
  const ShareGrant grant{.document = 1001,
                         .user_group = 7,
                         .customer = 1042,
                         .customer_group = std::nullopt,
                         .expires = kExpires};
  const ShareSigner signer(kSecret);
  const std::string token = signer.Sign(grant);
  EXPECT_EQ(token.rfind("v1.1001.7.1042..1800000000.", 0), 0u) << token;
  const std::string mac = token.substr(token.rfind('.') + 1);
  std::string flipped_mac = token;
  flipped_mac.back() = flipped_mac.back() == 'a' ? 'b' : 'a';

  struct Case {
    std::string name;
    std::string token;
    sys_seconds now;
    bool opens;
  };
  const std::vector<Case> cases{
      {"as signed", token, kExpires - seconds(1), true},
      {"long before expiry", token, sys_seconds{}, true},
      {"at its expiry", token, kExpires, false},
      {"after its expiry", token, kExpires + seconds(1), false},
      {"another document", Changed(token, "1001", "1002"), sys_seconds{}, false},
      {"another user group", Changed(token, ".7.", ".8."), sys_seconds{}, false},
      {"customer dropped", Changed(token, ".1042.", ".."), sys_seconds{}, false},
      {"customer group added", Changed(token, "..", ".3."), sys_seconds{}, false},
      {"expiry pushed back", Changed(token, ".18", ".19"), kExpires + seconds(1), false},
      {"MAC changed", flipped_mac, sys_seconds{}, false},
      {"MAC cut short", token.substr(0, token.size() - 2), sys_seconds{}, false},
      {"no MAC", token.substr(0, token.rfind('.')), sys_seconds{}, false},
      {"MAC alone", mac, sys_seconds{}, false},
      {"other secret", ShareSigner(kSecret + "x").Sign(grant), sys_seconds{}, false},
      {"empty", "", sys_seconds{}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<ShareGrant> opened = signer.Verify(c.token, c.now);
    EXPECT_EQ(opened.has_value(), c.opens) << c.token;
    if (opened) {
      EXPECT_EQ(*opened, grant);
    }
  }
}

// The token a holder of the secret would make of `payload`.
std::string SignedText(const std::string& payload) {
  Sha256Digest mac{};
  unsigned int length = 0;
  HMAC(EVP_sha256(), kSecret.data(), static_cast<int>(kSecret.size()),
       reinterpret_cast<const unsigned char*>(payload.data()), payload.size(), mac.data(), &length);
  return payload + "." + HexText(mac);
}

TEST(ShareToken, ReadsItsFieldsOnlyAsItWritesThem) {
  const ShareSigner signer(kSecret);
  EXPECT_TRUE(signer.Verify(SignedText("v1.5.2..9.1800000000"), sys_seconds{}));
  for (const std::string payload :
       {"v1.05.2..9.1800000000", "v1.5.2..9.1800000000.1", "v2.5.2..9.1800000000",
        "v1.5.2.. 9.1800000000", "v1.5.2..+9.1800000000", "v1.99999999999.2..9.1800000000",
        "v1..2..9.1800000000", "v1.5.2..9."}) {
    SCOPED_TRACE(payload);
    EXPECT_FALSE(signer.Verify(SignedText(payload), sys_seconds{}));
  }
}

}  // namespace
}  // namespace zebevi::service
