// `zebevi call` end to end, through the real executable.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "cli/json_value.h"
#include "frame/trap.h"
#include "support/test_support.h"

namespace zebevi::testing {
namespace {

using Json = nlohmann::ordered_json;
using cli::JsonLimits;

Json Answer(const CommandResult& run) {
  Json json = Json::parse(run.out, nullptr, false);
  EXPECT_FALSE(json.is_discarded()) << run.out << run.err;
  return json;
}

TEST(CallCommand, ConvertsSecondsIntoHoursAndMinutes) {
  const CommandResult run =
      RunZebevi({"call", "mConverte_Decimal_Hora", R"({"invntValor": 90061})"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Json answer = Answer(run);
  EXPECT_EQ(answer["operation"], "mConverte_Decimal_Hora");
  EXPECT_EQ(answer["status"], "ok");
  EXPECT_EQ(answer["result"], Json::parse(R"({"type": "Boolean", "value": true})"));
  EXPECT_EQ(answer["params"]["outvntTempo"], Json::parse(R"({"type": "String", "value": "25:01"})"));
  EXPECT_EQ(answer["params"]["invntValor"], Json::parse(R"({"type": "Int32", "value": 90061})"));
  EXPECT_EQ(answer["params"]["outvntMsg_ret"], Json::parse(R"({"type": "Empty"})"));
  // Keys come in the contract's order, parameters in interface order.
  std::vector<std::string> keys;
  for (const auto& item : answer.items()) keys.push_back(item.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"operation", "status", "result", "params"}));
  std::vector<std::string> params;
  for (const auto& item : answer["params"].items()) params.push_back(item.key());
  EXPECT_EQ(params, (std::vector<std::string>{"invntValor", "outvntTempo", "outvntMsg_ret"}));
}

TEST(CallCommand, GivesTheTrackingMessageAloneOnAnHourOverflow) {
  const CommandResult run = RunZebevi(
      {"call", "mPega_Hora", R"({"invntValor": 2147483648, "outvntMsg_ret": "x"})"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Json answer = Answer(run);
  EXPECT_EQ(answer["result"], Json::parse(R"({"type": "Boolean", "value": false})"));
  EXPECT_EQ(answer["params"]["outvntMsg_ret"]["value"], std::string(frame::kTrackingText));
  EXPECT_EQ(answer["params"]["invntValor"]["type"], "Double");
}

TEST(CallCommand, ReadsTaggedValuesAndStandardInput) {
  const CommandResult run = RunZebevi(
      {"call", "mPega_Hora", "-"},
      R"({"invntValor": {"type": "String", "value": "5400"},
          "outvntResto": {"type": "Date", "value": "2026-03-05T14:07:09"},
          "outvntHora": {"type": "Array", "value": [1, {"type": "Int16", "value": 2}, null]}})");
  ASSERT_EQ(run.status, 0) << run.err;
  const Json params = Answer(run)["params"];
  EXPECT_EQ(params["outvntHora"], Json::parse(R"({"type": "String", "value": "1"})"));
  EXPECT_EQ(params["outvntResto"], Json::parse(R"({"type": "Double", "value": 1800.0})"));

  const CommandResult echo = RunZebevi(
      {"call", "mPega_Hora",
       R"({"invntValor": 3600, "outvntResto": {"type": "Date", "value": "2026-03-05T14:07:09"},
           "outvntMsg_ret": {"type": "Array", "value": [0.1, {"type": "Int16", "value": 2}, null]}})"});
  const Json kept = Answer(echo)["params"];
  EXPECT_EQ(kept["outvntResto"], Json::parse(R"({"type": "Date", "value": "2026-03-05T14:07:09"})"));
  EXPECT_EQ(kept["outvntMsg_ret"], Json::parse(R"({"type": "Array", "value": [
      {"type": "Double", "value": 0.1}, {"type": "Int16", "value": 2}, {"type": "Null"}]})"));
}

TEST(CallCommand, RefusesBadUsageWithStatusTwo) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"call", "mNada"},
        std::vector<std::string>{"call", "mPega_Hora", R"({"invntvalor": 1})"},
        std::vector<std::string>{"call", "mPega_Hora", "[1]"},
        std::vector<std::string>{"call", "mPega_Hora", "{not json"},
        std::vector<std::string>{"call", "mPega_Hora", R"({"invntValor": {"type": "Int16", "value": 40000}})"},
        std::vector<std::string>{"call", "mPega_Hora", R"({"invntValor": {"type": "Date", "value": "05/03/2026"}})"},
        std::vector<std::string>{"call"}, std::vector<std::string>{"frobnicate"}}) {
    const CommandResult run = RunZebevi(args);
    EXPECT_EQ(run.status, 2) << args.back() << ": " << run.out;
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_FALSE(run.err.empty());
  }
}

