// What an operator meets on the command line, through the real executable:
// exit statuses, the real cause of a failure, `zebevi check`, CSV export,
// terminal manners, completions and the man page.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>

#include "demo_fixture.h"

namespace zebevi::testing {
namespace {

namespace fs = std::filesystem;

// Code points, which is what a terminal shows for the texts here.
std::size_t Columns(std::string_view text) {
  std::size_t n = 0;
  for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// Databases a case may name in its command line.
struct Databases {
  TempDir dir;
  std::string demo = SharedDemo().path.string();
  std::string empty = (dir / "empty.db").string();
  std::string missing = (dir / "missing.db").string();
  Databases() { std::ofstream(empty).flush(); }

  // `text` with {demo}, {empty} and {missing} replaced.
  std::string Fill(std::string text) const {
    for (const auto& [key, value] : {std::pair{"{demo}", demo}, std::pair{"{empty}", empty},
                                     std::pair{"{missing}", missing}}) {
      for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key)) {
        text.replace(at, std::string_view(key).size(), value);
      }
    }
    return text;
  }
};

struct Case {
  std::vector<std::string> args;
  int status;
  std::vector<std::string> err;  // fragments of standard error
  std::vector<std::string> out;  // fragments of standard output
};

void ExpectCases(const std::vector<Case>& cases, const Databases& dbs) {
  for (const Case& c : cases) {
    std::vector<std::string> args;
    std::string shown;
    for (const std::string& arg : c.args) {
      args.push_back(dbs.Fill(arg));
      shown += arg + " ";
    }
    SCOPED_TRACE(shown);
    const CommandResult run = RunZebevi(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    for (const std::string& part : c.err) {
      EXPECT_NE(run.err.find(dbs.Fill(part)), std::string::npos) << part << "\nin: " << run.err;
    }
    for (const std::string& part : c.out) {
      EXPECT_NE(run.out.find(dbs.Fill(part)), std::string::npos) << part << "\nin: " << run.out;
    }
    if (c.out.empty() && c.status != 0) {
      EXPECT_EQ(run.out, "") << "nothing on standard output when it fails";
    }
  }
}

const std::string kTrap =
    "zebevi: Acesso a informações de Clientes não disponível. Favor tentar mais tarde.\n";

TEST(Operator, ExitStatusesSayWhatHappened) {
  const DemoDatabase& demo = SharedDemo();
  const Databases dbs;
  const std::string no_rights = "zebevi: Direitos do grupo do usuário não cadastrados.\n";
  ExpectCases(
      {
          {{"trip", demo.Fact("plain_document_id"), "--db", "{demo}"}, 0, {}, {"Espelho"}},
          {{"trip", "99999999", "--db", "{demo}"},
           1,
           {"zebevi: Documentação de Viagem não encontrada.\n"},
           {}},
          // A document number where the identifier belongs gets a hint.
          {{"trip", "100004", "--db", "{demo}"},
           1,
           {"zebevi: Documentação de Viagem não encontrada.\n"
            "zebevi: `zebevi find --document 100004` finds a document by its number\n"},
           {}},
          {{"find", "--document", "12A", "--db", "{demo}"},
           1,
           {"O número do conhecimento deve ser númerico."},
           {}},
          {{"flags", demo.Fact("empty_user_group_id"), "--db", "{demo}"}, 1, {no_rights}, {}},
          {{"flags", "999", "--db", "{demo}"}, 1, {no_rights}, {}},
          {{"flags", "999", "--db", "{demo}", "--json"}, 1, {no_rights}, {"\"status\":0"}},
          {{"flags", demo.Fact("granted_user_group_id"), "--db", "{demo}"}, 0, {}, {"114"}},
          {{"trip", "abc", "--db", "{demo}"}, 2, {"not a whole number: abc"}, {}},
          {{"flags", "x", "--db", "{demo}"}, 2, {"not a whole number: x"}, {}},
          {{"trip", "1", "--frobnicate", "--db", "{demo}"}, 2, {"--frobnicate"}, {}},
          {{"find", "--db", "{demo}"}, 2, {"find needs a number"}, {}},
          {{"order", "1", "--from", "2024-02-01", "--to", "01/01/2024", "--db", "{demo}"},
           2,
           {"zebevi: --from 2024-02-01 is after --to 01/01/2024\n"},
           {}},
          {{"trip", "1", "--color", "sometimes", "--db", "{demo}"}, 2, {"--color"}, {}},
          {{"find", "--order", "1", "--csv", "--json", "--db", "{demo}"}, 2, {"--json"}, {}},
          // The component's text for the internet user, then the real cause.
          {{"trip", "1", "--db", "{empty}"},
           3,
           {kTrap + "zebevi: the database answered: ", "no such table: zeb_procedure\n",
            "zebevi: is this a zebevi database? `zebevi check --db {empty}`\n"},
           {}},
          {{"find", "--order", "1", "--db", "{empty}"},
           3,
           {kTrap, "the database answered: ", "`zebevi check --db {empty}`"},
           {}},
          {{"order", "1", "--db", "{empty}"}, 3, {kTrap, "the database answered: "}, {}},
          {{"flags", "2", "--db", "{empty}"},
           3,
           {"the database answered: no such table: GRUPO_USUARIO_PARTICUL"},
           {}},
          {{"trip", "1", "--db", "{missing}"}, 3, {"zebevi: no database at {missing}\n"}, {}},
          {{"trip", "1", "--db", "sqlite:{missing}"}, 3, {"cannot open the database"}, {}},
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
      },
      dbs);
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
  const std::string db = ShellQuote(demo.path.string());
  for (const std::string& args :
       {"trip " + demo.Fact("plain_document_id") + " --db " + db,
        "find --order " + demo.Fact("multi_document_order") + " --db " + db,
        "flags " + demo.Fact("granted_user_group_id") + " --db " + db, "check --db " + db,
        std::string("ops"), std::string("completion bash")}) {
    const std::string command =
        ShellQuote(std::getenv("ZEBEVI_EXE")) + " " + args + " >/dev/full 2>/dev/null";
    const int raw = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 4) << args;
  }
  TempDir dir;
  const CommandResult page = RunOnDemo(
      {"trip", demo.Fact("plain_document_id"), "--html", (dir / "no/such/page.html").string()});
  EXPECT_EQ(page.status, 4) << page.err;
}

// Each CSV file as Python's csv module reads it, as JSON.
Json PythonCsv(const fs::path& file) {
  const TempDir dir;
  const CommandResult run = [&] {
    const std::string command =
        "python3 -c 'import csv, json, sys; "
        "print(json.dumps(list(csv.reader(open(sys.argv[1], newline=\"\", encoding=\"utf-8\", "
        "errors=\"strict\")))))' " +
        ShellQuote(file.string()) + " >" + ShellQuote((dir / "out").string());
    CommandResult r;
    const int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadWhole(dir / "out");
    return r;
  }();
  EXPECT_EQ(run.status, 0) << file;
  return OutputJson(run);
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
  const std::string text = ReadWhole(file);
  EXPECT_NE(text.find("\r\n"), std::string::npos) << "RFC 4180 lines end CRLF";
  const Json csv = PythonCsv(file);
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
    args.insert(args.end(), {"--db", db.string()});
    const Json json = OutputJson(RunZebevi([&] {
      auto a = args;
      a.push_back("--json");
      return a;
    }()));
    args.push_back("--csv");
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

  const std::string db = demo.path.string();
  struct Shown {
    std::vector<std::string> args;
    std::vector<std::string> environment;
    bool terminal;
    bool coloured;
  };
  for (const Shown& s :
       {Shown{{"trip", document, "--db", db}, {"TERM=xterm", "NO_COLOR="}, true, true},
        Shown{{"trip", document, "--db", db}, {"TERM=dumb", "NO_COLOR="}, true, false},
        Shown{{"trip", document, "--db", db, "--color=never"},
              {"TERM=xterm", "NO_COLOR="},
              true,
              false},
        Shown{{"trip", document, "--db", db, "--color=always"}, {}, false, true},
        Shown{{"flags", demo.Fact("granted_user_group_id"), "--db", db, "--color", "always"},
              {},
              false,
              true}}) {
    const CommandResult run =
        s.terminal ? RunInTerminal(s.args, s.environment) : RunZebevi(s.args, {}, s.environment);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out.find("\x1b[") != std::string::npos, s.coloured)
        << s.args.back() << " " << (s.environment.empty() ? "" : s.environment[0]);
  }

