// `zebevi trip` through the real executable, on a demo database.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "demo_fixture.h"

namespace zebevi::testing {
namespace {

namespace fs = std::filesystem;

// Code points, which is what a terminal shows for the Latin texts here.
std::size_t Columns(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// Where `zebevi trip --json` carries each output of the operation, the header
// block first, in the order the terminal shows it.
struct Carried {
  const char* where;  // a JSON pointer
  const char* output;
};
const std::vector<Carried> kTripOutputs{
    {"/document/order_number", "outvntNum_Pedido"},
    {"/document/number", "outvntNum_docto_Transporte"},
    {"/header/tractor", "outvntCavalo"},
    {"/header/trailer", "outvntCarreta"},
    {"/header/driver", "outvntColaborador"},
    {"/header/product", "outvntProduto"},
    {"/header/sender", "outvntRemetente"},
    {"/header/consignee", "outvntDestinatario"},
    {"/header/customer", "outvntCliente"},
    {"/header/arrival/actual", "outvntData_Chegada_Cliente_Efetiva"},
    {"/header/arrival/planned", "outvntdata_Chegada_cliente_prevista"},
    {"/header/arrival/tracker_estimate", "outvntData_Prevista_Rastreador"},
    {"/header/deadline", "outvntFlag_no_prazo"},
    {"/cycle/distances/total_km", "outvntKm_Total"},
    {"/cycle/distances/to_sender_km", "outvntkm_ate_Rem"},
    {"/cycle/distances/sender_to_consignee_km", "outvntKm_Rem_Dest"},
    {"/cycle/distances/after_consignee_km", "outvntKm_Apos_Dest"},
    {"/cycle/times/operation_minutes", "outvntTempo_Operacao"},
    {"/cycle/times/transport_minutes", "outvntTempo_Transporte"},
    {"/cycle/times/to_sender_minutes", "outvntTempo_Ate_Rem"},
    {"/cycle/times/return_minutes", "outvntTempo_Retorno"},
    {"/cycle/times/loading_and_unloading_minutes", "outvntTempo_Total_Carga_Desc"},
    {"/cycle/times/loading_minutes", "outvntTempo_Carga"},
    {"/cycle/times/unloading_minutes", "outvntTempo_Descarga"},
    {"/cycle/times/waiting_window_minutes", "outvntTempo_Janela_Espera"},
    {"/cycle/times/after_loading_minutes", "outvntTempo_Pos_Carga"},
    {"/cycle/times/after_unloading_minutes", "outvntTempo_Pos_desc"},
    {"/cycle/times/before_loading_minutes", "outvntTempo_Ant_Carga"},
    {"/cycle/times/before_unloading_minutes", "outvntTempo_Ant_Desc"},
    {"/cycle/times/sender_to_consignee_minutes", "outvntTempo_Rem_Des"},
    {"/route/planned_km", "outvntKm_Ate_Dest_Rota"},
    {"/route/planned_time_of_day", "outvntTempo_Ate_Dest_Rota"},
};
// The lists: rows, field of a row, output.
const std::vector<std::array<const char*, 3>> kTripLists{
    {"/invoices", "number", "outarrvntNota_Fiscal"},
    {"/invoices", "weight_kg", "outarrvntPeso_Real"},
    {"/invoices", "declared_value_brl", "outarrvntVal_Declarado"},
    {"/occurrences", "at", "outarrvntData_Ocor"},
    {"/occurrences", "description", "outarrvntDescr_Ocor"},
    {"/occurrences", "odometer_km", "outarrvntOdometro_Ocor"},
};

// A copy of the demo database in `dir` where `assignment` is made to the row
// of `table` that `document` refers to by `key`.
fs::path DocumentEdited(const TempDir& dir, const std::string& document, const std::string& table,
                        const std::string& key, const std::string& assignment) {
  return EditedDemo(
      dir, "UPDATE " + table + " SET " + assignment + " WHERE " + key + " = (SELECT " + key +
               " FROM docto_transporte WHERE docto_transporte_id = " + document + ");");
}

// Every output of `zebevi call gConsulta_Espelho_Viagem` for `document`
// against `zebevi trip --json`.
void ExpectTripJsonMatchesCall(const std::string& document) {
  SCOPED_TRACE("document " + document);
  const CommandResult trip = RunOnDemo({"trip", document, "--json"});
  ASSERT_EQ(trip.status, 0) << trip.err;
  const Json summary = OutputJson(trip);
  const CommandResult call =
      RunZebevi({"call", "gConsulta_Espelho_Viagem",
                 Json{{"invntConecta_db", "sqlite:" + SharedDemo().path.string()},
                      {"invntDOCTO_TRANSPORTE_ID", std::stoi(document)}}
                     .dump()});
  ASSERT_EQ(call.status, 0) << call.err;
  const Json answer = OutputJson(call);
  const Json& params = answer["params"];

  EXPECT_EQ(summary["status"], answer["result"]["value"]);
  EXPECT_EQ(summary["message"], Plain(params["outvntMsg_ret"]));
  ExpectCarries(summary["document"]["id"], Plain(params["invntDOCTO_TRANSPORTE_ID"]), "id");
  std::set<std::string> carried{"outvntMsg_ret", "outvntQtde_Nota", "outvntQtde_Ocor"};
  for (const Carried& c : kTripOutputs) {
    ExpectCarries(summary.at(Json::json_pointer(c.where)), Plain(params[c.output]), c.output);
    carried.insert(c.output);
  }
  for (const auto& [rows_at, field, output] : kTripLists) {
    const Json& rows = summary.at(Json::json_pointer(rows_at));
    const Json list = Plain(params[output]);
    ASSERT_EQ(rows.size(), list.is_array() ? list.size() : 0u) << output;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      ExpectCarries(rows[i][field], list[i], std::string(output) + "[" + std::to_string(i) + "]");
    }
    carried.insert(output);
  }
  for (const auto& [rows, count] :
       {std::pair{"invoices", "outvntQtde_Nota"}, std::pair{"occurrences", "outvntQtde_Ocor"}}) {
    const Json delivered = Plain(params[count]);
    EXPECT_EQ(summary[rows].size(), delivered.is_null() ? 0u : delivered.get<std::size_t>());
  }
  // Every output of the operation is carried.
  for (const auto& [name, value] : params.items()) {
    if (name.rfind("out", 0) == 0) {
      EXPECT_EQ(carried.count(name), 1u) << name;
    }
  }
  EXPECT_EQ(carried.size(), 41u);
}

TEST(TripCommand, JsonCarriesTheFiguresOfTheCall) {
  const DemoDatabase& demo = SharedDemo();
  for (const char* kind :
       {"exchanged_document_id", "plain_document_id", "document_without_route_id",
        "document_without_cycle_id", "document_without_arrival_id"}) {
    ExpectTripJsonMatchesCall(demo.Fact(kind));
  }
}

TEST(TripCommand, ShowsEveryBlockOfAnExchangedDocument) {
  const std::string document = SharedDemo().Fact("exchanged_document_id");
  const CommandResult run = RunOnDemo({"trip", document});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.err.empty()) << run.err;
  EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << "no colour off a terminal";
  const Json json = OutputJson(RunOnDemo({"trip", document, "--json"}));

