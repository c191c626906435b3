// The HTTP status that an operation's answer means. The operations answer
// with a result code (entry operations: 0 delivered, 10 not delivered, 50
// the trap ran) or a Boolean (inner operations), and a message; the status
// tells a refused input (400) from nothing found (404) and from a database
// that cannot be reached (503), so that no failure travels as a 200.
#ifndef ZEBEVI_SERVICE_ANSWER_STATUS_H_
#define ZEBEVI_SERVICE_ANSWER_STATUS_H_

#include <cstdint>
#include <string_view>

namespace zebevi::service {

// An entry operation's result code and message: 0 is 200, 50 is 503, and
// 10 is read from the message.
int StatusOfCode(std::int32_t code, std::string_view message);

// An inner operation's Boolean result and message. `uses_database` tells
// whether the operation works on a connection: when it does not, the trap
// only ever reports an input it could not convert (400).
int StatusOfBoolean(bool result, std::string_view message, bool uses_database);

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_ANSWER_STATUS_H_
