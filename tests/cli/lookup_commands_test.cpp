// `zebevi find`, `zebevi order` and `zebevi flags` through the real
// executable, on a demo database.
#include <gtest/gtest.h>

#include <sstream>

#include "demo_fixture.h"

namespace zebevi::testing {
namespace {

// The display column where `cell` starts in `line`.
std::size_t ColumnOf(const std::string& line, const std::string& cell) {
  const std::size_t at = line.find(cell);
  EXPECT_NE(at, std::string::npos) << cell << " not in " << line;
  return at == std::string::npos ? 0 : Columns(line.substr(0, at));
}

// Each field of the rows of a verb's JSON against element i of the call's list.
void ExpectRowsMatchCall(const Json& rows, const Json& params,
                         const std::vector<std::pair<const char*, const char*>>& fields) {
  for (const auto& [field, list] : fields) {
    const Json elements = Plain(params[list]);
    ASSERT_EQ(rows.size(), elements.size()) << list;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      ExpectCarries(rows[i][field], elements[i], list + std::string("[") + std::to_string(i) + "]");
    }
  }
}

TEST(FindCommand, ListsTheDocumentsOfTheCallAsAnAlignedTable) {
  const DemoDatabase& demo = SharedDemo();
  const std::string count = demo.Fact("multi_document_order_documents");
  const std::vector<std::string> args{"find", "--order", demo.Fact("multi_document_order"),
                                      "--company", demo.Fact("multi_document_order_company_id")};
  const CommandResult run = RunOnDemo(args);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Lines(run.out).front(), "Documentos de transporte (" + count + ")");
  const std::vector<std::string> table = Block(run.out, "Documentos de transporte");
  ASSERT_EQ(table.size(), std::stoul(count) + 2) << run.out;
  EXPECT_TRUE(
      table[0].starts_with("  Id  Documento  Emissão     Chegada              Ponto de operação  "))
      << table[0];
  EXPECT_TRUE(table[0].ends_with("  Cliente")) << table[0];

  std::vector<std::string> json_args = args;
  json_args.push_back("--json");
  const Json json = OutputJson(RunOnDemo(json_args));
  const Json call =
      CallOnDemo("gValida_Num_Documento",
                 {{"invntNum_Pedido", demo.Fact("multi_document_order")},
                  {"invntempresa_Id", demo.facts["multi_document_order_company_id"]}});
  EXPECT_EQ(json["status"], call["result"]["value"]);
  EXPECT_EQ(json["message"], nullptr);
  EXPECT_EQ(json["count"].dump(), count);
  EXPECT_EQ(json["count"], Plain(call["params"]["outvntQtde_Docto"]));
  EXPECT_EQ(json["query"]["order_number"], Plain(call["params"]["invntNum_Pedido"]));
  const Json& rows = json["documents"];
  ExpectRowsMatchCall(rows, call["params"],
                      {{"id", "outarrvntDocto_Transporte_Id"},
                       {"number", "outarrvntNum_Docto_Transporte"},
                       {"issued", "outarrvntData_Emissao"},
                       {"arrived", "outarrvntData_Chegada"},
                       {"operating_point", "outarrvntPonto_Operacao"},
                       {"customer", "outarrvntCliente"}});
  // Accented names do not push the columns after them out of line; numbers
  // end under the end of their header.
  for (std::size_t i = 0; i < rows.size() && i + 2 < table.size(); ++i) {
    const std::string& line = table[i + 2];
    EXPECT_EQ(ColumnOf(line, Shown(rows[i]["customer"])), ColumnOf(table[0], "Cliente"));
    EXPECT_EQ(ColumnOf(line, Shown(rows[i]["issued"])), ColumnOf(table[0], "Emissão"));
    const std::string number = Shown(rows[i]["number"]);
    EXPECT_EQ(ColumnOf(line, " " + number + " ") + 1 + number.size(),
              ColumnOf(table[0], "Documento") + 9);
  }
}

