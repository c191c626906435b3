#include "zebevi/error.h"

#include <utility>

namespace zebevi {

Error::Error(std::int32_t number, std::string description)
    : std::runtime_error(description), number_(number), description_(std::move(description)) {}

Error Error::TypeMismatch() { return Error(13, "Type mismatch"); }
Error Error::Overflow() { return Error(6, "Overflow"); }
Error Error::SubscriptOutOfRange() { return Error(9, "Subscript out of range"); }
Error Error::InvalidUseOfNull() { return Error(94, "Invalid use of Null"); }
Error Error::Database(std::int32_t negative_number, std::string text) {
  return Error(negative_number, std::move(text));
}

}  // namespace zebevi
