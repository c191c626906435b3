// The friendly verbs through the real executable, on a demo database:
// `zebevi trip`, `zebevi find`, `zebevi order` and `zebevi flags`. The --html
// page is the share link's page, which the service's page tests drive in a
// browser.
#include <gtest/gtest.h>

#include <ctime>
#include <iomanip>
#include <regex>
#include <set>
#include <sstream>

#include "demo_fixture.h"

namespace zebevi::testing {
namespace {

// zebevi with `args`, then "--db" and the shared demo.
CommandResult RunOnDemo(std::vector<std::string> args) {
  args.push_back("--db");
  args.push_back(SharedDemo().path.string());
  return RunZebevi(args);
}

// A parameter of `zebevi call` in plain form: tagged values unwrapped,
// Empty and Null as null.
Json Plain(const Json& tagged) {
  if (!tagged.contains("value")) return nullptr;
  const Json& value = tagged["value"];
  if (!value.is_array()) return value;
  Json items = Json::array();
  for (const Json& item : value) items.push_back(Plain(item));
  return items;
}

// The text a person reads of a version 1 figure ({"value", "display"}) or text.
std::string Shown(const Json& shown) {
  return shown.is_object() ? shown["display"].get<std::string>() : shown.get<std::string>();
}

// `shown`, a part of a verb's JSON, carries `plain`, the call's value of the
// same output: a text as the display, a number as the typed value, nothing
// as an empty display without value; a bare number or null as itself.
void ExpectCarries(const Json& shown, const Json& plain, const std::string& name) {
  SCOPED_TRACE(name);
  if (!shown.is_object() && !shown.is_string()) {
    EXPECT_EQ(shown, plain);
  } else if (plain.is_null()) {
    EXPECT_EQ(Shown(shown), "");
    EXPECT_TRUE(!shown.contains("value") || shown["value"].is_null()) << shown;
  } else if (plain.is_string()) {
    EXPECT_EQ(Shown(shown), plain.get<std::string>());
  } else {
    EXPECT_EQ(shown["value"], plain);
    EXPECT_FALSE(Shown(shown).empty());
  }
}

// `zebevi call OPERATION` on the shared demo, `params` given as plain JSON.
Json CallOnDemo(const std::string& operation, Json params) {
  params["invntConecta_db"] = "sqlite:" + SharedDemo().path.string();
  const CommandResult call = RunZebevi({"call", operation, params.dump()});
  EXPECT_EQ(call.status, 0) << call.err;
  return OutputJson(call);
}

// Where a verb's JSON carries each output of its call: "POINTER OUTPUT"
// pairs, the output less its "outvnt" ("outarrvnt" for a list's, whose
// pointer is ROWS[]FIELD, that field of each row) unless it starts "out";
// ROWS# is the rows' count. /c/t/ is /cycle/times/ (with _minutes), /c/d/
// /cycle/distances/.
std::vector<std::pair<std::string, std::string>> Pairs(const std::string& table) {
  std::istringstream words(table);
  std::vector<std::pair<std::string, std::string>> pairs;
  for (std::string where, output; words >> where >> output;) {
    if (where.rfind("/c/t/", 0) == 0) where = "/cycle/times/" + where.substr(5) + "_minutes";
    if (where.rfind("/c/d/", 0) == 0) where = "/cycle/distances/" + where.substr(5);
    if (output.rfind("out", 0) != 0) {
      output = (where.find("[]") == std::string::npos ? "outvnt" : "outarrvnt") + output;
    }
    pairs.emplace_back(where, output);
  }
  return pairs;
}

// The trip's header block first, in the order the terminal shows it.
const std::string kTripOutputs = R"(
    /document/order_number Num_Pedido  /document/number Num_docto_Transporte
    /header/tractor Cavalo  /header/trailer Carreta  /header/driver Colaborador
    /header/product Produto  /header/sender Remetente  /header/consignee Destinatario
    /header/customer Cliente  /header/arrival/actual Data_Chegada_Cliente_Efetiva
    /header/arrival/planned data_Chegada_cliente_prevista
    /header/arrival/tracker_estimate Data_Prevista_Rastreador  /header/deadline Flag_no_prazo
    /message Msg_ret  /route/planned_km Km_Ate_Dest_Rota
    /route/planned_time_of_day Tempo_Ate_Dest_Rota  /c/d/total_km Km_Total
    /c/d/to_sender_km km_ate_Rem  /c/d/sender_to_consignee_km Km_Rem_Dest
    /c/d/after_consignee_km Km_Apos_Dest  /c/t/operation Tempo_Operacao
    /c/t/transport Tempo_Transporte  /c/t/to_sender Tempo_Ate_Rem  /c/t/return Tempo_Retorno
    /c/t/loading_and_unloading Tempo_Total_Carga_Desc  /c/t/loading Tempo_Carga
    /c/t/unloading Tempo_Descarga  /c/t/waiting_window Tempo_Janela_Espera
    /c/t/after_loading Tempo_Pos_Carga  /c/t/after_unloading Tempo_Pos_desc
    /c/t/before_loading Tempo_Ant_Carga  /c/t/before_unloading Tempo_Ant_Desc
    /c/t/sender_to_consignee Tempo_Rem_Des  /invoices# Qtde_Nota  /invoices[]number Nota_Fiscal
    /invoices[]weight_kg Peso_Real  /invoices[]declared_value_brl Val_Declarado
    /occurrences# Qtde_Ocor  /occurrences[]at Data_Ocor  /occurrences[]description Descr_Ocor
    /occurrences[]odometer_km Odometro_Ocor)";

const std::string kFindOutputs = R"(/message Msg_ret  /count Qtde_Docto
    /documents[]id Docto_Transporte_Id  /documents[]number Num_Docto_Transporte
    /documents[]issued Data_Emissao  /documents[]arrived Data_Chegada
    /documents[]operating_point Ponto_Operacao  /documents[]customer Cliente)";