TEST(OrderCommand, ListsAPublishedOrderNarrowedByDatesAndTaxNumber) {
  const DemoDatabase& demo = SharedDemo();
  const std::string order = demo.Fact("multi_document_order");
  const std::string company = demo.Fact("multi_document_order_company_id");
  const std::string count = demo.Fact("multi_document_order_documents");
  const CommandResult run = RunOnDemo({"order", order, "--company", company});
  EXPECT_EQ(Lines(run.out).front(),
            "Pedido " + order + " · documentos de transporte (" + count + ")");
  const std::vector<std::string> table = Block(run.out, "Pedido ");
  ASSERT_EQ(table.size(), std::stoul(count) + 2);
  EXPECT_EQ(table[0], "  Id  Documento  Emissão     Entrega");
  // The company is optional: without it the order is looked up everywhere.
  EXPECT_TRUE(RunOnDemo({"order", order}).out.starts_with("Pedido " + order + " · "));

  const Json all = OutputJson(RunOnDemo({"order", order, "--company", company, "--json"}));
  const Json call = CallOnDemo("gValida_Num_Pedido_Publ",
                               {{"invntNum_Pedido", order},
                                {"invntempresa_Id", demo.facts["multi_document_order_company_id"]},
                                {"idioma", "P"}});
  EXPECT_EQ(all["count"], Plain(call["params"]["outvntTam_arr"]));
  EXPECT_EQ(all["return_value"], Plain(call["params"]["outvntRetorno"]));
  ExpectRowsMatchCall(all["documents"], call["params"],
                      {{"id", "outvntarr_Docto_transporte_id"},
                       {"number", "outvntarr_Num_docto_transporte"},
                       {"issued", "outvntarr_Data_emissao"},
                       {"delivered", "outvntarr_Data_entrega"}});

  const Json by_cgc = OutputJson(RunOnDemo(
      {"order", order, "--company", company, "--cgc", demo.Fact("consignee_cgc"), "--json"}));
  EXPECT_GT(by_cgc["documents"].size(), 0u);
  EXPECT_LT(by_cgc["documents"].size(), all["documents"].size());

  // Dates in either form narrow alike; the first issue date bounds the list.
  const std::string first = Shown(all["documents"][0]["issued"]);
  const std::string iso = first.substr(6, 4) + "-" + first.substr(3, 2) + "-" + first.substr(0, 2);
  const Json day_first =
      OutputJson(RunOnDemo({"order", order, "--company", company, "--to", first, "--json"}));
  EXPECT_EQ(day_first["documents"], OutputJson(RunOnDemo({"order", order, "--company", company,
                                                          "--to", iso, "--json"}))["documents"]);
  ASSERT_FALSE(day_first["documents"].empty());
  for (const Json& row : day_first["documents"]) {
    EXPECT_EQ(row["issued"], (Json{{"value", iso}, {"display", first}}));
  }
}

TEST(FlagsCommand, ShowsTheThirteenFeaturesOfAGroup) {
  const std::string group = SharedDemo().Fact("granted_user_group_id");
  const CommandResult run = RunOnDemo({"flags", group});
  EXPECT_EQ(Lines(run.out).front(), "Recursos do grupo de usuários " + group);
  const std::vector<std::string> table = Block(run.out, "Recursos do grupo");
  ASSERT_EQ(table.size(), 15u) << run.out;
  EXPECT_EQ(table[0], "  Código  Recurso                            Liberado");
  EXPECT_EQ(table[2],
            "     114  Número do pedido                   " + table[2].substr(table[2].size() - 1));

  const Json json = OutputJson(RunOnDemo({"flags", group, "--json"}));
  const Json call =
      CallOnDemo("gConsulta_Grupo_Usuario_Parti", {{"invntGrupo_Usuario_Id", std::stoi(group)}});
  EXPECT_EQ(json["status"], call["result"]["value"]);
  // Each feature and its output less "outvntFlag_", in interface order: the
  // table shows the same letter, code 114 onwards.
  std::istringstream outputs(R"(
      order_number num_pedido  document_number num_docto_transporte  tractor Cavalo
      trailer Carreta  driver Motorista  invoices nota_fiscal  trip_data dados_viagem
      distance_measures Apuracao_Distancia  time_window_measures Apuracao_Janela_Tempo
      efficiency Eficiencia  sender remetente  consignee destinatario  customer Cliente)");
  std::size_t row = 2, granted = 0;
  for (std::string name, output; outputs >> name >> output; ++row) {
    const Json& flag = json["features"][name];
    EXPECT_EQ(flag["display"], Plain(call["params"]["outvntFlag_" + output])) << output;
    EXPECT_EQ(flag["value"], flag["display"] == "S") << output;
    ASSERT_LT(row, table.size());
    EXPECT_TRUE(table[row].starts_with("     " + std::to_string(114 + row - 2))) << table[row];
    EXPECT_TRUE(table[row].ends_with("  " + Shown(flag))) << table[row];
    granted += flag["value"] == true;
  }
  EXPECT_EQ(json["features"].size(), row - 2);
  EXPECT_GT(granted, 0u);
  EXPECT_LT(granted, 13u);
}

