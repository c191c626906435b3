// What an operator meets on the command line, through the real executable:
// `zebevi demo`, exit statuses, the real cause of a failure, `zebevi check`,
// CSV export, terminal manners, completions and the man page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

#include "demo_fixture.h"

namespace zebevi::testing {
namespace {

namespace fs = std::filesystem;

const std::string kTrap =
    "zebevi: Acesso a informações de Clientes não disponível. Favor tentar mais tarde.\n";

TEST(Operator, TellsTheRealCauseAndWhatToCheck) {
  ExpectRuns({
      // The component's text for the internet user, then the real cause.
      {"trip 1 --db {empty}",
       3,
       {kTrap + "zebevi: the database answered: ", "no such table: zeb_procedure\n",
        "zebevi: is this a zebevi database? `zebevi check --db {empty}`\n"}},
      {"flags 2 --db {empty}", 3, {"the database answered: no such table: GRUPO_USUARIO_PARTICUL"}},
      {"check --db {demo}",
       0,
       {},
       {"Engine               SQLite", "Transport documents  300", "SP_ZEB_CONS_pedido_PUBL"}},
      {"check --db {empty}",
       1,
       {"zebevi: missing from the database:\n",
        "  SP_ZEB_CON_Resumo_Ciclo2: procedure SP_ZEB_CON_Resumo_Ciclo2 not found"},
       {"Transport documents  unknown"}},
      // Exit status 4 when the output cannot be written.
      {"trip {plain_document_id} --db {demo} >/dev/full", 4},
      {"completion bash >/dev/full", 4},
      {"trip {plain_document_id} --html /no/such/page.html --db {demo}", 4, {"/no/such/page.html"}},
  });
}

TEST(Operator, CheckFindsWhatADatabaseLacks) {
  TempDir dir;
  // A demo whose cycle procedure lost a column and whose route procedure is gone.
  const fs::path edited = EditedDemo(
      dir,
      "UPDATE zeb_procedure SET body = replace(body, 'r.tempo_carga,', 'r.tempo_carga AS "
      "tempo_load,') WHERE name = 'SP_ZEB_CON_Resumo_Ciclo2';"
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
  }
}

TEST(Operator, ChecksAndExplainsOnPostgresql) {
  const char* connection = std::getenv("ZEBEVI_PG_CONNECTION");
  if (connection == nullptr || *connection == '\0') GTEST_SKIP() << "no PostgreSQL test server";
  // The same server's maintenance database holds none of the procedures.
  std::string bare = connection;
  bare.replace(bare.find("Database=zebevi"), 15, "Database=postgres");

  const Json good = OutputJson(RunZebevi({"check", "--db", connection, "--json"}));
  EXPECT_EQ(good["engine"], "PostgreSQL");
  EXPECT_EQ(good["ok"], true) << good.dump();
  EXPECT_FALSE(good["server_version"].get<std::string>().empty());
  ExpectRuns({{"check --db '" + bare + "'",
               1,
               {"sp_zeb_con_resumo_ciclo2(bigint, text) does not exist"},
               {"Transport documents  unknown"}},
              {"trip 1 --db '" + bare + "'",
               3,
               {kTrap + "zebevi: the database answered: ",
                "does not exist\nzebevi: is this a zebevi database? `zebevi check --db "}}});
}

// A figure as the CSV writes it: its value (whole numbers without a
// fraction), else its display.
std::string CsvCell(const Json& cell) {
  const Json& shown =
      cell.is_object() ? (cell["value"].is_null() ? cell["display"] : cell["value"]) : cell;
  if (shown.is_null()) return "";
  if (shown.is_string()) return shown.get<std::string>();
  const double number = shown.get<double>();
  return number == static_cast<long long>(number) ? std::to_string(static_cast<long long>(number))
                                                  : shown.dump();
}

void ExpectCsvCarries(const fs::path& file, const Json& rows,
                      const std::vector<std::string>& header) {
  SCOPED_TRACE(file.string());
  ASSERT_FALSE(rows.empty());
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
  TempDir dir;
  // Names with a comma, quotes and an accent must survive the quoting.
  const std::string db =
      EditedDemo(dir, "UPDATE parceiro SET nome = nome || ', \"Filial\" São';").string();
  const std::string zebevi = ShellQuote(std::getenv("ZEBEVI_EXE")) + " ", at = dir.path().string();
  const std::string order = SharedDemo().Fact("multi_document_order");
  const std::string trip = "trip " + SharedDemo().Fact("exchanged_document_id");
  for (const std::string& write : {"find --order " + order + " --csv >" + at + "/find.csv",
                                   trip + " --csv-dir " + at + "/trip"}) {
    const CommandResult run = RunShell(zebevi + write + " --db " + db);
    EXPECT_EQ(run.status, 0) << write << run.err;
    EXPECT_EQ(run.out, "");
  }
  for (const auto& [file, verb, rows, header] :
       std::vector<std::tuple<std::string, std::string, std::string, std::vector<std::string>>>{
           {"find.csv",
            "find --order " + order,
            "/documents",
            {"id", "number", "issued", "arrived", "operating_point", "customer"}},
           {"trip/invoices.csv", trip, "/invoices", {"number", "weight_kg", "declared_value_brl"}},
           {"trip/occurrences.csv",
            trip,
            "/occurrences",
            {"at", "description", "odometer_km", "minutes_since_previous"}}}) {
    const Json json = OutputJson(RunShell(zebevi + verb + " --json --db " + db));
    ExpectCsvCarries(dir / file, json.at(Json::json_pointer(rows)), header);
  }
  EXPECT_NE(ReadWhole(dir / "find.csv").find("-"), std::string::npos) << "ISO dates";
  // Numbers with a decimal point, never the Brazilian comma.
  EXPECT_EQ(ReadWhole(dir / "trip/invoices.csv").find(",\""), std::string::npos);
}

TEST(Operator, MindsTheTerminal) {
  const DemoDatabase& demo = SharedDemo();
  const std::string document = demo.Fact("exchanged_document_id");
  // The cycle chart fits the width it is given; a wide terminal or none
  // gets its full length.
  const auto widest = [&](const std::string& columns) {
    std::size_t most = 0;
    for (const std::string& line :
         Block(RunZebevi({"trip", document, "--db", demo.path.string()}, {}, {columns}).out,
               "Tempos do ciclo")) {
      most = std::max(most, Columns(line));
    }
    return most;
  };
  const std::size_t full = widest("COLUMNS=");
  EXPECT_EQ(widest("COLUMNS=60"), 60u);
  EXPECT_EQ(widest("COLUMNS=200"), full);
  EXPECT_GT(full, 60u);
  EXPECT_LT(full, 100u);

  // Colour on a terminal unless NO_COLOR, TERM=dumb or --color=never says
  // otherwise; --color=always off one too.
  const std::vector<std::string> xterm{"TERM=xterm", "NO_COLOR="};
  for (const auto& [option, environment, terminal, coloured] :
       std::vector<std::tuple<std::string, std::vector<std::string>, bool, bool>>{
           {"", xterm, true, true},
           {"", {"TERM=xterm", "NO_COLOR=1"}, true, false},
           {"", {"TERM=dumb", "NO_COLOR="}, true, false},
           {"--color=never", xterm, true, false},
           {"--color=always", {}, false, true}}) {
    std::vector<std::string> args{"trip", document, "--db", demo.path.string()};
    if (!option.empty()) args.push_back(option);
    const CommandResult run =
        terminal ? RunInTerminal(args, environment) : RunZebevi(args, {}, environment);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out.find(coloured ? "\x1b[1m" : "\x1b[") != std::string::npos, coloured)
        << option << " " << ::testing::PrintToString(environment);
  }
  ExpectRuns({{"flags {granted_user_group_id} --color always --db {demo}", 0, {}, {"\x1b[1m"}},
              {"--help", 0, {}, {"Exit statuses", "  4  the output could not be written"}},
              {"ops --json",
               0,
               {},
               {R"({"operations":[{"dispid":1610809344,"name":"gConsulta_Espelho_Viagem")"}}});
  EXPECT_EQ(OutputJson(RunZebevi({"ops", "--json"}))["operations"].size(), 14u);
  // The README's sample output shows no one's home folder.
  const std::string readme = ReadWhole(fs::path(ZEBEVI_SOURCE_DIR) / "README.md");
  ASSERT_FALSE(readme.empty());
  EXPECT_FALSE(std::regex_search(readme, std::regex("/(root|home)/")));
}

TEST(Operator, CompletesVerbsAndOptionsAndHasAManPage) {
  // bash runs the script and completes: a verb, an option, an option's value.
  for (const auto& [words, expected] :
       {std::pair{"zebevi tr", "trip"}, std::pair{"zebevi trip 1 --csv", "--csv-dir"},
        std::pair{"zebevi trip 1 --color a", "auto always"},
        std::pair{"zebevi completion f", "fish"}}) {
    const CommandResult run = RunShell(
        "source <(" + ShellQuote(std::getenv("ZEBEVI_EXE")) + " completion bash) && COMP_WORDS=(" +
        words +
        ") && COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) && _zebevi && echo \"${COMPREPLY[*]}\"");
    EXPECT_EQ(run.out, std::string(expected) + "\n") << words << run.err;
  }
  ExpectRuns({{"completion zsh",
               0,
               {},
               {"#compdef zebevi\n", "'check:Check that", "'--color[", "compdef _zebevi zebevi\n"}},
              {"completion fish",
               0,
               {},
               {"complete -c zebevi -n __fish_use_subcommand -a trip -d ",
                "'__fish_seen_subcommand_from trip' -l csv-dir -r -F"}},
              {"completion tcsh", 2, {"tcsh"}}});

  const std::string page = ReadWhole(ZEBEVI_MAN_PAGE);
  EXPECT_NE(page.find("\n.TH ZEBEVI \"1\""), std::string::npos) << page.substr(0, 200);
  for (const char* verb : {"trip", "find", "order", "flags", "check", "call", "completion"}) {
    EXPECT_NE(page.find(std::string(".SS zebevi ") + verb + "\n"), std::string::npos) << verb;
  }
  EXPECT_NE(page.find("the output could not be written"), std::string::npos);
}

bool IsSqliteFile(const fs::path& path) { return ReadWhole(path).rfind("SQLite format 3", 0) == 0; }

// The document the summary line suggests ("Try: zebevi trip ID ...").
std::string SuggestedDocument(const std::string& line) {
  std::smatch match;
  std::regex_search(line, match, std::regex("Try: zebevi trip ([0-9]+)"));
  return match[1].str();
}

TEST(DemoCommand, CreatesTheDatabaseAndSuggestsAnExchangedDocument) {
  TempDir dir;
  const std::string path = (dir / "frete.db").string();
  const CommandResult run = RunZebevi({"demo", "--documents", "40", path});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "") << "no progress bar off a terminal";
  EXPECT_TRUE(std::regex_match(
      run.out, std::regex("Created " + path +
                          ": 40 documents, [0-9]+ invoices, [0-9]+ tracking occurrences in "
                          "[0-9]+\\.[0-9] s\\. Try: zebevi trip [0-9]+ --db " +
                          path + "\n")))
      << run.out;
  EXPECT_TRUE(IsSqliteFile(path));
  // The suggestion works as printed and shows a document of an exchange.
  const CommandResult trip = RunZebevi({"trip", SuggestedDocument(run.out), "--db", path});
  EXPECT_TRUE(std::regex_search(trip.out, std::regex("\n  Documento +[0-9]+ / [0-9]+")))
      << trip.out << trip.err;
  // On a terminal a progress bar, erased before the summary line.
  const CommandResult shown = RunInTerminal({"demo", "--documents", "3000", "--force", path});
  EXPECT_EQ(shown.status, 0) << shown.out;
  EXPECT_NE(shown.out.find("100%  3000/3000"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("\r\x1b[2KCreated "), std::string::npos) << shown.out;
}

TEST(DemoCommand, ReplacesAFileOnlyWhenForcedAndLeavesNothingBehind) {
  TempDir dir;
  const std::string at = dir.path().string() + "/";
  std::ofstream(dir / "demo.db") << "keep me";
  fs::create_directory(dir / "taken");
  ExpectRuns({
      {"demo --documents 20 " + at + "demo.db",
       1,
       {"zebevi: " + at + "demo.db already exists (add --force to replace it)\n"}},
      {"demo --documents 20 --force " + at + "taken",
       1,
       {"zebevi: cannot create " + at + "taken: "}},
      {"demo --documents 3 " + at + "new.db", 2, {"not in range 10 to"}},
  });
  EXPECT_EQ(ReadWhole(dir / "demo.db"), "keep me");
  ASSERT_EQ(RunZebevi({"demo", "--documents", "20", "--force", at + "demo.db"}).status, 0);
  EXPECT_TRUE(IsSqliteFile(dir / "demo.db"));
  // The new database was generated beside the old one and renamed over it.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"demo.db", "taken"}));
}

TEST(DemoCommand, WritesTheDefaultDatabaseThatTheVerbsRead) {
  TempDir dir;
  const std::vector<std::string> xdg{"XDG_DATA_HOME=" + (dir / "data").string(), "ZEBEVI_DB="};
  const CommandResult missing = RunZebevi({"flags", "2"}, {}, xdg);
  EXPECT_EQ(missing.status, 3);
  EXPECT_EQ(missing.err, "zebevi: no database at " + (dir / "data/zebevi/demo.db").string() +
                             " (create it with: zebevi demo, or give --db)\n");

  const CommandResult made = RunZebevi({"demo", "--documents", "20"}, {}, xdg);
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_TRUE(IsSqliteFile(dir / "data/zebevi/demo.db"));
  EXPECT_EQ(made.out.find("--db"), std::string::npos) << "the default needs no --db: " << made.out;
  EXPECT_EQ(RunZebevi({"trip", SuggestedDocument(made.out)}, {}, xdg).status, 0);

  // ZEBEVI_DB names the default for both sides, with or without "sqlite:".
  const std::string own = (dir / "own.db").string();
  ASSERT_EQ(RunZebevi({"demo", "--documents", "20"}, {}, {"ZEBEVI_DB=sqlite:" + own}).status, 0);
  EXPECT_TRUE(IsSqliteFile(own));
  EXPECT_EQ(RunZebevi({"flags", "2"}, {}, {"ZEBEVI_DB=" + own}).status, 0);

  // Under the home folder it says so without naming it.
  const CommandResult home =
      RunZebevi({"demo", "--documents", "20"}, {},
                {"HOME=" + dir.path().string(), "XDG_DATA_HOME=", "ZEBEVI_DB="});
  EXPECT_EQ(home.out.rfind("Created ~/.local/share/zebevi/demo.db: 20 documents", 0), 0u)
      << home.out << home.err;
}

}  // namespace
}  // namespace zebevi::testing
