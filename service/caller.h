// Who is calling, as their API key says, and which caller identifiers a call
// may carry for them. The operations trust the identifiers they are handed;
// the service hands them only what the key allows:
//   - an internal key passes the identifiers it is given;
//   - any other key is bound: each identifier is the key's own (Empty where
//     the key binds none), and a call that gives another value is refused;
//   - the diagnostic user's detail (internet user 1) only for a key marked
//     diagnostic.
#ifndef ZEBEVI_SERVICE_CALLER_H_
#define ZEBEVI_SERVICE_CALLER_H_

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "zebevi/value.h"

namespace zebevi::service {

enum class CallerField {
  kCustomer,
  kCustomerGroup,
  kSupplier,
  kCollaborator,
  kCollaboratorType,
  kCompany
};

struct CallerFieldInfo {
  CallerField field;
  std::string_view name;   // in the config file and in query strings
  std::string_view param;  // the operations' parameter
};
std::span<const CallerFieldInfo> CallerFields();

// The operations' internet-user parameter, which decides on the diagnostic
// detail.
inline constexpr std::string_view kUserParam = "invntUsuario_Internet_id";

struct Caller {
  std::string name;                           // for the access log; never the key itself
  bool internal = false;                      // may pass identifiers of its own choosing
  bool diagnostic = false;                    // may call as the diagnostic user
  std::map<CallerField, std::int32_t> bound;  // a bound key's identifiers
};

// Why a call is not made for this caller: an HTTP status (403) and a text.
struct Refusal {
  int status;
  std::string message;
};

// The value `field` takes in a call: `given` (nullptr when absent) for an
// internal caller, the key's own for a bound one. Writes it to `effective`,
// or returns the refusal.
std::optional<Refusal> ResolveIdentifier(const Caller& caller, const CallerFieldInfo& field,
                                         const Value* given, Value& effective);

// Refuses an internet-user identifier that makes the diagnostic user (it
// equals 1 by the operations' own comparison) unless the caller may.
std::optional<Refusal> CheckUser(const Caller& caller, const Value& user);

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_CALLER_H_
