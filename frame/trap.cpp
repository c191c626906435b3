#include "frame/trap.h"

namespace zebevi::frame {

Trap::Trap(std::string_view text, Value& outvntMsg_ret) : text_(text), message_(outvntMsg_ret) {}

Trap::Trap(std::string_view text, std::string_view prefix, const Value& invntUsuario_Internet_id,
           Value& outvntMsg_ret)
    : text_(text), prefix_(prefix), user_(&invntUsuario_Internet_id), message_(outvntMsg_ret) {}

void Trap::Compose(const Error& e) {
  message_ = Value::String(std::string(text_));
  // The comparison may itself fail (a text that is no number): that failure
  // is not trapped again.
  if (user_ == nullptr || !IsTrue(Eq(*user_, 1))) return;
  std::string detail = std::string(prefix_) + e.description() + " : " + std::to_string(e.number()) +
                       ")  " + " No Nº " + std::to_string(step_.label());
  if (command_ != nullptr) detail += "Strsq: " + *command_;
  message_ = message_ & Value::String(std::move(detail));
}

}  // namespace zebevi::frame