const std::string kOrderOutputs = R"(/message Msg_ret  /count Tam_arr  /return_value Retorno
    /documents[]id outvntarr_Docto_transporte_id  /documents[]issued outvntarr_Data_emissao
    /documents[]number outvntarr_Num_docto_transporte
    /documents[]delivered outvntarr_Data_entrega)";
const std::string kFlagsOutputs = R"(/message Msg_ret  /features/order_number Flag_num_pedido
    /features/document_number Flag_num_docto_transporte  /features/tractor Flag_Cavalo
    /features/trailer Flag_Carreta  /features/driver Flag_Motorista
    /features/invoices Flag_nota_fiscal  /features/trip_data Flag_dados_viagem
    /features/distance_measures Flag_Apuracao_Distancia  /features/efficiency Flag_Eficiencia
    /features/time_window_measures Flag_Apuracao_Janela_Tempo  /features/sender Flag_remetente
    /features/consignee Flag_destinatario  /features/customer Flag_Cliente)";

// `zebevi ARGS --json` against the answer of the call it makes: every output
// of the call where `table` puts it.
void ExpectCarriesCall(std::vector<std::string> args, const std::string& operation,
                       const Json& params, const std::string& table) {
  SCOPED_TRACE(args[0] + " " + args[1]);
  args.push_back("--json");
  const Json json = OutputJson(RunOnDemo(args));
  const Json call = CallOnDemo(operation, params);
  EXPECT_EQ(json["status"], call["result"]["value"]);
  const Json& outputs = call["params"];
  std::set<std::string> carried;
  for (const auto& [where, output] : Pairs(table)) {
    carried.insert(output);
    const std::size_t list = where.find_first_of("[#");
    if (list == std::string::npos) {
      ExpectCarries(json.at(Json::json_pointer(where)), Plain(outputs[output]), output);
      continue;
    }
    const Json& rows = json.at(Json::json_pointer(where.substr(0, list)));
    const Json items = Plain(outputs[output]);
    if (where[list] == '#') {
      EXPECT_EQ(Json(rows.size()), items) << output;
      continue;
    }
    ASSERT_EQ(rows.size(), items.is_array() ? items.size() : 0u) << output;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      ExpectCarries(rows[i][where.substr(list + 2)], items[i],
                    output + "[" + std::to_string(i) + "]");
    }
  }
  for (const auto& [name, value] : outputs.items()) {
    EXPECT_TRUE(name.rfind("out", 0) != 0 || carried.count(name)) << name << " is not carried";
  }
}