  EXPECT_EQ(Lines(run.out).front(), "Espelho da viagem · documento " + document);
  // Header: every label once, its value after it, all values in one column.
  const std::vector<std::string> header = Block(run.out, "Espelho da viagem");
  ASSERT_EQ(header.size(), 13u) << run.out;
  const std::vector<std::string> labels{
      "Pedido",    "Documento",       "Cavalo",           "Carreta",
      "Motorista", "Produto",         "Remetente",        "Destinatário",
      "Cliente",   "Chegada efetiva", "Chegada prevista", "Previsão do rastreador",
      "Prazo"};
  std::size_t value_column = 0;
  for (std::size_t k = 0; k < labels.size(); ++k) {
    const std::string& line = header[k];
    SCOPED_TRACE(line);
    EXPECT_EQ(line.rfind("  " + labels[k] + " ", 0), 0u);
    // An empty figure shows as a dash.
    const std::string shown = Shown(json.at(Json::json_pointer(kTripOutputs[k].where)));
    const std::string text = shown.empty() ? "—" : shown;
    ASSERT_EQ(line.substr(line.size() - text.size()), text);
    const std::size_t column = Columns(line) - Columns(text);
    if (k == 0) value_column = column;
    EXPECT_EQ(column, value_column) << "values align by columns, not bytes";
  }
  EXPECT_NE(json["document"]["number"].get<std::string>().find(" / "), std::string::npos);

