// The value rules component: readies parameters and database fields for
// numeric and text use and renders the arguments of command texts. It lives
// in its own library (zebevi_valuerules); the component reaches it only
// through this interface and the module-wide instance below, so a host may
// supply another implementation.
//
// Every operation takes a Value; a Value holding a field object is read as
// the field's current value. Failures are zebevi::Error.
#ifndef ZEBEVI_VALUE_RULES_H_
#define ZEBEVI_VALUE_RULES_H_

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "zebevi/value.h"

namespace zebevi {

class ValueRules {
 public:
  virtual ~ValueRules() = default;

  // Numbers unchanged (same kind); Boolean as Int32 -1/0; a Date as its
  // Double day count; a String that reads as a number as a Double; anything
  // else (Empty, Null, blank or non-numeric text) the Int32 0.
  virtual Value AsNumber(const Value& v) const = 0;
  // Null and Empty give ""; a String trimmed of blanks at both ends; a
  // number its text form ("1,5"); a Date "dd/mm/yyyy hh:mm:ss" or
  // "dd/mm/yyyy" at midnight; a Boolean "Verdadeiro"/"Falso".
  virtual Value AsText(const Value& v) const = 0;
  // A numeric SQL literal ("-12", "1.5"); NULL for Empty, Null, blank and
  // non-numeric text. Nothing else can come out.
  virtual std::string SqlNumber(const Value& v) const = 0;
  // NULL for Empty, Null and blank text; otherwise AsText in single quotes,
  // embedded quotes doubled.
  virtual std::string SqlText(const Value& v) const = 0;
  // 'YYYY-MM-DD' or 'YYYY-MM-DD HH:MM:SS' for a Date, a number of days or a
  // day/month/year text; NULL for Empty, Null and blank text; any other
  // text is a type mismatch.
  virtual std::string SqlDate(const Value& v) const = 0;
  // Removes every control character, then blanks at both ends.
  virtual std::string CleanText(std::string_view text) const = 0;
};

// The library's own implementation.
std::unique_ptr<ValueRules> CreateValueRules();

// The module-wide instance: created by the first call that needs it, kept
// until the library unloads. Creation is safe when several threads ask at
// once; when it fails, the caller gets the failure and the next call tries
// again.
const ValueRules& Rules();

// Replaces the factory that Rules() creates its instance with (a host
// supplying its own rules) and drops the current instance. Not for use while
// other threads are calling the component.
using ValueRulesFactory = std::function<std::unique_ptr<ValueRules>()>;
void SetValueRulesFactory(ValueRulesFactory factory);

}  // namespace zebevi

#endif  // ZEBEVI_VALUE_RULES_H_
