// What an operator meets on the command line, through the real executable:
// exit statuses, the real cause of a failure, `zebevi check`, CSV export,
// terminal manners, completions and the man page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>

#include "demo_fixture.h"

namespace zebevi::testing {
namespace {

namespace fs = std::filesystem;

const std::string kTrap =
    "zebevi: Acesso a informações de Clientes não disponível. Favor tentar mais tarde.\n";

TEST(Operator, TellsTheRealCauseAndWhatToCheck) {
  ExpectRuns({
      // The component's text for the internet user, then the real cause.
      {{"trip", "1", "--db", "{empty}"},
       3,
       {kTrap + "zebevi: the database answered: ", "no such table: zeb_procedure\n",
        "zebevi: is this a zebevi database? `zebevi check --db {empty}`\n"},
       {}},
      {{"find", "--order", "1", "--db", "{empty}"}, 3, {kTrap, "`zebevi check --db {empty}`"}, {}},
      {{"order", "1", "--db", "{empty}"}, 3, {kTrap}, {}},
      {{"flags", "2", "--db", "{empty}"},
       3,
       {"the database answered: no such table: GRUPO_USUARIO_PARTICUL"},
       {}},
      {{"check", "--db", "{demo}"},
       0,
       {},
       {"Engine               SQLite", "Transport documents  300", "SP_ZEB_CONS_pedido_PUBL"}},
      {{"check", "--db", "{empty}"},
       1,
       {"zebevi: missing from the database:\n",
        "  SP_ZEB_CON_Resumo_Ciclo2: procedure SP_ZEB_CON_Resumo_Ciclo2 not found"},
       {"Transport documents  unknown"}},
      {{"check", "--db", "{missing}"}, 3, {"no database at"}, {}},
      // The call keeps its own statuses.
      {{"call", "mBusca_Apuracao", R"({"inOdb": "sqlite:{missing}"})"},
       4,
       {"cannot open the database"},
       {}},
  });
}

TEST(Operator, CheckFindsWhatADatabaseLacks) {
  TempDir dir;
  // A demo whose cycle procedure lost a column and whose route procedure is gone.
  const fs::path edited =
      EditedDemo(dir,
                 "UPDATE zeb_procedure SET body = replace(body, 'r.tempo_carga,', 'r.tempo_carga "
                 "AS tempo_load,') "
                 "WHERE name = 'SP_ZEB_CON_Resumo_Ciclo2';"
                 "DELETE FROM zeb_procedure WHERE name = 'SP_ZEB_CON_Tempo_km_Rota';");
  const CommandResult run = RunZebevi({"check", "--db", edited.string(), "--json"});
  EXPECT_EQ(run.status, 1) << run.err;
  const Json json = OutputJson(run);
  EXPECT_EQ(json["engine"], "SQLite");
  EXPECT_EQ(json["documents"], kDemoTestDocuments);
  EXPECT_EQ(json["ok"], false);
  ASSERT_EQ(json["missing"].size(), 2u) << json.dump();
  EXPECT_EQ(json["missing"][0], "SP_ZEB_CON_Resumo_Ciclo2: no column tempo_carga");
  ASSERT_EQ(json["procedures"].size(), 10u);
  for (const Json& p : json["procedures"]) {
    EXPECT_EQ(p["ok"], p["procedure"] != "SP_ZEB_CON_Resumo_Ciclo2" &&
                           p["procedure"] != "SP_ZEB_CON_Tempo_km_Rota")
        << p.dump();
    EXPECT_GE(p["us"].get<std::int64_t>(), 0);
  }
  EXPECT_NE(
      run.err.find("  SP_ZEB_CON_Tempo_km_Rota: procedure SP_ZEB_CON_Tempo_km_Rota not found"),
      std::string::npos)
      << run.err;
}

TEST(Operator, ChecksAndExplainsOnPostgresql) {
  const char* connection = std::getenv("ZEBEVI_PG_CONNECTION");
  if (connection == nullptr || *connection == '\0') GTEST_SKIP() << "no PostgreSQL test server";
  const std::string reference = connection;
  // The same server's maintenance database holds none of the procedures.
  std::string bare = reference;
  bare.replace(bare.find("Database=zebevi"), 15, "Database=postgres");

  const Json good = OutputJson(RunZebevi({"check", "--db", reference, "--json"}));
  EXPECT_EQ(good["engine"], "PostgreSQL");
  EXPECT_EQ(good["ok"], true) << good.dump();
  EXPECT_GT(good["documents"].get<std::int64_t>(), 0);
  EXPECT_FALSE(good["server_version"].get<std::string>().empty());

  const CommandResult lacking = RunZebevi({"check", "--db", bare});
  EXPECT_EQ(lacking.status, 1);
  EXPECT_NE(lacking.err.find("sp_zeb_con_resumo_ciclo2(bigint, text) does not exist"),
            std::string::npos)
      << lacking.err;

  const CommandResult trip = RunZebevi({"trip", "1", "--db", bare});
  EXPECT_EQ(trip.status, 3);
  EXPECT_EQ(trip.err.rfind(kTrap + "zebevi: the database answered: ", 0), 0u) << trip.err;
  EXPECT_NE(trip.err.find("does not exist\nzebevi: is this a zebevi database? `zebevi check --db "),
            std::string::npos);
  EXPECT_EQ(trip.err.find("password=" + std::string("x")), std::string::npos);
}

TEST(Operator, ExitsFourWhenTheOutputCannotBeWritten) {
  const DemoDatabase& demo = SharedDemo();
  const std::string db = " --db " + ShellQuote(demo.path.string());
  for (const std::string& args : {"trip " + demo.Fact("plain_document_id") + db,
                                  "find --order " + demo.Fact("multi_document_order") + db,
                                  "flags " + demo.Fact("granted_user_group_id") + db, "check" + db,
                                  std::string("ops"), std::string("completion bash")}) {
    EXPECT_EQ(RunShell(ShellQuote(std::getenv("ZEBEVI_EXE")) + " " + args + " >/dev/full").status,
              4)
        << args;
  }
  ExpectRuns({{{"trip", "{plain_document_id}", "--html", "/no/such/page.html", "--db", "{demo}"},
               4,
               {"/no/such/page.html"},
               {}}});
}

// A figure as the CSV writes it: its value (whole numbers without a
// fraction), else its display.
std::string CsvCell(const Json& cell) {
  const Json& shown =
      cell.is_object() ? (cell["value"].is_null() ? cell["display"] : cell["value"]) : cell;
  if (shown.is_null()) return "";
  if (shown.is_string()) return shown.get<std::string>();
  if (shown.is_number_float() &&
      shown.get<double>() == static_cast<long long>(shown.get<double>())) {
    return std::to_string(static_cast<long long>(shown.get<double>()));
  }
  return shown.dump();
}

void ExpectCsvCarries(const fs::path& file, const Json& rows,
                      const std::vector<std::string>& header) {
  SCOPED_TRACE(file.string());
  EXPECT_NE(ReadWhole(file).find("\r\n"), std::string::npos) << "RFC 4180 lines end CRLF";
  // As Python's csv module reads it.
  const Json csv = OutputJson(RunShell(
      "python3 -c 'import csv, json, sys; print(json.dumps(list(csv.reader(open(sys.argv[1], "
      "newline=\"\", encoding=\"utf-8\", errors=\"strict\")))))' " +
      ShellQuote(file.string())));
  ASSERT_EQ(csv.size(), rows.size() + 1);
  EXPECT_EQ(csv[0], Json(header));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < header.size(); ++c) {
      EXPECT_EQ(csv[r + 1][c], CsvCell(rows[r][header[c]])) << header[c] << " row " << r;
    }
  }
}