  const Databases dbs;
  ExpectCases({{{"-V"}, 0, {}, {"zebevi 0.1.0\n"}},
               {{"--version"}, 0, {}, {"zebevi 0.1.0\n"}},
               {{"--help"}, 0, {}, {"Exit statuses", "  4  the output could not be written"}},
               {{"ops", "--json"},
                0,
                {},
                {R"({"operations":[{"dispid":1610809344,"name":"gConsulta_Espelho_Viagem")"}},
               {{"trip", "--help"}, 0, {}, {"--csv-dir", "--color"}}},
              dbs);
  const Json ops = OutputJson(RunZebevi({"ops", "--json"}));
  EXPECT_EQ(ops["operations"].size(), 14u);

  // The README's sample output shows no one's home folder, and neither does
  // `zebevi demo` when it writes there.
  const std::string readme = ReadWhole(fs::path(ZEBEVI_SOURCE_DIR) / "README.md");
  ASSERT_FALSE(readme.empty());
  EXPECT_EQ(readme.find("/root/"), std::string::npos);
  EXPECT_EQ(readme.find("/home/"), std::string::npos);
  TempDir home;
  const CommandResult made =
      RunZebevi({"demo", "--documents", "20"}, {},
                {"HOME=" + home.path().string(), "XDG_DATA_HOME=", "ZEBEVI_DB="});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.out.rfind("Created ~/.local/share/zebevi/demo.db: 20 documents", 0), 0u)
      << made.out;
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
    const TempDir dir;
    const std::string script =
        "source <(" + ShellQuote(exe) + " completion bash) && COMP_WORDS=(" + words +
        ") && COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) && _zebevi && echo \"${COMPREPLY[*]}\"";
    const std::string command =
        "bash -c " + ShellQuote(script) + " >" + ShellQuote((dir / "out").string());
    EXPECT_EQ(std::system(command.c_str()), 0) << words;
    EXPECT_EQ(ReadWhole(dir / "out"), std::string(expected) + "\n") << words;
  }
  const Databases dbs;
  ExpectCases(
      {{{"completion", "zsh"},
        0,
        {},
        {"#compdef zebevi\n", "'check:Check that", "'--color[", "compdef _zebevi zebevi\n"}},
       {{"completion", "fish"},
        0,
        {},
        {"complete -c zebevi -n __fish_use_subcommand -a trip -d ",
         "'__fish_seen_subcommand_from trip' -l csv-dir -r -F"}},
       {{"completion", "tcsh"}, 2, {"tcsh"}, {}}},
      dbs);

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
