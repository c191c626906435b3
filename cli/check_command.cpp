#include "cli/check_command.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/json_value.h"
#include "cli/text_layout.h"
#include "cli/text_style.h"
#include "db/connection_string.h"
#include "zebevi/db.h"
#include "zebevi/error.h"

namespace zebevi::cli {
namespace {

// A command the operations send, with arguments that match no row, and the
// columns they read from its answer.
struct Probe {
  std::string_view operation;
  std::string_view name;
  std::string_view command;
  std::vector<std::string_view> columns;
};

const std::vector<Probe>& Probes() {
  static const std::vector<Probe> probes{
      {"mConsulta_TROCA_DOCTO_TRANSP",
       "SP_ZEB_CON_TROCA_DOCTO_TRANSP",
       "EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP 0",
       {"retorno", "DOCTO_TRANSP_PAI_ID", "num_docto_pai", "DOCTO_TRANSP_FILHO_ID",
        "num_docto_filho"}},
      {"mBusca_Dados_Docto_Viagem",
       "SP_ZEB_CON_Dados_Doc_Viagem11",
       "Exec SP_ZEB_CON_Dados_Doc_Viagem11 0, 0, 'N'",
       {"num_pedido_interno", "num_docto_transporte", "CAVALO", "PLACA_CAVALO", "carreta",
        "PLACA_carreta", "produto", "nome", "Data_Chegada_Cliente_Efetiva",
        "data_Chegada_cliente_prevista", "data_prevista_rastreador", "remetente", "destinatario",
        "cliente", "rota_id", "flag_no_prazo"}},
      {"mBusca_Nota_Fiscais",
       "SP_ZEB_CON_NOTA_FISCAL_DOCTO3",
       "exec SP_ZEB_CON_NOTA_FISCAL_DOCTO3 0, 0, 'N'",
       {"nota_fiscal", "peso_real_kg", "val_declarado"}},
      {"mBusca_Dados_Viagem",
       "SP_ZEB_CON_TRACKING_CICLO5",
       "Exec SP_ZEB_CON_TRACKING_CICLO5 0, 0, 'N'",
       {"DESC_TIPO_MACRO", "data_tracking", "odometro"}},
      {"mBusca_Dados_Viagem",
       "SP_ZEB_CON_TRACK_CICLO_CLI5",
       "Exec SP_ZEB_CON_TRACK_CICLO_CLI5 0, 0, 'N'",
       {"DESC_TIPO_MACRO", "data_tracking", "odometro"}},
      {"mBusca_Apuracao",
       "SP_ZEB_CON_Resumo_Ciclo2",
       "Exec SP_ZEB_CON_Resumo_Ciclo2 0, 'N'",
       {"Km_total", "km_ate_rem", "km_rem_dest", "km_apos_dest", "tempo_operacao",
        "tempo_transporte", "tempo_ate_rem", "tempo_retorno", "Tempo_proc", "tempo_carga",
        "tempo_descarga", "tempo_janela_espera", "tempo_ant_carga", "tempo_pos_carga",
        "tempo_ant_desc", "tempo_pos_desc", "tempo_rem_dest"}},
      {"mConsulta_Dados_Rota",
       "SP_ZEB_CON_Tempo_km_Rota",
       "Exec SP_ZEB_CON_Tempo_km_Rota 0",
       {"total_km", "tempo_previsto"}},
      {"mConsulta_Grupo_Usuario_Parti",
       "GRUPO_USUARIO_PARTICUL, PARTICUL_FUNCAO",
       "SELECT GRP.GRUPO_USUARIO_PARTICUL_ID, GRP.PARTICUL_FUNCAO_ID, PFU.desc_particul_funcao "
       "FROM GRUPO_USUARIO_PARTICUL GRP, PARTICUL_FUNCAO PFU "
       "Where GRP.PARTICUL_FUNCAO_ID = PFU.PARTICUL_FUNCAO_ID AND grp.Grupo_Usuario_Id = 0 And "
       "presenca_particularidade = 'S'",
       {"PARTICUL_FUNCAO_ID"}},
      {"gValida_Num_Documento",
       "SP_ZEB_CON_Docto_Transporte_ID6",
       "EXEC SP_ZEB_CON_Docto_Transporte_ID6 '', '', 0, 0, 0, 0, 0, 0, 0",
       {"Docto_Transporte_id", "num_docto_transporte", "data_emissao",
        "Data_Chegada_Cliente_Efetiva", "nome_fantasia", "nome"}},
      {"gValida_Num_Pedido_Publ",
       "SP_ZEB_CONS_pedido_PUBL",
       "EXEC SP_ZEB_CONS_pedido_PUBL '0', NULL, '', NULL, NULL, NULL, NULL",
       {"contador", "retorno", "Docto_Transporte_id", "num_docto_transporte", "data_emissao",
        "data_entrega"}},
  };
  return probes;
}

struct ProbeResult {
  const Probe* probe;
  std::chrono::microseconds took{0};
  std::optional<std::string> error;          // the command failed
  std::vector<std::string> missing_columns;  // it answered without these
  bool ok() const { return !error && missing_columns.empty(); }
};

// The column "answer" of the first row of `sql`'s answer as text, or the
// database's text of its failure.
struct Scalar {
  std::optional<std::string> text;
  std::optional<std::string> error;
};

Scalar Ask(const DbConnectionRef& connection, std::string_view sql) {
  try {
    DbRecordset rs;
    rs.Open(sql, connection);
    Scalar answer;
    if (!rs.eof()) answer.text = ToString(Plain(rs.Fields("answer")));
    rs.Close();
    return answer;
  } catch (const Error& e) {
    return Scalar{.text = std::nullopt, .error = e.description()};
  }
}

ProbeResult Run(const Probe& probe, const DbConnectionRef& connection) {
  ProbeResult result{.probe = &probe, .error = std::nullopt, .missing_columns = {}};
  const auto start = std::chrono::steady_clock::now();
  try {
    DbRecordset rs;
    rs.Open(probe.command, connection);
    result.took = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    for (std::string_view column : probe.columns) {
      try {
        rs.Fields(column);
      } catch (const Error&) {
        result.missing_columns.emplace_back(column);
      }
    }
    rs.Close();
  } catch (const Error& e) {
    result.took = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    result.error = e.description();
  }
  return result;
}

std::string Engine(const std::string& connection) {
  const db::ConnectionString parsed = db::ConnectionString::Parse(connection);
  const std::string provider = parsed.Get("provider").value_or("");
  if (db::ConnectionString::NormalizeKey(provider) == "sqlite") return "SQLite";
  if (db::ConnectionString::NormalizeKey(provider) == "postgresql") return "PostgreSQL";
  return "ODBC";
}

std::optional<std::string> ServerVersion(const std::string& engine,
                                         const DbConnectionRef& connection) {
  if (engine == "SQLite") return Ask(connection, "SELECT sqlite_version() AS answer").text;
  if (engine == "PostgreSQL") {
    return Ask(connection, "SELECT current_setting('server_version') AS answer").text;
  }
  return std::nullopt;
}

std::string Milliseconds(std::chrono::microseconds took) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f ms", static_cast<double>(took.count()) / 1000.0);
  return text;
}

std::string Missing(const ProbeResult& r) {
  if (r.error) return std::string(r.probe->name) + ": " + *r.error;
  std::string text = std::string(r.probe->name) + ": no column";
  for (std::size_t i = 0; i < r.missing_columns.size(); ++i) {
    text += (i ? ", " : " ") + r.missing_columns[i];
  }
  return text;
}

}  // namespace

