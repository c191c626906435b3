// `zebevi trip` through the real executable, on a demo database.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <regex>
#include <set>
#include <sstream>

#include "demo_fixture.h"

namespace zebevi::testing {
namespace {

// Where `zebevi trip --json` carries each output of the operation (pointer,
// output less its "outvnt"), the header block first, in the order the
// terminal shows it; /c/ is /cycle/, t/ times/ with _minutes, d/ distances/.
const std::vector<std::pair<std::string, std::string>> kTripOutputs = [] {
  std::istringstream table(R"(
    /document/order_number Num_Pedido  /document/number Num_docto_Transporte
    /header/tractor Cavalo  /header/trailer Carreta  /header/driver Colaborador
    /header/product Produto  /header/sender Remetente  /header/consignee Destinatario
    /header/customer Cliente  /header/arrival/actual Data_Chegada_Cliente_Efetiva
    /header/arrival/planned data_Chegada_cliente_prevista
    /header/arrival/tracker_estimate Data_Prevista_Rastreador  /header/deadline Flag_no_prazo
    /route/planned_km Km_Ate_Dest_Rota  /route/planned_time_of_day Tempo_Ate_Dest_Rota
    /c/d/total_km Km_Total  /c/d/to_sender_km km_ate_Rem  /c/d/sender_to_consignee_km Km_Rem_Dest
    /c/d/after_consignee_km Km_Apos_Dest  /c/t/operation Tempo_Operacao
    /c/t/transport Tempo_Transporte  /c/t/to_sender Tempo_Ate_Rem  /c/t/return Tempo_Retorno
    /c/t/loading_and_unloading Tempo_Total_Carga_Desc  /c/t/loading Tempo_Carga
    /c/t/unloading Tempo_Descarga  /c/t/waiting_window Tempo_Janela_Espera
    /c/t/after_loading Tempo_Pos_Carga  /c/t/after_unloading Tempo_Pos_desc
    /c/t/before_loading Tempo_Ant_Carga  /c/t/before_unloading Tempo_Ant_Desc
    /c/t/sender_to_consignee Tempo_Rem_Des)");
  std::vector<std::pair<std::string, std::string>> rows;
  for (std::string where, output; table >> where >> output;) {
    if (where.rfind("/c/t/", 0) == 0) where = "/cycle/times/" + where.substr(5) + "_minutes";
    if (where.rfind("/c/d/", 0) == 0) where = "/cycle/distances/" + where.substr(5);
    rows.emplace_back(where, "outvnt" + output);
  }
  return rows;
}();
// The lists: rows, field of a row, output.
const std::vector<std::array<const char*, 3>> kTripLists{
    {"/invoices", "number", "outarrvntNota_Fiscal"},
    {"/invoices", "weight_kg", "outarrvntPeso_Real"},
    {"/invoices", "declared_value_brl", "outarrvntVal_Declarado"},
    {"/occurrences", "at", "outarrvntData_Ocor"},
    {"/occurrences", "description", "outarrvntDescr_Ocor"},
    {"/occurrences", "odometer_km", "outarrvntOdometro_Ocor"},
};

TEST(TripCommand, JsonCarriesTheFiguresOfTheCall) {
  for (const char* kind :
       {"exchanged_document_id", "plain_document_id", "document_without_route_id",
        "document_without_cycle_id", "document_without_arrival_id"}) {
    const std::string document = SharedDemo().Fact(kind);
    SCOPED_TRACE(kind);
    const Json summary = OutputJson(RunOnDemo({"trip", document, "--json"}));
    const Json answer =
        CallOnDemo("gConsulta_Espelho_Viagem", {{"invntDOCTO_TRANSPORTE_ID", std::stoi(document)}});
    const Json& params = answer["params"];
    EXPECT_EQ(summary["status"], answer["result"]["value"]);
    EXPECT_EQ(summary["message"], Plain(params["outvntMsg_ret"]));
    ExpectCarries(summary["document"]["id"], Plain(params["invntDOCTO_TRANSPORTE_ID"]), "id");
    std::set<std::string> carried{"outvntMsg_ret", "outvntQtde_Nota", "outvntQtde_Ocor"};
    for (const auto& [where, output] : kTripOutputs) {
      ExpectCarries(summary.at(Json::json_pointer(where)), Plain(params[output]), output);
      carried.insert(output);
    }
    for (const auto& [rows_at, field, output] : kTripLists) {
      const Json& rows = summary.at(Json::json_pointer(rows_at));
      const Json list = Plain(params[output]);
      ASSERT_EQ(rows.size(), list.is_array() ? list.size() : 0u) << output;
      for (std::size_t i = 0; i < rows.size(); ++i) {
        ExpectCarries(rows[i][field], list[i], output + std::string("[") + std::to_string(i) + "]");
      }
      carried.insert(output);
    }
    EXPECT_EQ(Json(summary["invoices"].size()), Plain(params["outvntQtde_Nota"]));
    EXPECT_EQ(Json(summary["occurrences"].size()), Plain(params["outvntQtde_Ocor"]));
    for (const auto& [name, value] : params.items()) {
      EXPECT_TRUE(name.rfind("out", 0) != 0 || carried.count(name)) << name;
    }
    EXPECT_EQ(carried.size(), 41u);
  }
}

// `text` padded with blanks to `width` columns, on the left for a figure.
std::string Padded(const std::string& text, std::size_t width, bool figure = false) {
  const std::string blanks(width > Columns(text) ? width - Columns(text) : 0, ' ');
  return figure ? blanks + text : text + blanks;
}

TEST(TripCommand, ShowsEveryBlockOfAnExchangedDocument) {
  const std::string document = SharedDemo().Fact("exchanged_document_id");
  const CommandResult run = RunOnDemo({"trip", document});
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << "no colour off a terminal";
  const Json json = OutputJson(RunOnDemo({"trip", document, "--json"}));
  EXPECT_EQ(Lines(run.out).front(), "Espelho da viagem · documento " + document);
  EXPECT_NE(json["document"]["number"].get<std::string>().find(" / "), std::string::npos);
  // Each block against the JSON's figures, aligned by columns, not bytes.
  std::vector<std::string> header;
  std::size_t k = 0;
  for (const char* label : {"Pedido", "Documento", "Cavalo", "Carreta", "Motorista", "Produto",
                            "Remetente", "Destinatário", "Cliente", "Chegada efetiva",
                            "Chegada prevista", "Previsão do rastreador", "Prazo"}) {
    const std::string shown = Shown(json.at(Json::json_pointer(kTripOutputs[k++].first)));
    header.push_back("  " + Padded(label, 24) + (shown.empty() ? "—" : shown));
  }
  EXPECT_EQ(Block(run.out, "Espelho da viagem"), header);

  // Figures right-aligned with their decimal commas in one column (a whole
  // number ends where the commas stand).
  const Json& rows = json["invoices"];
  const auto figures = [&](const char* field, std::size_t width) {
    std::vector<std::string> cells;
    const auto tail = [](const std::string& cell) {
      return cell.size() - std::min(cell.size(), cell.find(','));
    };
    std::size_t widest = 0;
    for (const Json& row : rows)
      widest = std::max(widest, tail(cells.emplace_back(Shown(row[field]))));
    for (std::string& cell : cells)
      cell = Padded(cell + std::string(widest - tail(cell), ' '), width, true);
    return cells;
  };
  const std::vector<std::string> weights = figures("weight_kg", 14),
                                 values = figures("declared_value_brl", 20);
  std::vector<std::string> invoices{"  Nota fiscal  Peso real (kg)  Valor declarado (R$)", ""};
  for (std::size_t width : {11, 14, 20}) {
    for (std::size_t i = 0; i < width; ++i) invoices[1] += i ? "─" : "  ─";
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    invoices.push_back("  " + Padded(Shown(rows[i]["number"]), 11) + "  " + weights[i] + "  " +
                       values[i]);
  }
  EXPECT_EQ(Block(run.out, "Notas fiscais (" + std::to_string(json["invoices"].size()) + ")"),
            invoices);
  EXPECT_EQ(Block(run.out, "Rota prevista"),
            (std::vector<std::string>{
                "  Distância (km)       " + Shown(json["route"]["planned_km"]),
                "  Tempo (hora do dia)  " + Shown(json["route"]["planned_time_of_day"])}));
  EXPECT_EQ(Block(run.out, "Distâncias (km)").size(), 4u);

  // The longest time draws the whole width, every other time a part, none nothing.
  const std::vector<std::string> bars = Block(run.out, "Tempos do ciclo (h:min)");
  const Json& times = json["cycle"]["times"];
  ASSERT_EQ(bars.size(), times.size()) << run.out;
  std::int64_t longest = 0;
  for (const Json& time : times) longest = std::max<std::int64_t>(longest, time["value"]);
  std::string full;
  for (int i = 0; i < 40; ++i) full += "█";
  std::size_t row = 0;
  for (const Json& time : times) {
    const std::string& line = bars[row++];
    EXPECT_NE(line.find("  " + Shown(time) + "  "), std::string::npos) << line;
    EXPECT_EQ(line.find(full) != std::string::npos, time["value"] == longest) << line;
    bool drawn = false;
    for (const char* eighths : {"█", "▉", "▊", "▋", "▌", "▍", "▎", "▏"})
      drawn |= line.find(eighths) != std::string::npos;
    EXPECT_EQ(drawn, time["value"] != 0) << line;
  }
}

TEST(TripCommand, ShowsTheOccurrencesAsATimelineWithTheTimeBetweenThem) {
  const std::string document = SharedDemo().Fact("exchanged_document_id");
  const Json rows = OutputJson(RunOnDemo({"trip", document, "--json"}))["occurrences"];
  ASSERT_GE(rows.size(), 2u);
  const std::vector<std::string> timeline =
      Block(RunOnDemo({"trip", document}).out,
            "Ocorrências de rastreamento (" + std::to_string(rows.size()) + ")");
  ASSERT_EQ(timeline.size(), 2 * rows.size() - 1);
  const auto minutes = [&](const Json& row) {
    std::smatch m;
    const std::string when = Shown(row["at"]);
    EXPECT_TRUE(std::regex_match(when, m, std::regex("(..)/(..)/(....) (..):(..)"))) << when;
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
    const int gap = i == 0 ? 0 : minutes(rows[i]) - minutes(rows[i - 1]);
    EXPECT_EQ(rows[i]["minutes_since_previous"], i == 0 ? Json() : Json(gap));
    if (i == 0) continue;
    const std::string between = timeline[2 * i - 1];
    EXPECT_EQ(
        between.substr(between.find("│")),
        "│ +" + std::to_string(gap / 60) + (gap % 60 < 10 ? ":0" : ":") + std::to_string(gap % 60));
  }
}

TEST(TripCommand, SaysWhatItLacksOrWhyItRefuses) {
  const std::string not_found = "zebevi: Documentação de Viagem não encontrada.\n";
  ExpectRuns({
      {"trip {document_without_route_id} --db {demo}", 0, {}, {"\n  sem rota\n"}},
      {"trip {document_without_cycle_id} --db {demo}", 0, {}, {"\n  ciclo não apurado\n"}},
      {"trip {document_without_cycle_id} --db {demo}", 0, {}, {"\n  distâncias não apuradas\n"}},
      {"trip {document_without_arrival_id} --db {demo}", 0, {}, {"Chegada efetiva         —\n"}},
      {"trip 99999999 --db {demo}", 1, {not_found}},
      {"trip 100004 --db {demo}",
       1,
       {not_found + "zebevi: `zebevi find --document 100004` finds a document by its number\n"}},
      {"trip 0 --db {demo}", 1, {"zebevi: Informe um documento de transporte.\n"}},
      {"trip 99999999 --json --db {demo}",
       1,
       {},
       {R"("status":10,"message":"Documentação de Viagem não encontrada.")", R"("order_number":"")",
        R"("actual":{"value":null,"display":""})"}},
      {"trip 1 --db {missing}", 3, {"zebevi: no database at {missing}\n"}},
      {"trip 1 --db sqlite:{missing}", 3, {"zebevi: cannot open the database: ", "missing.db"}},
      {"trip 1 --db /", 3, {"zebevi: / is not a database file\n"}},
      {"trip --db {demo}", 2, {"document is required"}},
      {"trip abc --db {demo}", 2, {"not a whole number: abc"}},
      {"trip 1 --frobnicate --db {demo}", 2, {"--frobnicate"}},
      {"trip 1 --json --html - --db {demo}", 2, {"--html"}},
      {"trip {plain_document_id} --trace --db {demo}",
       0,
       {"{\"sql\":\"EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP", "Exec SP_ZEB_CON_Tempo_km_Rota"},
       {"Espelho da viagem · documento "}},
      {"trip {plain_document_id} --customer 1 --trace --db {demo}",
       0,
       {"Exec SP_ZEB_CON_TRACK_CICLO_CLI5"}},
      {"trip --help",
       0,
       {},
       {"--db", "--json", "--trace", "--html", "--user", "--customer-group", "--csv-dir",
        "--color"}},
  });
}

TEST(TripCommand, EscapesTheTextsOfItsHtmlPage) {
  TempDir dir;
  const std::string document = SharedDemo().Fact("plain_document_id");
  const std::string db = EditedDemo(dir,
                                    "UPDATE produto SET descricao = '<b>Pó & \"Cal\"</b>' "
                                    "WHERE produto_id = (SELECT produto_id FROM "
                                    "docto_transporte WHERE docto_transporte_id = " +
                                        document + ");")
                             .string();
  const CommandResult page = RunZebevi({"trip", document, "--db", db, "--html", "-"});
  EXPECT_EQ(page.out.rfind("<!DOCTYPE html>", 0), 0u) << page.err;
  EXPECT_NE(page.out.find("&lt;b&gt;Pó &amp; &quot;Cal&quot;&lt;/b&gt;"), std::string::npos);
  EXPECT_EQ(page.out.find("<b>Pó"), std::string::npos);
  EXPECT_NE(RunZebevi({"trip", document, "--db", db})
                .out.find("  Produto                 <b>Pó & \"Cal\"</b>\n"),
            std::string::npos);
}

}  // namespace
}  // namespace zebevi::testing
