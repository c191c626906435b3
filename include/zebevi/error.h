// The one failure type of the component: an automation error number and its
// description. Value rules, the database layer and the value rules component
// all fail through it; an operation's trap turns it into a result and a
// message, adding the step label, never rewriting the number or the text.
#ifndef ZEBEVI_ERROR_H_
#define ZEBEVI_ERROR_H_

#include <cstdint>
#include <stdexcept>
#include <string>

namespace zebevi {

class Error : public std::runtime_error {
 public:
  Error(std::int32_t number, std::string description);

  std::int32_t number() const { return number_; }
  const std::string& description() const { return description_; }

  static Error TypeMismatch();         // 13 "Type mismatch"
  static Error Overflow();             // 6 "Overflow"
  static Error SubscriptOutOfRange();  // 9 "Subscript out of range"
  static Error InvalidUseOfNull();     // 94 "Invalid use of Null"
  // A database failure: the database's own text and a negative number.
  static Error Database(std::int32_t negative_number, std::string text);

 private:
  std::int32_t number_;
  std::string description_;
};

// Numbers of the database failures the component reports.
inline constexpr std::int32_t kDbConnectionFailed = -2147467259;  // 0x80004005
inline constexpr std::int32_t kDbCommandFailed = -2147217900;     // 0x80040E14
inline constexpr std::int32_t kDbItemNotFound = -2146825023;      // 0x800A0CC1
inline constexpr std::int32_t kDbNoCurrentRecord = -2146825267;   // 0x800A0BCD
inline constexpr std::int32_t kDbObjectClosed = -2146824584;      // 0x800A0E78

}  // namespace zebevi

#endif  // ZEBEVI_ERROR_H_