TEST(Verbs, JsonCarriesTheFiguresOfTheirCall) {
  const DemoDatabase& demo = SharedDemo();
  for (const char* kind : {"exchanged_document_id", "document_without_cycle_id"}) {
    ExpectCarriesCall({"trip", demo.Fact(kind)}, "gConsulta_Espelho_Viagem",
                      {{"invntDOCTO_TRANSPORTE_ID", demo.facts[kind]}}, kTripOutputs);
  }
  const std::string order = demo.Fact("multi_document_order");
  const std::string company = demo.Fact("multi_document_order_company_id");
  Json lookup{{"invntNum_Pedido", order}, {"invntempresa_Id", std::stoi(company)}};
  ExpectCarriesCall({"find", "--order", order, "--company", company}, "gValida_Num_Documento",
                    lookup, kFindOutputs);
  lookup["idioma"] = "P";
  ExpectCarriesCall({"order", order, "--company", company}, "gValida_Num_Pedido_Publ", lookup,
                    kOrderOutputs);
  const std::string group = demo.Fact("granted_user_group_id");
  ExpectCarriesCall({"flags", group}, "gConsulta_Grupo_Usuario_Parti",
                    {{"invntGrupo_Usuario_Id", std::stoi(group)}}, kFlagsOutputs);
}

// `text` padded with blanks to `width` columns, on the left for a figure.
std::string Padded(const std::string& text, std::size_t width, bool figure = false) {
  const std::string blanks(width > Columns(text) ? width - Columns(text) : 0, ' ');
  return figure ? blanks + text : text + blanks;
}

