// The connection-string parser, the mask and libpq's keywords, on any text
// with a password in it. The input is a frame (its password bytes dropped)
// and, after the first NUL, the password's bytes, mapped onto password
// bytes and the separators of every form; the first byte picks the form.
// No password byte may then appear in any error, and the mask never shows
// the password.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "db/connection_string.h"
#include "db/postgres/pg_conninfo.h"
#include "support/password_text.h"
#include "zebevi/error.h"

namespace {

using zebevi::db::ConnectionString;
using namespace zebevi::testing;

std::string PasswordOf(std::string_view bytes) {
  std::string password;
  for (unsigned char c : bytes) {
    password += c >= 0x80 ? PasswordByte(c) : kPasswordSeparators[c % kPasswordSeparators.size()];
  }
  return password.empty() ? std::string(1, PasswordByte(0)) : password;
}

// The frame's bytes but password bytes and `drop`.
std::string FrameOf(std::string_view bytes, std::string_view drop) {
  std::string frame;
  for (unsigned char c : bytes) {
    if (!IsPasswordByte(c) && drop.find(static_cast<char>(c)) == std::string_view::npos) frame += c;
  }
  return frame;
}

struct Form {
  std::string text;
  // Whether the text carries the password percent-encoded (a URI); only
  // then may the mask not show that encoding, since any other frame may
  // hold the same characters as text of its own.
  bool encoded;
  // Whether the parsed string holds the password where this form put it;
  // only then is the mask bound to hide it (a frame may swallow it whole
  // into another key's quoted value, where it is no password).
  bool (*placed)(const ConnectionString&, const std::string& text, const std::string& password);
};

bool InPasswordKey(const ConnectionString& parsed, const std::string&, const std::string& pw) {
  const auto value = parsed.Get("password");
  return value && pw.compare(0, value->size(), *value) == 0;
}
bool InSslPasswordKey(const ConnectionString& parsed, const std::string&, const std::string& pw) {
  return parsed.Get("sslpassword") == pw;
}
bool InUri(const ConnectionString& parsed, const std::string& text, const std::string&) {
  return parsed.Get("uri") == text;
}
bool InUriKeywords(const ConnectionString& parsed, const std::string&, const std::string&) {
  const auto uri = parsed.Get("uri");
  return uri && uri->rfind("password='", 0) == 0;
}

Form FormOf(unsigned char pick, const std::string& frame_bytes, const std::string& password) {
  const std::string frame = FrameOf(frame_bytes, "");
  const std::string query = FrameOf(frame_bytes, "%@");
  const std::string encoded = PercentEncoded(password);
  const std::string escaped = BackslashEscaped(password);
  switch (pick % 6) {
    case 0:
      return {frame + ";Password=" + password, false, InPasswordKey};
    case 1:
      return {frame + ";Password='" + Doubled(password, '\'') + "'", false, InPasswordKey};
    case 2:
      return {frame + ";sslpassword=\"" + Doubled(password, '"') + "\"", false, InSslPasswordKey};
    case 3: {
      std::string text = "postgresql://u:" + encoded + "@h/db?" + query;
      return {text, true, InUri};
    }
    case 4: {
      std::string text = "postgresql://h/db?" + query + "&%70assword=" + encoded;
      return {text, true, InUri};
    }
    default:
      return {frame + ";URI=\"password='" + Doubled(escaped, '"') + "'\"", false, InUriKeywords};
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t nul = input.find('\0');
  const std::string frame_bytes(input.substr(0, nul));
  const std::string password =
      PasswordOf(nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1));
  const Form form = FormOf(data[0], frame_bytes, password);
  try {
    const ConnectionString parsed = ConnectionString::Parse(form.text);
    zebevi::db::PgConnectParamsOf(parsed);
    const std::string masked = parsed.Masked();
    if (form.placed(parsed, form.text, password) &&
        (HasPasswordByte(masked) ||
         (form.encoded && masked.find(PercentEncoded(password)) != std::string::npos))) {
      std::fprintf(stderr, "the mask shows the password: %s\n", masked.c_str());
      std::abort();
    }
  } catch (const zebevi::Error& e) {
    if (HasPasswordByte(e.description())) {
      std::fprintf(stderr, "a failure quotes the password: %s\n", e.description().c_str());
      std::abort();
    }
  }
  return 0;
}