TEST(Operator, ExportsCsvThatASpreadsheetReads) {
  const DemoDatabase& demo = SharedDemo();
  TempDir dir;
  // Names with a comma, quotes and an accent must survive the quoting.
  const fs::path db = EditedDemo(dir, "UPDATE parceiro SET nome = nome || ', \"Filial\" São';");
  const std::string order = demo.Fact("multi_document_order");
  struct Export {
    std::vector<std::string> args;
    std::vector<std::string> header;
  };
  for (const Export& e :
       {Export{{"find", "--order", order},
               {"id", "number", "issued", "arrived", "operating_point", "customer"}},
        Export{{"order", order}, {"id", "number", "issued", "delivered"}}}) {
    std::vector<std::string> args = e.args;
    args.insert(args.end(), {"--db", db.string(), "--json"});
    const Json json = OutputJson(RunZebevi(args));
    args.back() = "--csv";
    const CommandResult csv = RunZebevi(args);
    ASSERT_EQ(csv.status, 0) << csv.err;
    std::ofstream(dir / "list.csv", std::ios::binary) << csv.out;
    ASSERT_FALSE(json["documents"].empty());
    ExpectCsvCarries(dir / "list.csv", json["documents"], e.header);
    EXPECT_NE(csv.out.find("-"), std::string::npos) << "ISO dates: " << csv.out;
  }
  const std::string document = demo.Fact("exchanged_document_id");
  const CommandResult trip =
      RunZebevi({"trip", document, "--db", db.string(), "--csv-dir", (dir / "trip").string()});
  ASSERT_EQ(trip.status, 0) << trip.err;
  EXPECT_EQ(trip.out, "");
  const Json summary = OutputJson(RunZebevi({"trip", document, "--db", db.string(), "--json"}));
  ExpectCsvCarries(dir / "trip/invoices.csv", summary["invoices"],
                   {"number", "weight_kg", "declared_value_brl"});
  ExpectCsvCarries(dir / "trip/occurrences.csv", summary["occurrences"],
                   {"at", "description", "odometer_km", "minutes_since_previous"});
  // Numbers with a decimal point, never the Brazilian comma.
  EXPECT_EQ(ReadWhole(dir / "trip/invoices.csv").find(",\""), std::string::npos);
}