CLI::App* AddCheckVerb(CLI::App& app, CheckOptions& options) {
  CLI::App* verb = app.add_subcommand(
      "check", "Check that a database holds every procedure the operations call");
  AddVerbOptions(*verb, options.verb);
  return verb;
}

int RunCheck(const CheckOptions& options, const Console& terminal) {
  return RunVerb(terminal, options.verb, [&](const VerbRun& run) {
    const Console& console = run.console();
    const std::string connection_string = run.Connection();
    auto connection = std::make_shared<DbConnection>();
    connection->Open(connection_string);

    const std::string engine = Engine(connection_string);
    const std::optional<std::string> version = ServerVersion(engine, connection);
    const Scalar count = Ask(connection, "SELECT COUNT(*) AS answer FROM docto_transporte");
    const std::optional<std::string>& documents = count.text;
    std::vector<ProbeResult> results;
    for (const Probe& probe : Probes()) results.push_back(Run(probe, connection));
    connection->Close();

    std::vector<std::string> missing;
    if (count.error) missing.push_back("docto_transporte: " + *count.error);
    for (const ProbeResult& r : results) {
      if (!r.ok()) missing.push_back(Missing(r));
    }

    if (options.verb.json) {
      Json procedures = Json::array();
      for (const ProbeResult& r : results) {
        procedures.push_back({{"operation", r.probe->operation},
                              {"procedure", r.probe->name},
                              {"ok", r.ok()},
                              {"us", r.took.count()},
                              {"error", r.error ? Json(*r.error) : Json(nullptr)},
                              {"missing_columns", r.missing_columns}});
      }
      console.out << CompactJson(Json{
                         {"engine", engine},
                         {"server_version", version ? Json(*version) : Json(nullptr)},
                         {"documents", documents ? Json(std::stoll(*documents)) : Json(nullptr)},
                         {"ok", missing.empty()},
                         {"missing", missing},
                         {"procedures", std::move(procedures)}})
                  << '\n';
    } else {
      const TextStyle style(console.colour);
      console.out << style.Title("Database check") << "\n\n";
      RenderFields(console.out,
                   {{"Engine", engine},
                    {"Server version", version.value_or("unknown")},
                    {"Transport documents", documents.value_or("unknown")}},
                   style);
      console.out << '\n';
      Table table;
      table.AddColumn("Procedure");
      table.AddColumn("Operation");
      table.AddColumn("Time", Align::kRight);
      table.AddColumn("State");
      for (const ProbeResult& r : results) {
        table.AddRow({std::string(r.probe->name), std::string(r.probe->operation),
                      Milliseconds(r.took), r.ok() ? style.Good("ok") : style.Bad("missing")});
      }
      table.Render(console.out, style);
    }
    if (missing.empty()) return kExitOk;
    console.err << "zebevi: missing from the database:\n";
    for (const std::string& m : missing) console.err << "  " << m << '\n';
    return kExitFailure;
  });
}

}  // namespace zebevi::cli
