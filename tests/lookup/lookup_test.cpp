// The two lookups, gValida_Num_Documento and gValida_Num_Pedido_Publ, called
// by name on fixture databases holding one procedure, and on the reference
// data set of every engine. Each row gives what a call writes, the typed
// numbers cleaned included; every other argument keeps what it was passed.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "frame/trap.h"
#include "support/command_log.h"
#include "support/engines.h"
#include "support/operation_calls.h"
#include "support/test_support.h"

namespace zebevi::testing {
namespace {

const std::string kClientes(frame::kClientesText);
const char* const kConecta = "invntConecta_db";
const char* const kUser = "invntUsuario_Internet_id";
const char* const kMsg = "outvntMsg_ret";
const char* const kOrder = "invntNum_Pedido";
const Value kRefusedStatus = Value::Int16(10);
const Value kTrapped = Value::Int16(50);
const std::string kRefused = "sqlite:/nonexistent/x.db";
const std::string kNoProvider = "Provider=Nothing;Data Source=x";

Value Int(std::int32_t n) { return Value::Int32(n); }
Value List(ValueArray items) { return Value::Array(std::move(items)); }

// A SQLite file in `dir` with `sql` (tables and rows) and a procedure table
// holding `procedure` whose body (no quotes in it) is `body`.
std::string ProcedureDb(const TempDir& dir, std::string_view sql, std::string_view procedure,
                        std::string_view body) {
  const auto path = dir / (std::string(procedure) + std::to_string(body.size()) + ".db");
  RunSqlScript(path, std::string(sql) +
                         "\nCREATE TABLE zeb_procedure (name TEXT PRIMARY KEY COLLATE NOCASE, "
                         "body TEXT NOT NULL);\nINSERT INTO zeb_procedure VALUES ('" +
                         std::string(procedure) + "', '" + std::string(body) + "');");
  return SqliteConnection(path);
}

// gValida_Num_Documento.

constexpr std::string_view kDocuments = R"sql(
CREATE TABLE docto (Docto_Transporte_id INTEGER PRIMARY KEY, num_docto_transporte INTEGER,
  pedido TEXT, nota TEXT, data_emissao DATE, Data_Chegada_Cliente_Efetiva DATETIME,
  nome_fantasia TEXT, nome TEXT);
INSERT INTO docto VALUES
  (10, 5001, 'P-1', 'NF-1', '2002-03-05', '2002-03-07 14:07:09', 'Ponto Campinas', 'Cliente A'),
  (11, 5002, 'P-2', 'NF-2', '2002-03-06', NULL, 'Ponto Santos', 'Cliente B'),
  (12, 5003, 'P-2', 'NF-3', '2002-03-08', '2002-03-09 08:00:00', 'Ponto Santos', 'Cliente C');
)sql";

// A procedure takes as many arguments as its body names.
const std::string kColumns =
    "SELECT Docto_Transporte_id, num_docto_transporte, data_emissao, "
    "Data_Chegada_Cliente_Efetiva, nome_fantasia";
constexpr std::string_view kMatch =
    " FROM docto WHERE (?1 IS NULL OR pedido = ?1) AND (?2 IS NULL OR nota = ?2)"
    " AND (coalesce(?3, 0) = 0 OR num_docto_transporte = ?3)"
    " AND coalesce(?4, ?5, ?6, ?7, ?8, ?9, 0) IS NOT NULL ORDER BY 1";

const char* const kDocumento = "gValida_Num_Documento";

// The three typed numbers: order, invoice, transport document.
Inputs Typed(Value pedido, Value nota_fiscal, Value docto) {
  return {{kOrder, std::move(pedido)},
          {"invntNota_Fiscal", std::move(nota_fiscal)},
          {"invntNum_Docto_Transporte", std::move(docto)}};
}

// The count and the six lists.
Inputs Documents(std::vector<Value> answer) { return InOrder(kDocumento, answer); }

class ValidaNumDocumentoTest : public ::testing::Test {
 protected:
  TempDir dir_;
  std::string db_ = ProcedureDb(dir_, kDocuments, "SP_ZEB_CON_Docto_Transporte_ID6",
                                kColumns + ", nome" + std::string(kMatch));
};

TEST_F(ValidaNumDocumentoTest, CleansTheTypedNumbersThenRefusesOrListsEveryMatchInParallel) {
  const std::string numeric = "O número do conhecimento deve ser númerico.";
  const auto refused = [](Inputs cleaned, const std::string& message) {
    return With(std::move(cleaned), {{kMsg, message}});
  };
  // The numeric test comes first, then none given, then all given; a
  // missing arrival stays the empty text.
  // clang-format off
  ExpectCalls(kDocumento, {
      {"not numeric", Typed("P-1", "NF-1", " 1\t2A "), kRefusedStatus,
       refused(Typed("P-1", "NF-1", "12A"), numeric), 0},
      {"nothing", Typed(Value(), Value(), Value()), kRefusedStatus,
       refused(Typed("", "", ""), "Informe algum documento."), 0},
      {"blanks and a zero", Typed(" ", "\t", " 0 \n"), kRefusedStatus,
       refused(Typed("", "", "0"), "Informe algum documento."), 0},
      {"all three", Typed("P-1", "NF-1", "5001"), kRefusedStatus,
       refused(Typed("P-1", "NF-1", "5001"), "Informe somente um documento."), 0},
      {"an order of two", Typed("\tP-2 \r\n", Value(), Int(0)), Value::Int16(0),
       With(Typed("P-2", "", "0"),
            Documents({Int(2), List({"11", "12"}), List({"5002", "5003"}),
                      List({"06/03/2002", "08/03/2002"}), List({"", "09/03/2002 08:00:00"}),
                      List({"Ponto Santos", "Ponto Santos"}), List({"Cliente B", "Cliente C"})}))},
      {"a transport document", Typed("", "", "5001"), Value::Int16(0),
       Documents({Int(1), List({"10"}), List({"5001"}), List({"05/03/2002"}),
                 List({"07/03/2002 14:07:09"}), List({"Ponto Campinas"}), List({"Cliente A"})})},
      {"no match", Typed("P-9", "", ""), kRefusedStatus, {{kMsg, "Documento não cadastrado."}}},
  }, db_);
  // clang-format on
}

TEST_F(ValidaNumDocumentoTest, SendsAllNineArgumentsInTheirOrder) {
  CommandLog log;
  OperationCall(kDocumento,
                With(Typed("", "NF-9", ""), {{"invntempresa_Id", Int(3)},
                                             {"invntGrupo_Cliente_id", Value::Null()},
                                             {"invntFornecedor_id", Int(7)},
                                             {"invntColaborador_id", Int(8)},
                                             {"invntTab_Tipo_Colaborador_id", "9"}}),
                db_);
  OperationCall(kDocumento, With(Typed("P'1", "", " 5001"), {{"invntCliente_id", Int(4)}}), db_);
  EXPECT_EQ(log.commands(),
            (std::vector<std::string>{
                "EXEC SP_ZEB_CON_Docto_Transporte_ID6 NULL, 'NF-9', NULL, 3, NULL, NULL, 7, 8, 9 ",
                "EXEC SP_ZEB_CON_Docto_Transporte_ID6 'P''1', NULL, 5001, NULL, 4, NULL, NULL, "
                "NULL, NULL "}));
}

// Each trap with its label: the diagnostic user gets the detail, anyone
// else the fixed text; the numbers cleaned before it stay cleaned.
TEST_F(ValidaNumDocumentoTest, TrapsWithTheLabelOfTheFailedStep) {
  const Error refusal = FailureOf([] { DbConnection().Open(kRefused); });
  const std::string prefix = kClientes + "GValida_Num_Documento ( ";
  const Error null = Error::InvalidUseOfNull();
  const Inputs diagnostic{{kUser, Int(1)}};
  // clang-format off
  ExpectCalls(kDocumento, {
      {"refused", With(Typed("P-1", "", ""), {{kConecta, kRefused}, {kUser, "1"}}), kTrapped,
       {{kMsg, Detail(prefix, refusal, 4030)}}, 0},
      {"no provider, another user", With(Typed("P-1", "", ""), {{kConecta, kNoProvider}}),
       kTrapped, {{kMsg, kClientes}}, 0},
      {"null order", With(Typed(Value::Null(), "", ""), diagnostic), kTrapped,
       {{kMsg, Detail(prefix, null, 3770)}}, 0},
      {"null invoice", With(Typed(" P-1\t", Value::Null(), ""), diagnostic), kTrapped,
       {{kOrder, "P-1"}, {kMsg, Detail(prefix, null, 3780)}}, 0},
      {"null document", With(Typed("", "", Value::Null()), diagnostic), kTrapped,
       {{kMsg, Detail(prefix, null, 3790)}}, 0},
  }, db_);
  // clang-format on

  // What was stored before a missing column stays.
  const OperationCall broken(kDocumento, With(Typed("P-2", "", ""), diagnostic),
                             ProcedureDb(dir_, kDocuments, "SP_ZEB_CON_Docto_Transporte_ID6",
                                         kColumns + std::string(kMatch)));
  EXPECT_EQ(broken.result, kTrapped);
  const std::string text = ToString(broken[kMsg]);
  EXPECT_EQ(text.rfind(prefix, 0), 0u) << text;
  EXPECT_TRUE(text.ends_with(" : " + std::to_string(kDbItemNotFound) + ")   No Nº 4250")) << text;
  EXPECT_EQ(broken["outarrvntNum_Docto_Transporte"], List({"5002", Value()}));
  EXPECT_EQ(broken["outarrvntCliente"], List({Value(), Value()}));
}

// gValida_Num_Pedido_Publ.

// U+00B4, the acute accent, in UTF-8: the English text has no apostrophe.
const std::string kCantFind = "Can\xC2\xB4t find any cargo whit this filter.";
const std::string kNoOrder = "Não existe o Pedido informado no banco de dados.";
const std::string kNoRowEnglish = "Problem with Document table. Please, try again later.";
const std::string kNoRowPortuguese = "Cadastro de Pedido com problemas.";

// P3: three documents, one not delivered. Z: nothing found. X2 announces
// two documents and returns three; F3 announces three and returns two.
constexpr std::string_view kPublished = R"sql(
CREATE TABLE pub (seq INTEGER PRIMARY KEY, pedido TEXT, contador INTEGER, retorno INTEGER,
  Docto_Transporte_id INTEGER, num_docto_transporte INTEGER, data_emissao DATE, data_entrega DATE);
INSERT INTO pub (pedido, contador, retorno, Docto_Transporte_id, num_docto_transporte,
  data_emissao, data_entrega) VALUES
  ('P3', 3, 1, 10, 5001, '2002-03-05', '2002-03-07'),
  ('P3', 3, 1, 11, 5002, '2002-03-06', NULL),
  ('P3', 3, 1, 12, 5003, '2002-03-08 10:30:00', '2002-03-09'),
  ('Z', 0, 0, NULL, NULL, NULL, NULL),
  ('X2', 2, 1, 20, 6001, '2003-01-02', '2003-01-03'),
  ('X2', 2, 1, 21, 6002, '2003-01-04', NULL),
  ('X2', 2, 1, 22, 6003, '2003-01-05', NULL),
  ('F3', 3, 1, 30, 7001, NULL, '2004-05-06'),
  ('F3', 3, 1, 31, 7002, '2004-05-07', NULL);
)sql";