TEST(Operator, MindsTheTerminal) {
  const DemoDatabase& demo = SharedDemo();
  const std::string document = demo.Fact("exchanged_document_id");
  // The cycle chart fits the width it is given; a wide terminal or none
  // gets its full length.
  const auto widest = [&](std::vector<std::string> environment) {
    const CommandResult run =
        RunZebevi({"trip", document, "--db", demo.path.string()}, {}, environment);
    std::size_t most = 0;
    for (const std::string& line : Block(run.out, "Tempos do ciclo")) {
      most = std::max(most, Columns(line));
    }
    return most;
  };
  const std::size_t full = widest({"COLUMNS="});
  EXPECT_EQ(widest({"COLUMNS=60"}), 60u);
  EXPECT_EQ(widest({"COLUMNS=200"}), full);
  EXPECT_GT(full, 60u);
  EXPECT_LT(full, 100u);
  // Decimal commas of a numeric column stand in one column.
  const CommandResult text = RunOnDemo({"trip", document});
  const std::vector<std::string> invoices = Block(text.out, "Notas fiscais");
  ASSERT_GT(invoices.size(), 3u);
  const auto comma_columns = [](const std::string& line) {
    return std::pair{Columns(line.substr(0, line.find(','))),
                     Columns(line.substr(0, line.rfind(',')))};
  };
  std::set<std::pair<std::size_t, std::size_t>> commas;
  for (std::size_t i = 2; i < invoices.size(); ++i) {
    // A weight without a fraction has no comma to line up.
    if (std::count(invoices[i].begin(), invoices[i].end(), ',') == 2) {
      commas.insert(comma_columns(invoices[i]));
    }
  }
  EXPECT_EQ(commas.size(), 1u) << text.out;

  // Colour on a terminal unless NO_COLOR, TERM=dumb or --color=never says
  // otherwise; --color=always off one too.
  struct Colour {
    std::string option;
    std::vector<std::string> environment;
    bool terminal;
    bool coloured;
  };
  for (const Colour& s : {Colour{"", {"TERM=xterm", "NO_COLOR="}, true, true},
                          Colour{"", {"TERM=xterm", "NO_COLOR=1"}, true, false},
                          Colour{"", {"TERM=dumb", "NO_COLOR="}, true, false},
                          Colour{"--color=never", {"TERM=xterm", "NO_COLOR="}, true, false},
                          Colour{"--color=always", {}, false, true}}) {
    std::vector<std::string> args{"trip", document, "--db", demo.path.string()};
    if (!s.option.empty()) args.push_back(s.option);
    const CommandResult run =
        s.terminal ? RunInTerminal(args, s.environment) : RunZebevi(args, {}, s.environment);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out.find("\x1b[") != std::string::npos, s.coloured)
        << s.option << " " << ::testing::PrintToString(s.environment);
    if (s.coloured) {
      EXPECT_NE(run.out.find("\x1b[1m"), std::string::npos) << run.out;
    }
  }
  ExpectRuns({{{"flags", "{granted_user_group_id}", "--color", "always", "--db", "{demo}"},
               0,
               {},
               {"\x1b[1m"}}});

  ExpectRuns({{{"-V"}, 0, {}, {"zebevi 0.1.0\n"}},
              {{"--help"}, 0, {}, {"Exit statuses", "  4  the output could not be written"}},
              {{"ops", "--json"},
               0,
               {},
               {R"({"operations":[{"dispid":1610809344,"name":"gConsulta_Espelho_Viagem")"}}});
  EXPECT_EQ(OutputJson(RunZebevi({"ops", "--json"}))["operations"].size(), 14u);

  // The README's sample output shows no one's home folder.
  const std::string readme = ReadWhole(fs::path(ZEBEVI_SOURCE_DIR) / "README.md");
  ASSERT_FALSE(readme.empty());
  EXPECT_EQ(readme.find("/root/"), std::string::npos);
  EXPECT_EQ(readme.find("/home/"), std::string::npos);
}