TEST(TripCommand, ShowsEveryBlockOfAnExchangedDocumentAlignedByColumns) {
  const std::string document = SharedDemo().Fact("exchanged_document_id");
  const CommandResult run = RunOnDemo({"trip", document});
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << "no colour off a terminal";
  const Json json = OutputJson(RunOnDemo({"trip", document, "--json"}));
  EXPECT_EQ(Lines(run.out).front(), "Espelho da viagem · documento " + document);
  const auto outputs = Pairs(kTripOutputs);
  std::vector<std::string> header;
  std::size_t k = 0;
  for (const char* label : {"Pedido", "Documento", "Cavalo", "Carreta", "Motorista", "Produto",
                            "Remetente", "Destinatário", "Cliente", "Chegada efetiva",
                            "Chegada prevista", "Previsão do rastreador", "Prazo"}) {
    const std::string shown = Shown(json.at(Json::json_pointer(outputs[k++].first)));
    header.push_back("  " + Padded(label, 24) + (shown.empty() ? "—" : shown));
  }
  EXPECT_EQ(Block(run.out, "Espelho da viagem"), header);

  // Figures right-aligned with their decimal commas in one column (a whole
  // number ends where the commas stand).
  const Json& rows = json["invoices"];
  const std::vector<std::string> invoices =
      Block(run.out, "Notas fiscais (" + std::to_string(rows.size()) + ")");
  ASSERT_EQ(invoices.size(), rows.size() + 2) << run.out;
  EXPECT_EQ(invoices[0], "  Nota fiscal  Peso real (kg)  Valor declarado (R$)");
  for (const char* field : {"weight_kg", "declared_value_brl"}) {
    std::set<std::size_t> commas;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const std::string cell = " " + Shown(rows[i][field]), &line = invoices[i + 2];
      // The weight after the invoice's number, the value last.
      const std::size_t start =
          std::string(field) == "weight_kg" ? line.find(cell, 13) : line.rfind(cell);
      ASSERT_NE(start, std::string::npos) << cell << " not in " << line;
      commas.insert(Columns(line.substr(0, start)) +
                    Columns(cell.substr(0, std::min(cell.find(','), cell.size()))));
    }
    EXPECT_EQ(commas.size(), 1u) << field << "\n" << run.out;
  }

  // Behind its figure the longest time draws the whole width (40 columns),
  // every other time a part, none nothing.
  const std::vector<std::string> bars = Block(run.out, "Tempos do ciclo (h:min)");
  const Json& times = json["cycle"]["times"];
  ASSERT_EQ(bars.size(), times.size()) << run.out;
  std::int64_t longest = 0;
  for (const Json& time : times) longest = std::max<std::int64_t>(longest, time["value"]);
  std::size_t bar = 0;
  for (const Json& time : times) {
    const std::string& line = bars[bar++];
    const std::size_t figure = line.find("  " + Shown(time));
    ASSERT_NE(figure, std::string::npos) << line;
    const std::string bar = line.substr(figure + Shown(time).size() + 2);
    const std::size_t drawn = bar.empty() ? 0 : Columns(bar) - 2;
    EXPECT_EQ(drawn == 40, time["value"] == longest) << line;
    EXPECT_EQ(drawn == 0, time["value"] == 0) << line;
  }

  // The occurrences as a timeline, the time between two on the line between them.
  const Json& occurrences = json["occurrences"];
  ASSERT_GE(occurrences.size(), 2u);
  const std::vector<std::string> timeline =
      Block(run.out, "Ocorrências de rastreamento (" + std::to_string(occurrences.size()) + ")");
  ASSERT_EQ(timeline.size(), 2 * occurrences.size() - 1);
  const auto minutes = [&](const Json& row) {
    std::tm when{};
    std::istringstream(Shown(row["at"])) >> std::get_time(&when, "%d/%m/%Y %H:%M");
    return static_cast<int>(timegm(&when) / 60);
  };
  for (std::size_t i = 0; i < occurrences.size(); ++i) {
    const Json& row = occurrences[i];
    const std::string& line = timeline[2 * i];
    EXPECT_EQ(line.rfind("  " + Shown(row["at"]) + "  ●  " + Shown(row["description"]), 0), 0u)
        << line;
    EXPECT_NE(line.find("odômetro " + Shown(row["odometer_km"])), std::string::npos);
    const int gap = i == 0 ? 0 : minutes(row) - minutes(occurrences[i - 1]);
    EXPECT_EQ(row["minutes_since_previous"], i == 0 ? Json() : Json(gap));
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
      {"trip {document_without_cycle_id} --db {demo}",
       0,
       {},
       {"\n  ciclo não apurado\n", "\n  distâncias não apuradas\n"}},
      {"trip {document_without_arrival_id} --db {demo}", 0, {}, {"Chegada efetiva         —\n"}},
      {"trip 100004 --db {demo}",
       1,
       {not_found + "zebevi: `zebevi find --document 100004` finds a document by its number\n"}},
      {"trip 99999999 --json --db {demo}",
       1,
       {},
       {R"("status":10,"message":"Documentação de Viagem não encontrada.")", R"("order_number":"")",
        R"("actual":{"value":null,"display":""})"}},
      {"trip 1 --db {missing}", 3, {"zebevi: no database at {missing}\n"}},
      {"trip 1 --db /", 3, {"zebevi: / is not a database file\n"}},
      {"trip abc --db {demo}", 2, {"not a whole number: abc"}},
      {"trip 1 --json --html - --db {demo}", 2, {"--html"}},
      {"trip {plain_document_id} --trace --db {demo}",
       0,
       {"{\"sql\":\"EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP", "Exec SP_ZEB_CON_Tempo_km_Rota"},
       {"Espelho da viagem · documento "}},
      {"trip {plain_document_id} --customer 1 --trace --db {demo}", 0, {"TRACK_CICLO_CLI5"}},
      {"trip --help", 0, {}, {"--db", "--json", "--trace", "--html", "--csv-dir", "--color"}},
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

TEST(HtmlPage, IsOneSelfContainedFile) {
  TempDir dir;
  const std::string document = SharedDemo().Fact("exchanged_document_id");
  EXPECT_EQ(RunOnDemo({"trip", document, "--html", (dir / "viagem.html").string()}).out, "");
  const std::string page = ReadWhole(dir / "viagem.html");
  EXPECT_EQ(page.rfind("<!DOCTYPE html>\n<html lang=\"pt-BR\">", 0), 0u);
  for (const char* part : {"<meta charset=\"utf-8\">", "<style>", "<svg "}) {
    EXPECT_NE(page.find(part), std::string::npos) << part;
  }
  // Nothing to fetch: no script, no source, no address but the SVG namespace.
  for (const char* part : {"<script", "src=", "url("}) {
    EXPECT_EQ(page.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(std::regex_replace(page, std::regex("xmlns=\"[^\"]*\""), "").find("http"),
            std::string::npos);
  // One bar per cycle time, every time text in the chart.
  const Json summary = OutputJson(RunOnDemo({"trip", document, "--json"}));
  const std::regex bar("<rect class=\"bar\"");
  EXPECT_EQ(std::distance(std::sregex_iterator(page.begin(), page.end(), bar), {}), 13);
  for (const auto& [name, time] : summary["cycle"]["times"].items()) {
    EXPECT_NE(page.find("data-field=\"cycle.times." + name + "\">" + Shown(time) + "</text>"),
              std::string::npos)
        << name;
  }
}

// `zebevi find`, `order` and `flags`: a title line, then a table of one row
// per document or feature.
TEST(LookupVerbs, ListTheirRowsAsTables) {
  const DemoDatabase& demo = SharedDemo();
  const std::string order = demo.Fact("multi_document_order"),
                    group = demo.Fact("granted_user_group_id");
  const std::string company = demo.Fact("multi_document_order_company_id");
  const std::string count = demo.Fact("multi_document_order_documents");
  std::vector<std::vector<std::string>> tables;
  for (const auto& [args, title, header, rows] :
       std::vector<std::tuple<std::vector<std::string>, std::string, std::string, std::size_t>>{
           {{"find", "--order", order, "--company", company},
            "Documentos de transporte (" + count + ")",
            "  Id  Documento  Emissão     Chegada              Ponto de operação  ",
            std::stoul(count)},
           {{"order", order, "--company", company},
            "Pedido " + order + " · documentos de transporte (" + count + ")",
            "  Id  Documento  Emissão     Entrega",
            std::stoul(count)},
           {{"flags", group},
            "Recursos do grupo de usuários " + group,
            "  Código  Recurso                            Liberado",
            13}}) {
    const CommandResult run = RunOnDemo(args);
    EXPECT_EQ(Lines(run.out).front(), title);
    tables.push_back(Block(run.out, title));
    ASSERT_EQ(tables.back().size(), rows + 2) << run.out;
    EXPECT_TRUE(tables.back()[0].starts_with(header)) << tables.back()[0];
  }

  // Document numbers end under the end of their header.
  const Json found =
      OutputJson(RunOnDemo({"find", "--order", order, "--company", company, "--json"}));
  for (std::size_t i = 0; i < found["documents"].size(); ++i) {
    const std::string number = " " + Shown(found["documents"][i]["number"]) + " ";
    const std::string& line = tables[0][i + 2];
    EXPECT_EQ(Columns(line.substr(0, line.find(number) + number.size() - 1)),
              Columns(tables[0][0].substr(0, tables[0][0].find("Documento") + 9)));
  }

  // The features in interface order, code 114 onwards, with their letters.
  const Json features = OutputJson(RunOnDemo({"flags", group, "--json"}))["features"];
  EXPECT_EQ(tables[2][2],
            "     114  Número do pedido                   " + Shown(features["order_number"]));
  std::size_t row = 2, granted = 0;
  for (const auto& [name, flag] : features.items()) {
    EXPECT_TRUE(tables[2][row].starts_with("     " + std::to_string(112 + row))) << name;
    EXPECT_TRUE(tables[2][row++].ends_with("  " + Shown(flag))) << name;
    granted += flag["value"] == true;
  }
  EXPECT_EQ(row, 15u);
  EXPECT_GT(granted, 0u);
  EXPECT_LT(granted, 13u);
}

TEST(OrderCommand, NarrowsTheListByTaxNumberAndDates) {
  const DemoDatabase& demo = SharedDemo();
  const auto documents = [&](std::vector<std::string> more) {
    std::vector<std::string> args{"order", demo.Fact("multi_document_order"), "--company",
                                  demo.Fact("multi_document_order_company_id"), "--json"};
    args.insert(args.end(), more.begin(), more.end());
    return OutputJson(RunOnDemo(args))["documents"];
  };
  const Json all = documents({});
  const std::size_t by_cgc = documents({"--cgc", demo.Fact("consignee_cgc")}).size();
  EXPECT_GT(by_cgc, 0u);
  EXPECT_LT(by_cgc, all.size());
  // The first issue date bounds the list.
  const Json bounded = documents({"--to", Shown(all[0]["issued"])});
  ASSERT_FALSE(bounded.empty());
  for (const Json& row : bounded) EXPECT_EQ(row["issued"], all[0]["issued"]);
}

TEST(LookupVerbs, SayWhyTheyRefuse) {
  const std::string no_rights = "zebevi: Direitos do grupo do usuário não cadastrados.\n";
  std::vector<CommandCase> runs{
      {"find --order 1 --invoice 2 --document 3 --db {demo}",
       1,
       {"zebevi: Informe somente um documento.\n"}},
      {"find --order no-such-order --db {demo}", 1, {"zebevi: Documento não cadastrado.\n"}},
      {"find --db {demo}", 2, {"find needs a number"}},
      {"order no-such-order --english --db {demo}",
       1,
       {"zebevi: Can´t find any cargo whit this filter.\n"}},
      {"order 1 --from 2024-02-01 --to 01/01/2024 --db {demo}",
       2,
       {"zebevi: --from 2024-02-01 is after --to 01/01/2024\n"}},
      {"order 1 --from 31/02/2026 --db {demo}",
       2,
       {"zebevi: not a date: 31/02/2026 (write dd/mm/yyyy or YYYY-MM-DD)\n"}},
      {"flags {empty_user_group_id} --db {demo} --json",
       1,
       {no_rights},
       {R"("status":0,"message":"Direitos do grupo do usuário não cadastrados.")",
        R"("order_number":{"value":false,"display":"N"})"}},
      {"flags 2 --trace --db {demo}", 0, {"{\"sql\":\"SELECT GRP.GRUPO_USUARIO_PARTICUL_ID, "}},
  };
  for (const std::string verb : {"find --order 1", "order 1", "flags 2"}) {
    runs.push_back({verb + " --db {demo} --frobnicate", 2, {"--frobnicate"}});
    runs.push_back(
        {verb.substr(0, verb.find(' ')) + " --help", 0, {}, {"--db", "--json", "--trace"}});
  }
  ExpectRuns(runs);
}

}  // namespace
}  // namespace zebevi::testing