// A procedure takes as many arguments as its body names.
constexpr std::string_view kBody =
    "SELECT contador, retorno, Docto_Transporte_id, num_docto_transporte, data_emissao, "
    "data_entrega FROM pub WHERE pedido = ?3"
    " AND coalesce(?1, ?2, ?4, ?5, ?6, ?7, 0) IS NOT NULL ORDER BY seq";

const char* const kPedido = "gValida_Num_Pedido_Publ";

Inputs Order(Value pedido, Value idioma = Value()) {
  return {{kOrder, std::move(pedido)}, {"idioma", std::move(idioma)}};
}

// The return code, then the count and the four lists.
Inputs Published(std::vector<Value> answer) {
  answer.insert(answer.begin(), Int(1));
  return InOrder(kPedido, answer);
}

Value Ints(std::vector<std::int32_t> numbers) {
  ValueArray items;
  for (std::int32_t n : numbers) items.push_back(n < 0 ? Value() : Int(n));
  return List(std::move(items));
}

class ValidaNumPedidoPublTest : public ::testing::Test {
 protected:
  TempDir dir_;
  std::string db_ = ProcedureDb(dir_, kPublished, "SP_ZEB_CONS_pedido_PUBL", kBody);
};

TEST_F(ValidaNumPedidoPublTest, RefusesAnEmptyOrderUnqueriedSpeaksEnglishForACapitalIAndLists) {
  const auto refused = [](const std::string& message) { return Inputs{{kMsg, message}}; };
  // Fewer rows than announced: the last elements stay Empty; a row without
  // a delivery still has its issue date formatted.
  const Inputs blank{{kOrder, ""}, {kMsg, "Informe algum documento."}};
  // clang-format off
  ExpectCalls(kPedido, {
      {"blank order", Order(" \t\r\n ", "I"), kRefusedStatus, blank, 0},
      {"no order", Order(Value()), kRefusedStatus, blank, 0},
      {"no row, English", Order("NOROW", "I"), kRefusedStatus, refused(kNoRowEnglish)},
      {"no row, small i", Order("NOROW", "i"), kRefusedStatus, refused(kNoRowPortuguese)},
      {"nothing found, English", Order("Z", "I"), kRefusedStatus, refused(kCantFind)},
      {"nothing found, I and a blank", Order("Z", "I "), kRefusedStatus, refused(kNoOrder)},
      {"nothing found, Null", Order("Z", Value::Null()), kRefusedStatus, refused(kNoOrder)},
      {"three documents", Order(" P3\n", "I"), Value::Int16(0),
       With(Published({Int(3), Ints({10, 11, 12}), Ints({5001, 5002, 5003}),
                      List({"05/03/2002", "06/03/2002", "08/03/2002"}),
                      List({"07/03/2002", "", "09/03/2002"})}), {{kOrder, "P3"}})},
      {"fewer than announced", Order("F3"), Value::Int16(0),
       Published({Int(3), Ints({30, 31, -1}), Ints({7001, 7002, -1}),
                 List({"", "07/05/2004", Value()}), List({"06/05/2004", "", Value()})})},
  }, db_);
  // clang-format on
}

