#include "cli/flags_command.h"

#include <array>
#include <ostream>

#include "cli/default_database.h"
#include "cli/operation_call.h"
#include "cli/plain_json.h"
#include "cli/text_layout.h"
#include "cli/text_style.h"

namespace zebevi::cli {
namespace {

struct Feature {
  std::string_view output;
  int code;
  std::string_view label;
};

constexpr std::array<Feature, 13> kFeatures{{
    {"outvntFlag_num_pedido", 114, "Número do pedido"},
    {"outvntFlag_num_docto_transporte", 115, "Número do documento de transporte"},
    {"outvntFlag_Cavalo", 116, "Cavalo e placa"},
    {"outvntFlag_Carreta", 117, "Carreta e placa"},
    {"outvntFlag_Motorista", 118, "Motorista"},
    {"outvntFlag_nota_fiscal", 119, "Notas fiscais"},
    {"outvntFlag_dados_viagem", 120, "Dados da viagem"},
    {"outvntFlag_Apuracao_Distancia", 121, "Apuração de distâncias"},
    {"outvntFlag_Apuracao_Janela_Tempo", 122, "Apuração de janelas de tempo"},
    {"outvntFlag_Eficiencia", 123, "Eficiência"},
    {"outvntFlag_remetente", 124, "Remetente"},
    {"outvntFlag_destinatario", 125, "Destinatário"},
    {"outvntFlag_Cliente", 126, "Cliente"},
}};

void RenderFlags(const Console& console, const OperationCall& call) {
  const TextStyle style(console.colour);
  console.out << style.Title("Recursos do grupo de usuários " +
                             DisplayText(call.Get("invntGrupo_Usuario_Id")))
              << '\n';
  const std::string message = DisplayText(call.Get("outvntMsg_ret"));
  if (!message.empty()) console.out << style.Warn(message) << '\n';
  console.out << '\n';
  Table table;
  table.AddColumn("Código", Align::kRight);
  table.AddColumn("Recurso");
  table.AddColumn("Liberado");
  for (const Feature& f : kFeatures) {
    const std::string flag = DisplayText(call.Get(f.output));
    table.AddRow({std::to_string(f.code), std::string(f.label),
                  flag == "S" ? style.Good(flag) : style.Muted(flag)});
  }
  table.Render(console.out, style);
}

}  // namespace

CLI::App* AddFlagsVerb(CLI::App& app, FlagsOptions& options) {
  CLI::App* verb = app.add_subcommand("flags", "The optional features of a user group");
  verb->add_option("group", options.group, "User group identifier")->required();
  verb->add_option("--company", options.company, "Company identifier");
  verb->add_option("--user", options.user, "Internet user identifier (1: diagnostic detail)");
  AddVerbOptions(*verb, options.verb);
  return verb;
}

int RunFlags(const FlagsOptions& options, const Console& console) {
  return RunVerb(console, options.verb, [&] {
    OperationCall call("gConsulta_Grupo_Usuario_Parti");
    call.Set("invntConecta_db", Value::String(DatabaseConnection(options.verb.db, console)));
    call.Set("invntUsuario_Internet_id", IdentifierValue(options.user));
    call.Set("invntempresa_Id", IdentifierValue(options.company));
    call.Set("invntGrupo_Usuario_Id", IdentifierValue(options.group));
    const std::int32_t code = ResultCode(call.Run());

    if (options.verb.json) {
      std::vector<std::string_view> outputs;
      for (const Feature& f : kFeatures) outputs.push_back(f.output);
      PrintJson(console.out, Json{{"group", PlainJson(call.Get("invntGrupo_Usuario_Id"))},
                                  {"result", code},
                                  {"message", MessageJson(call)},
                                  {"flags", ParamsJson(call, outputs)}});
    } else if (code == 0) {
      RenderFlags(console, call);
    }
    return Conclude(console, code, call.Get("outvntMsg_ret"));
  });
}

}  // namespace zebevi::cli