  const Json& invoices = json["invoices"];
  const std::vector<std::string> invoice_lines =
      Block(run.out, "Notas fiscais (" + std::to_string(invoices.size()) + ")");
  ASSERT_EQ(invoice_lines.size(), invoices.size() + 2);
  EXPECT_EQ(invoice_lines[0], "  Nota fiscal  Peso real (kg)  Valor declarado (R$)");
  for (std::size_t i = 0; i < invoices.size(); ++i) {
    const std::string& line = invoice_lines[i + 2];
    EXPECT_EQ(line.rfind("  " + Shown(invoices[i]["number"]), 0), 0u);
    // Right-aligned figures end where their headers end.
    const std::string value = Shown(invoices[i]["declared_value_brl"]);
    EXPECT_EQ(line.substr(line.size() - value.size()), value);
    EXPECT_EQ(Columns(line), Columns(invoice_lines[0]));
  }

  const Json& route = json["route"];
  const std::vector<std::string> route_lines = Block(run.out, "Rota prevista");
  ASSERT_EQ(route_lines.size(), 2u);
  EXPECT_EQ(route_lines[0], "  Distância (km)       " + Shown(route["planned_km"]));
  EXPECT_EQ(route_lines[1], "  Tempo (hora do dia)  " + Shown(route["planned_time_of_day"]));
  EXPECT_EQ(Block(run.out, "Distâncias (km)").size(), 4u);
}

TEST(TripCommand, DrawsTheCycleTimesAsBarsInProportionToTheirMinutes) {
  const std::string document = SharedDemo().Fact("plain_document_id");
  const CommandResult run = RunOnDemo({"trip", document});
  ASSERT_EQ(run.status, 0) << run.err;
  const Json times = OutputJson(RunOnDemo({"trip", document, "--json"}))["cycle"]["times"];
  const std::vector<std::string> bars = Block(run.out, "Tempos do ciclo (h:min)");
  ASSERT_EQ(bars.size(), 13u) << run.out;
  std::int64_t longest = 0;
  for (const auto& [name, time] : times.items())
    longest = std::max<std::int64_t>(longest, time["value"]);
  ASSERT_GT(longest, 0);
  const std::map<std::string, int> kEighths{{"█", 8}, {"▉", 7}, {"▊", 6}, {"▋", 5},
                                            {"▌", 4}, {"▍", 3}, {"▎", 2}, {"▏", 1}};
  std::size_t row = 0;
  for (const auto& [name, time] : times.items()) {
    const std::int64_t value = time["value"];
    const std::string& line = bars[row++];
    SCOPED_TRACE(line);
    int drawn = 0;
    for (const auto& [block, eighths] : kEighths) {
      for (std::size_t at = line.find(block); at != std::string::npos;
           at = line.find(block, at + block.size())) {
        drawn += eighths;
      }
    }
    const double share = static_cast<double>(value) / longest;
    const int expected = value > 0 ? std::max(1, static_cast<int>(std::lround(share * 320))) : 0;
    EXPECT_EQ(drawn, expected) << name;
  }
}

TEST(TripCommand, ShowsTheOccurrencesAsATimelineWithTheTimeBetweenThem) {
  const std::string document = SharedDemo().Fact("exchanged_document_id");
  const CommandResult run = RunOnDemo({"trip", document});
  const Json rows = OutputJson(RunOnDemo({"trip", document, "--json"}))["occurrences"];
  ASSERT_GE(rows.size(), 2u);
  const std::vector<std::string> timeline =
      Block(run.out, "Ocorrências de rastreamento (" + std::to_string(rows.size()) + ")");
  ASSERT_EQ(timeline.size(), 2 * rows.size() - 1) << run.out;
  const std::regex moment("(..)/(..)/(....) (..):(..)");
  const auto minutes = [&](const Json& row) {
    std::smatch m;
    const std::string when = Shown(row["at"]);
    EXPECT_TRUE(std::regex_match(when, m, moment)) << when;
    using namespace std::chrono;
    const sys_days day{year(std::stoi(m[3])) / month(std::stoi(m[2])) / std::stoi(m[1])};
    return static_cast<int>(day.time_since_epoch().count()) * 24 * 60 + std::stoi(m[4]) * 60 +
           std::stoi(m[5]);
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string& line = timeline[2 * i];
    EXPECT_EQ(line.rfind("  " + Shown(rows[i]["at"]) + "  ●  " + Shown(rows[i]["description"]), 0),
              0u)
        << line;
    EXPECT_NE(line.find("odômetro " + Shown(rows[i]["odometer_km"])), std::string::npos);
    if (i == 0) {
      EXPECT_EQ(rows[i]["minutes_since_previous"], nullptr);
      continue;
    }
    const int gap = minutes(rows[i]) - minutes(rows[i - 1]);
    EXPECT_EQ(rows[i]["minutes_since_previous"], gap);
    const std::string between = timeline[2 * i - 1];
    EXPECT_EQ(
        between.substr(between.find("│")),
        "│ +" + std::to_string(gap / 60) + (gap % 60 < 10 ? ":0" : ":") + std::to_string(gap % 60));
  }
}

TEST(TripCommand, SaysWhichBlocksADocumentLacks) {
  const DemoDatabase& demo = SharedDemo();
  const CommandResult no_route = RunOnDemo({"trip", demo.Fact("document_without_route_id")});
  ASSERT_EQ(no_route.status, 0) << no_route.err;
  EXPECT_EQ(Block(no_route.out, "Rota prevista"), std::vector<std::string>{"  sem rota"});

  const CommandResult no_cycle = RunOnDemo({"trip", demo.Fact("document_without_cycle_id")});
  ASSERT_EQ(no_cycle.status, 0) << no_cycle.err;
  EXPECT_EQ(Block(no_cycle.out, "Tempos do ciclo (h:min)"),
            std::vector<std::string>{"  ciclo não apurado"});
  EXPECT_EQ(Block(no_cycle.out, "Distâncias (km)"),
            std::vector<std::string>{"  distâncias não apuradas"});

  const CommandResult no_arrival = RunOnDemo({"trip", demo.Fact("document_without_arrival_id")});
  ASSERT_EQ(no_arrival.status, 0) << no_arrival.err;
  EXPECT_NE(no_arrival.out.find("\n  Chegada efetiva         —\n"), std::string::npos)
      << no_arrival.out;
}

TEST(TripCommand, EndsWithStatusOneAndTheMessageWhenTheSummaryRefuses) {
  const CommandResult unknown = RunOnDemo({"trip", "99999999"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_TRUE(unknown.out.empty()) << unknown.out;
  EXPECT_EQ(unknown.err.rfind("zebevi: Documentação de Viagem não encontrada.\n", 0), 0u);

  const CommandResult none = RunOnDemo({"trip", "0"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err, "zebevi: Informe um documento de transporte.\n");

  // Scripts still get the answer as JSON.
  const CommandResult json = RunOnDemo({"trip", "99999999", "--json"});
  EXPECT_EQ(json.status, 1);
  const Json answer = OutputJson(json);
  EXPECT_EQ(answer["status"], 10);
  EXPECT_EQ(answer["message"], "Documentação de Viagem não encontrada.");
  EXPECT_EQ(answer["document"]["order_number"], "");
  EXPECT_EQ(answer["header"]["arrival"]["actual"], (Json{{"value", nullptr}, {"display", ""}}));
}

TEST(TripCommand, TellsThePlannedRouteTimeAsTheTimeOfDayItIs) {
  TempDir dir;
  const std::string document = SharedDemo().Fact("plain_document_id");
  // A route planned at 68 h 18 min: two days and 20:18.
  const fs::path copy =
      DocumentEdited(dir, document, "rota", "rota_id", "tempo_previsto = 68 / 24.0 + 18 / 1440.0");
  const Json json = OutputJson(RunZebevi({"trip", document, "--db", copy.string(), "--json"}));
  EXPECT_EQ(json["route"]["planned_time_of_day"], (Json{{"value", "20:18"}, {"display", "20:18"}}));
  const CommandResult text = RunZebevi({"trip", document, "--db", copy.string()});
  EXPECT_EQ(Block(text.out, "Rota prevista")[1], "  Tempo (hora do dia)  20:18");
  const CommandResult page = RunZebevi({"trip", document, "--db", copy.string(), "--html", "-"});
  EXPECT_NE(page.out.find("<dd data-field=\"route.planned_time_of_day\">20:18 <small"),
            std::string::npos)
      << page.out;
  EXPECT_NE(page.out.find(">Tempo (hora do dia)</dt>"), std::string::npos);
}

TEST(TripCommand, EndsWithStatusThreeWithoutADatabase) {
  TempDir dir;
  const std::string missing = (dir / "missing.db").string();
  const CommandResult path = RunZebevi({"trip", "1", "--db", missing});
  EXPECT_EQ(path.status, 3);
  EXPECT_TRUE(path.out.empty());
  EXPECT_EQ(path.err, "zebevi: no database at " + missing + "\n");

  const CommandResult connection = RunZebevi({"trip", "1", "--db", "sqlite:" + missing});
  EXPECT_EQ(connection.status, 3);
  EXPECT_EQ(connection.err.rfind("zebevi: cannot open the database: ", 0), 0u) << connection.err;
  EXPECT_NE(connection.err.find("missing.db"), std::string::npos);

  const CommandResult folder = RunZebevi({"trip", "1", "--db", dir.path().string()});
  EXPECT_EQ(folder.status, 3);
  EXPECT_EQ(folder.err, "zebevi: " + dir.path().string() + " is not a database file\n");
}

TEST(TripCommand, RefusesBadUsageWithStatusTwo) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"trip"}, std::vector<std::string>{"trip", "1", "--frobnicate"},
        std::vector<std::string>{"trip", "1", "--db"},
        std::vector<std::string>{"trip", "1", "--json", "--html", "-"}}) {
    const CommandResult run = RunOnDemo(args);
    EXPECT_EQ(run.status, 2) << args.back();
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_FALSE(run.err.empty());
  }
  const CommandResult help = RunZebevi({"trip", "--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* option : {"--db", "--json", "--trace", "--html", "--user", "--customer-group"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
}

TEST(TripCommand, TracesEachCommandItSends) {
  const DemoDatabase& demo = SharedDemo();
  const CommandResult run = RunOnDemo({"trip", demo.Fact("plain_document_id"), "--trace"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> trace = Lines(run.err);
  const std::vector<std::string> heads{
      "EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP", "Exec SP_ZEB_CON_Dados_Doc_Viagem11",
      "exec SP_ZEB_CON_NOTA_FISCAL_DOCTO3", "Exec SP_ZEB_CON_TRACKING_CICLO5",
      "Exec SP_ZEB_CON_Resumo_Ciclo2",      "Exec SP_ZEB_CON_Tempo_km_Rota"};
  ASSERT_EQ(trace.size(), heads.size()) << run.err;
  for (std::size_t i = 0; i < heads.size(); ++i) {
    const Json line = Json::parse(trace[i]);
    EXPECT_EQ(line["sql"].get<std::string>().rfind(heads[i], 0), 0u) << trace[i];
  }
  EXPECT_EQ(Lines(run.out).front(),
            "Espelho da viagem · documento " + demo.Fact("plain_document_id"));

  // A customer selects the customer's tracking procedure.
  const CommandResult customer =
      RunOnDemo({"trip", demo.Fact("plain_document_id"), "--customer", "1", "--trace"});
  EXPECT_NE(customer.err.find("Exec SP_ZEB_CON_TRACK_CICLO_CLI5"), std::string::npos);
}

TEST(TripCommand, ColoursATerminalUnlessNoColorIsSet) {
  const std::string db = SharedDemo().path.string();
  const std::string document = SharedDemo().Fact("plain_document_id");
  const CommandResult terminal = RunInTerminal({"trip", document, "--db", db}, {"NO_COLOR="});
  ASSERT_EQ(terminal.status, 0) << terminal.out;
  EXPECT_NE(terminal.out.find("\x1b[1mEspelho da viagem"), std::string::npos) << terminal.out;

  const CommandResult plain = RunInTerminal({"trip", document, "--db", db}, {"NO_COLOR=1"});
  ASSERT_EQ(plain.status, 0) << plain.out;
  EXPECT_EQ(plain.out.find('\x1b'), std::string::npos) << plain.out;
}

TEST(TripCommand, EscapesTheTextsOfItsHtmlPage) {
  TempDir dir;
  const std::string document = SharedDemo().Fact("plain_document_id");
  const fs::path copy =
      DocumentEdited(dir, document, "produto", "produto_id", "descricao = '<b>Pó & \"Cal\"</b>'");
  const CommandResult page = RunZebevi({"trip", document, "--db", copy.string(), "--html", "-"});
  ASSERT_EQ(page.status, 0) << page.err;
  EXPECT_EQ(page.out.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.out.find("&lt;b&gt;Pó &amp; &quot;Cal&quot;&lt;/b&gt;"), std::string::npos);
  EXPECT_EQ(page.out.find("<b>Pó"), std::string::npos);
  const CommandResult text = RunZebevi({"trip", document, "--db", copy.string()});
  EXPECT_NE(text.out.find("  Produto                 <b>Pó & \"Cal\"</b>\n"), std::string::npos)
      << text.out;
}

}  // namespace
}  // namespace zebevi::testing
