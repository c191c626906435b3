// `zebevi call` end to end, through the real executable.
#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/json_value.h"
#include "demo_fixture.h"
#include "frame/trap.h"

namespace zebevi::testing {
namespace {

TEST(CallCommand, AnswersInTheContractsOrderWithTaggedValues) {
  const std::string stored = R"({"type":"Date","value":"2026-03-05T14:07:09"})";
  const std::string array =
      R"({"type": "Array", "value": [0.1, {"type": "Int16", "value": 2}, null]})";
  ExpectRuns({
      // Keys in the contract's order, parameters in interface order.
      {R"(call mConverte_Decimal_Hora '{"invntValor": 90061}')",
       0,
       {},
       {R"({"operation":"mConverte_Decimal_Hora","status":"ok","result":{"type":"Boolean",)"
        R"("value":true},"params":{"invntValor":{"type":"Int32","value":90061},"outvntTempo":)"
        R"({"type":"String","value":"25:01"},"outvntMsg_ret":{"type":"Empty"}}})"
        "\n"}},
      // The message alone on an overflow, and the value as the operation left it.
      {R"(call mPega_Hora '{"invntValor": 2147483648, "outvntMsg_ret": "x"}')",
       0,
       {},
       {R"("result":{"type":"Boolean","value":false})", R"("invntValor":{"type":"Double")",
        R"("outvntMsg_ret":{"type":"String","value":")" + std::string(frame::kTrackingText) +
            "\"}"}},
      // A message keeps its trailing blank.
      {R"(call mBusca_Apuracao '{"invntDOCTO_TRANSPORTE_ID": 0}')",
       0,
       {},
       {R"("outvntMsg_ret":{"type":"String","value":"Informe um documento de Transporte. "})"}},
      // Tagged values from standard input, as the operation reads them.
      {"call mPega_Hora -",
       0,
       {},
       {R"("outvntHora":{"type":"String","value":"1"})",
        R"("outvntResto":{"type":"Double","value":1800.0})"},
       R"({"invntValor": {"type": "String", "value": "5400"}, "outvntResto": )" + stored +
           R"(, "outvntHora": )" + array + "}"},
      // Outputs the operation leaves alone come back as they were given.
      {"call mPega_Hora -",
       0,
       {},
       {R"("outvntResto":)" + stored,
        R"("outvntMsg_ret":{"type":"Array","value":[{"type":"Double","value":0.1},)"
        R"({"type":"Int16","value":2},{"type":"Null"}]})"},
       R"({"invntValor": 3600, "outvntResto": )" + stored + R"(, "outvntMsg_ret": )" + array + "}"},
      {"ops",
       0,
       {},
       {"0x60030000 gConsulta_Espelho_Viagem(invntConecta_db: Value", "0x6003000D mPega_Minuto(",
        "inOdb: Object"}},
  });
}

TEST(CallCommand, EndsWithItsOwnStatuses) {
  ExpectRuns({
      {"call mNada", 2, {"mNada"}},
      {R"(call mPega_Hora '{"invntvalor": 1}')", 2, {"invntvalor"}},
      {"call mPega_Hora '{not json'", 2, {"not valid JSON"}},
      {R"(call mPega_Hora '{"invntValor": {"type": "Int16", "value": 40000}}')", 2, {"Int16"}},
      {"call", 2, {"operation is required"}},
      {"frobnicate", 2, {"A subcommand is required"}},
      // Without a connection the route query traps; its trap then cannot
      // compare a user "abc" with 1, and that failure ends the call.
      {R"(call mConsulta_Dados_Rota '{"invntUsuario_Internet_id": "abc", "invntRota_id": 7}')",
       3,
       {},
       {R"({"operation":"mConsulta_Dados_Rota","status":"failed","error":{"number":13,)"
        R"("description":"Type mismatch"},"params":{)",
        R"("inOdb":{"type":"Empty"})"}},
      {R"(call mConsulta_Dados_Rota '{"invntRota_id": 7, "inOdb": "sqlite:{missing}"}')",
       4,
       {"missing.db"}},
  });
}

std::string Repeated(std::string_view piece, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(CallCommand, RefusesHostileInputsInOneShortLine) {
  const std::string oversized =
      R"({"invntValor": 1)" + std::string(cli::JsonLimits::kDefaultMaxBytes, ' ') + "}";
  const std::vector<std::string> read{"call", "mPega_Hora", "-"};
  for (const auto& [args, input, says] :
       std::vector<std::tuple<std::vector<std::string>, std::string, std::string>>{
           {read, R"({"invntValor": )" + Repeated("[", 100000) + Repeated("]", 100000) + "}",
            "nests deeper than 32"},
           {read,
            R"({"invntValor": )" + Repeated(R"({"type": "Array", "value": [)", 4000) +
                Repeated("]}", 4000) + "}",
            "nests deeper than 32"},
           {read, oversized, "larger than 4194304"},
           {{"call", "--max-input-bytes", "10", "mPega_Hora", R"({"invntValor": 1})"},
            "",
            "larger than 10"},
           {read, R"({"invntValor": [")" + std::string(1 << 20, 'x') + R"("]})",
            R"(cannot read ["xxx)"},
           {read, "{\"" + std::string(1 << 20, 'k') + "\": 1}", "has no parameter \"kkk"},
           {{"call", "m\x1b[2J\nNada"}, "", R"(unknown operation "m\u001b[2J\nNada")"},
       }) {
    SCOPED_TRACE(says);
    const CommandResult run = RunZebevi(args, input);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(says), std::string::npos) << run.err.substr(0, 200);
    EXPECT_LT(run.err.size(), 200u);
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line";
  }
  // The limit is the caller's to raise.
  EXPECT_EQ(
      RunZebevi({"call", "--max-input-bytes", "100000000", "mPega_Hora", "-"}, oversized).status,
      0);
}

TEST(CallCommand, EndsWithStatusThreeWhenMemoryRunsOut) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer cannot run within a small address space";
#else
  const CommandResult run = RunShell(
      "ulimit -v 600000; exec " + ShellQuote(std::getenv("ZEBEVI_EXE")) +
          " call --max-input-bytes 100000000 mPega_Hora -",
      R"({"invntValor": {"type": "Array", "value": [)" + Repeated("1,", 10'000'000) + "1]}}");
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.err, "zebevi: out of memory\n");
#endif
}

}  // namespace
}  // namespace zebevi::testing
