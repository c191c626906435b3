// The error trap every operation arms. An operation runs its body inside
// Trap::Run and marks each step with its label:
//
//   trap.Run([&](Step& at) {
//     at(4650); command = "Exec SP_ZEB_CON_Tempo_km_Rota  ";
//     at(4660); command += rules.SqlNumber(invntRota_id);
//   }, [&] { result = false; });
//
// A failure in the body ends it at once: the trap sets the operation's
// result, replaces outvntMsg_ret by the fixed text and, for the diagnostic
// user, appends the failure's description, number and the label of the step
// that was running. The operation then ends; it never goes on to a later
// step that could report the failure as a success. Nothing is undone.
// A failure while the trap itself runs escapes the operation (a failed
// call), which a calling operation takes as a failure of its calling step.
#ifndef ZEBEVI_FRAME_TRAP_H_
#define ZEBEVI_FRAME_TRAP_H_

#include <exception>
#include <new>
#include <string>
#include <string_view>

#include "zebevi/error.h"
#include "zebevi/value.h"

namespace zebevi::frame {

// The two fixed texts of the traps.
inline constexpr std::string_view kClientesText =
    "Acesso a informações de Clientes não disponível. Favor tentar mais tarde.";
inline constexpr std::string_view kTrackingText =
    "Acesso a informações de tracking não disponível. Favor tentar mais tarde.";

// The label of the step running now; 0 before the first labelled step.
class Step {
 public:
  void operator()(int label) { label_ = label; }
  int label() const { return label_; }

 private:
  int label_ = 0;
};

class Trap {
 public:
  // A trap whose message is `text` alone.
  Trap(std::string_view text, Value& outvntMsg_ret);
  // A trap that, when `invntUsuario_Internet_id` equals 1, appends the
  // detail after `prefix`.
  Trap(std::string_view text, std::string_view prefix, const Value& invntUsuario_Internet_id,
       Value& outvntMsg_ret);
  // The trap keeps a reference to the user identifier: never a temporary.
  Trap(std::string_view, std::string_view, const Value&&, Value&) = delete;

  // The detail ends with "Strsq: " and the command text as it stands when
  // the failure arises.
  void QuoteCommand(const std::string& command) { command_ = &command; }

  // Runs `body(step)`; on a failure runs `set_result`, then composes the
  // message.
  template <class Body, class SetResult>
  void Run(Body&& body, SetResult&& set_result) {
    try {
      body(step_);
      return;
    } catch (const Error& e) {
      set_result();
      Compose(e);
    } catch (const std::bad_alloc&) {
      set_result();
      Compose(Error(7, "Out of memory"));
    } catch (const std::exception& e) {
      set_result();
      Compose(Error(51, std::string("Internal error: ") + e.what()));
    }
  }

 private:
  void Compose(const Error& e);

  std::string_view text_;
  std::string_view prefix_;
  const Value* user_ = nullptr;  // none: no diagnostic part
  Value& message_;
  const std::string* command_ = nullptr;
  Step step_;
};

}  // namespace zebevi::frame

#endif  // ZEBEVI_FRAME_TRAP_H_