TEST(LookupVerbs, SayWhyTheyRefuse) {
  const std::string no_rights = "zebevi: Direitos do grupo do usuário não cadastrados.\n";
  const std::string not_found = "zebevi: Documento não cadastrado.\n";
  std::vector<CommandCase> runs{
      {"find --order 1 --invoice 2 --document 3 --db {demo}",
       1,
       {"zebevi: Informe somente um documento.\n"}},
      {"find --document 12A --db {demo}",
       1,
       {"zebevi: O número do conhecimento deve ser númerico.\n"}},
      {"find --order no-such-order --db {demo}", 1, {not_found}},
      {"find --order {multi_document_order} --company 999999 --db {demo}", 1, {not_found}},
      {"find --db {demo}", 2, {"find needs a number"}},
      {"find --order 1 --csv --json --db {demo}", 2, {"--json"}},
      {"order no-such-order --company {multi_document_order_company_id} --db {demo}",
       1,
       {"zebevi: Não existe o Pedido informado no banco de dados.\n"}},
      {"order no-such-order --company {multi_document_order_company_id} --english --db {demo}",
       1,
       {"zebevi: Can´t find any cargo whit this filter.\n"}},
      {"order {multi_document_order} --company 999999 --db {demo}",
       1,
       {"zebevi: Cadastro de Pedido com problemas.\n"}},
      {"order 1 --from 2024-02-01 --to 01/01/2024 --db {demo}",
       2,
       {"zebevi: --from 2024-02-01 is after --to 01/01/2024\n"}},
      {"order --db {demo}", 2, {"number is required"}},
      // A group without rights is told from one without grants.
      {"flags {empty_user_group_id} --db {demo}", 1, {no_rights}},
      {"flags 999 --db {demo}", 1, {no_rights}},
      {"flags {empty_user_group_id} --db {demo} --json",
       1,
       {no_rights},
       {R"("status":0,"message":"Direitos do grupo do usuário não cadastrados.")",
        R"("order_number":{"value":false,"display":"N"})"}},
      {"flags x --db {demo}", 2, {"not a whole number: x"}},
      {"flags --db {demo}", 2, {"group is required"}},
      {"flags 2 --trace --db {demo}", 0, {"{\"sql\":\"SELECT GRP.GRUPO_USUARIO_PARTICUL_ID, "}},
  };
  for (const std::string date : {"31/02/2026", "2026-13-01", "5/3/2026", "amanhã"}) {
    runs.push_back({"order 1 --from " + date + " --db {demo}",
                    2,
                    {"zebevi: not a date: " + date + " (write dd/mm/yyyy or YYYY-MM-DD)\n"}});
  }
  for (const std::string verb : {"find --order 1", "order 1", "flags 2"}) {
    runs.push_back({verb + " --db {demo} --frobnicate", 2, {"--frobnicate"}});
    runs.push_back(
        {verb.substr(0, verb.find(' ')) + " --help", 0, {}, {"--db", "--json", "--trace"}});
  }
  ExpectRuns(runs);
}

}  // namespace
}  // namespace zebevi::testing