std::string Repeated(std::string_view piece, std::size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(CallCommand, RefusesHostileInputsShortly) {
  const std::string deep_plain =
      R"({"invntValor": )" + Repeated("[", 100000) + Repeated("]", 100000) + "}";
  const std::string deep_tagged = R"({"invntValor": )" +
                                  Repeated(R"({"type": "Array", "value": [)", 4000) +
                                  Repeated("]}", 4000) + "}";
  const std::string oversized =
      R"({"invntValor": 1)" + std::string(JsonLimits::kDefaultMaxBytes, ' ') + "}";
  const std::string echoed = R"({"invntValor": [")" + std::string(1 << 20, 'x') + R"("]})";
  const std::string long_key = "{\"" + std::string(1 << 20, 'k') + "\": 1}";
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    const char* says;
  };
  const std::vector<Case> cases = {
      {"deep plain arrays", {"call", "mPega_Hora", "-"}, deep_plain, "nests deeper than 32"},
      {"deep tagged arrays", {"call", "mPega_Hora", "-"}, deep_tagged, "nests deeper than 32"},
      {"over the default size", {"call", "mPega_Hora", "-"}, oversized, "larger than 4194304"},
      {"over a given size",
       {"call", "--max-input-bytes", "10", "mPega_Hora", R"({"invntValor": 1})"},
       "",
       "larger than 10"},
      {"a refused value", {"call", "mPega_Hora", "-"}, echoed, R"(cannot read ["xxx)"},
      {"a long unknown key", {"call", "mPega_Hora", "-"}, long_key, "has no parameter \"kkk"},
      {"an unknown operation with escapes", {"call", "m\x1b[2J\nNada"}, "",
       R"(unknown operation "m\u001b[2J\nNada")"},
  };
  for (const Case& c : cases) {
    const CommandResult run = RunZebevi(c.args, c.input);
    EXPECT_EQ(run.status, 2) << c.name << ": " << run.err.substr(0, 200);
    EXPECT_TRUE(run.out.empty()) << c.name;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << c.name << ": " << run.err.substr(0, 200);
    EXPECT_LT(run.err.size(), 200u) << c.name;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << c.name << ": one line";
  }
  // The limit is the caller's to raise.
  const CommandResult raised =
      RunZebevi({"call", "--max-input-bytes", "100000000", "mPega_Hora", "-"}, oversized);
  EXPECT_EQ(raised.status, 0) << raised.err;
}

TEST(CallCommand, EndsWithStatusThreeWhenMemoryRunsOut) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer cannot run within a small address space";
#else
  TempDir dir;
  {
    std::ofstream in(dir / "in", std::ios::binary);
    in << R"({"invntValor": {"type": "Array", "value": [)" << Repeated("1,", 10'000'000) << "1]}}";
  }
  const std::string command = "ulimit -v 600000; exec " + ShellQuote(std::getenv("ZEBEVI_EXE")) +
                              " call --max-input-bytes 100000000 mPega_Hora - <" +
                              ShellQuote((dir / "in").string()) + " 2>" +
                              ShellQuote((dir / "err").string()) + " >/dev/null";
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 3);
  std::ifstream err(dir / "err");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(err), {}), "zebevi: out of memory\n");
#endif
}

TEST(CallCommand, ReportsAFailedCallWithStatusThree) {
  // Without a connection the route query traps; its trap then cannot compare
  // a user "abc" with 1, and that failure ends the call.
  const CommandResult run = RunZebevi(
      {"call", "mConsulta_Dados_Rota", R"({"invntUsuario_Internet_id": "abc", "invntRota_id": 7})"});
  ASSERT_EQ(run.status, 3) << run.err;
  const Json answer = Answer(run);
  EXPECT_EQ(answer["status"], "failed");
  EXPECT_EQ(answer["error"], Json::parse(R"({"number": 13, "description": "Type mismatch"})"));
  EXPECT_FALSE(answer.contains("result"));
  EXPECT_EQ(answer["params"]["inOdb"], Json::parse(R"({"type": "Empty"})"));
}

TEST(CallCommand, ExitsWithStatusFourWhenTheDatabaseCannotBeOpened) {
  TempDir dir;
  const CommandResult run = RunZebevi(
      {"call", "mConsulta_Dados_Rota",
       Json{{"invntRota_id", 7}, {"inOdb", "sqlite:" + (dir / "missing.db").string()}}.dump()});
  EXPECT_EQ(run.status, 4);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find("missing.db"), std::string::npos) << run.err;
}

TEST(CallCommand, ListsTheOperations) {
  const CommandResult run = RunZebevi({"ops"});
  ASSERT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("0x60030000 gConsulta_Espelho_Viagem(invntConecta_db: Value"),
            std::string::npos);
  EXPECT_NE(run.out.find("0x6003000D mPega_Minuto("), std::string::npos);
  EXPECT_NE(run.out.find("inOdb: Object"), std::string::npos);
}

}  // namespace
}  // namespace zebevi::testing