TEST(Operator, CompletesVerbsAndOptionsAndHasAManPage) {
  const std::string exe = std::getenv("ZEBEVI_EXE");
  // bash runs the script and completes: a verb, an option, an option's value.
  for (const auto& [words, expected] :
       {std::pair{"zebevi tr", "trip"}, std::pair{"zebevi trip 1 --csv", "--csv-dir"},
        std::pair{"zebevi find --c",
                  "--customer --customer-group --collaborator "
                  "--collaborator-type --company --csv --color"},
        std::pair{"zebevi trip 1 --color a", "auto always"},
        std::pair{"zebevi completion f", "fish"}}) {
    const CommandResult run = RunShell(
        "source <(" + ShellQuote(exe) + " completion bash) && COMP_WORDS=(" + words +
        ") && COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) && _zebevi && echo \"${COMPREPLY[*]}\"");
    EXPECT_EQ(run.status, 0) << words << run.err;
    EXPECT_EQ(run.out, std::string(expected) + "\n") << words;
  }
  ExpectRuns({{{"completion", "zsh"},
               0,
               {},
               {"#compdef zebevi\n", "'check:Check that", "'--color[", "compdef _zebevi zebevi\n"}},
              {{"completion", "fish"},
               0,
               {},
               {"complete -c zebevi -n __fish_use_subcommand -a trip -d ",
                "'__fish_seen_subcommand_from trip' -l csv-dir -r -F"}},
              {{"completion", "tcsh"}, 2, {"tcsh"}, {}}});

  const std::string page = ReadWhole(ZEBEVI_MAN_PAGE);
  ASSERT_FALSE(page.empty()) << ZEBEVI_MAN_PAGE;
  EXPECT_NE(page.find("\n.TH ZEBEVI \"1\""), std::string::npos) << page.substr(0, 200);
  for (const char* verb : {"trip", "find", "order", "flags", "check", "call", "completion"}) {
    EXPECT_NE(page.find(std::string(".SS zebevi ") + verb + "\n"), std::string::npos) << verb;
  }
  EXPECT_NE(page.find("the output could not be written"), std::string::npos);
}

}  // namespace
}  // namespace zebevi::testing