TEST_F(ValidaNumPedidoPublTest, SendsSevenArgumentsWithTheLiteralNullSecond) {
  CommandLog log;
  OperationCall(kPedido,
                With(Order("P3"), {{"invntempresa_Id", Int(5)},
                                   {"inCGC_Destinatario", ""},
                                   {"inCPF_Destinatario", Value::Null()}}),
                db_);
  OperationCall(kPedido,
                With(Order("P'3"), {{"invntempresa_Id", "12"},
                                    {"inData_Emissao_Ini", "05/03/2002"},
                                    {"inData_Emissao_Fim", "31/03/2002 23:59:59"},
                                    {"inCGC_Destinatario", "12.345.678/0001-90"},
                                    {"inCPF_Destinatario", " "}}),
                db_);
  EXPECT_EQ(log.commands(),
            (std::vector<std::string>{
                "EXEC SP_ZEB_CONS_pedido_PUBL '5', null, 'P3', NULL, NULL, NULL, NULL ",
                "EXEC SP_ZEB_CONS_pedido_PUBL '12', null, 'P''3', '2002-03-05', "
                "'2002-03-31 23:59:59', '12.345.678/0001-90', NULL "}));
}

TEST_F(ValidaNumPedidoPublTest, TrapsWithTheLabelOfTheFailedStep) {
  const std::string prefix = kClientes + "gValida_Num_Pedido_Publ ( ";
  const Error refusal = FailureOf([] { DbConnection().Open(kRefused); });
  const Inputs diagnostic{{kUser, Int(1)}};
  // A first date that reads as no date fails as its argument is rendered;
  // a row beyond the announced count, after what was stored.
  const Inputs beyond = Published({Int(2), Ints({20, 21}), Ints({6001, 6002}),
                                   List({"02/01/2003", "04/01/2003"}), List({"03/01/2003", ""})});
  // clang-format off
  ExpectCalls(kPedido, {
      {"refused", With(Order("P3", "I"), {{kConecta, kRefused}, {kUser, "1"}}), kTrapped,
       {{kMsg, Detail(prefix, refusal, 4550)}}, 0},
      {"no provider, another user", With(Order("P3"), {{kConecta, kNoProvider}}), kTrapped,
       {{kMsg, kClientes}}, 0},
      {"null order", With(Order(Value::Null()), diagnostic), kTrapped,
       {{kMsg, Detail(prefix, Error::InvalidUseOfNull(), 4400)}}, 0},
      {"no date", With(Order("P3"), {{kUser, Int(1)}, {"inData_Emissao_Ini", "ontem"}}), kTrapped,
       {{kMsg, Detail(prefix, Error::TypeMismatch(), 4490)}}, 0},
      {"beyond the count", With(Order("X2"), diagnostic), kTrapped,
       With(beyond, {{kMsg, Detail(prefix, Error::SubscriptOutOfRange(), 1100)}})},
      {"beyond the count, another user", Order("X2"), kTrapped, With(beyond, {{kMsg, kClientes}})},
  }, db_);
  // clang-format on
}

