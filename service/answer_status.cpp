#include "service/answer_status.h"

#include <array>
#include <utility>

#include "frame/trap.h"

namespace zebevi::service {
namespace {

// The operations' own messages for an answer that delivers nothing.
constexpr std::array<std::pair<std::string_view, int>, 11> kMessages{{
    {"Documentação de Viagem não encontrada.", 404},
    {"Documento não cadastrado.", 404},
    {"Não existe o Pedido informado no banco de dados.", 404},
    {"Can\u00b4t find any cargo whit this filter.", 404},
    {"Informe um documento de transporte.", 400},
    {"Informe um documento de Transporte. ", 400},
    {"Informe algum documento.", 400},
    {"Informe somente um documento.", 400},
    {"O número do conhecimento deve ser númerico.", 400},
    // The order procedure gave no row at all: its table is in trouble.
    {"Cadastro de Pedido com problemas.", 503},
    {"Problem with Document table. Please, try again later.", 503},
}};

bool IsTrapText(std::string_view message) {
  // The diagnostic detail, when there is one, follows the fixed text.
  return message.starts_with(frame::kClientesText) || message.starts_with(frame::kTrackingText);
}

// A message that says nothing was delivered.
int StatusOfRefusal(std::string_view message, bool uses_database) {
  if (IsTrapText(message)) return uses_database ? 503 : 400;
  for (const auto& [text, status] : kMessages) {
    if (message == text) return status;
  }
  return 400;
}

}  // namespace

int StatusOfCode(std::int32_t code, std::string_view message) {
  if (code == 0) return 200;
  if (code == 50) return 503;
  return StatusOfRefusal(message, /*uses_database=*/true);
}

int StatusOfBoolean(bool result, std::string_view message, bool uses_database) {
  return result ? 200 : StatusOfRefusal(message, uses_database);
}

}  // namespace zebevi::service