class LookupsOnEngines : public EngineTest {};

// The order with several documents of the reference data set: both lookups
// list all of it for its company only; the published one narrows it by the
// consignee and by the issue date.
TEST_P(LookupsOnEngines, FindTheReferenceOrderOfItsCompanyAndNarrowIt) {
  const schema::GeneratorSummary& s = reference().summary;
  const auto n = static_cast<int>(s.multi_document_order_documents);
  ASSERT_GE(n, 2);
  const auto call = [&](const char* op, const Inputs& more) {
    const Inputs order{
        {kOrder, " " + s.multi_document_order + "\t"},
        {"idioma", "I"},
        {"invntempresa_Id", Int(static_cast<int>(s.multi_document_order_company_id))}};
    return OperationCall(op, With(order, more), reference().connection_string);
  };
  const OperationCall found = call(kDocumento, {});
  EXPECT_EQ(std::tuple(found.result, found[kOrder], found["outvntQtde_Docto"]),
            std::tuple(Value::Int16(0), Value(s.multi_document_order), Int(n)));
  std::set<std::string> ids;
  const Value listed = found["outarrvntDocto_Transporte_Id"],
              issued = found["outarrvntData_Emissao"];
  for (const Value& id : listed.array()) ids.insert(id.string());
  EXPECT_EQ(ids.size(), static_cast<std::size_t>(n));
  for (const Value& day : issued.array()) {
    EXPECT_TRUE(std::regex_match(day.string(), std::regex(R"(\d\d/\d\d/\d{4})"))) << day.string();
  }
  EXPECT_EQ(call(kDocumento, {{"invntempresa_Id", Int(987654)}})[kMsg],
            Value("Documento não cadastrado."));

  const OperationCall all = call(kPedido, {});
  EXPECT_EQ(std::tuple(all.result, all["outvntTam_arr"]), std::tuple(Value::Int16(0), Int(n)));
  const OperationCall by_cgc = call(kPedido, {{"inCGC_Destinatario", s.consignee_cgc}});
  const std::size_t kept = by_cgc["outvntarr_Docto_transporte_id"].array().size();
  EXPECT_TRUE(kept > 0 && kept < static_cast<std::size_t>(n)) << kept;
  EXPECT_EQ(call(kPedido, {{"inData_Emissao_Ini", "01/01/2090"}})[kMsg], Value(kCantFind));
  EXPECT_EQ(call(kPedido, {{"invntempresa_Id", Int(987654)}})[kMsg], Value(kNoRowEnglish));
}

ZEBEVI_INSTANTIATE_ON_ENGINES(LookupsOnEngines);

}  // namespace
}  // namespace zebevi::testing
