// The two lookups end to end, gValida_Num_Documento and
// gValida_Num_Pedido_Publ: fixture databases holding one procedure for the
// edges, the reference data set of every engine for the ordinary path.
#include <gtest/gtest.h>

#include <array>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "frame/trap.h"
#include "support/command_log.h"
#include "support/engines.h"
#include "support/test_support.h"
#include "zebevi/evi.h"

namespace zebevi::testing {
namespace {

const std::string kClientes(frame::kClientesText);
const Value kUntouched("untouched");
const Value kEarlier("earlier");

Value List(ValueArray items) { return Value::Array(std::move(items)); }

// Writes `sql` (tables and rows) into `path`, with a procedure table that
// holds `procedure` whose body (no quotes in it) is `body`, parameters ?1..?N.
void WriteProcedureDb(const std::filesystem::path& path, std::string_view sql,
                      std::string_view procedure, std::string_view body) {
  RunSqlScript(path, std::string(sql) +
                         "\nCREATE TABLE zeb_procedure (name TEXT PRIMARY KEY COLLATE NOCASE, "
                         "body TEXT NOT NULL);\nINSERT INTO zeb_procedure VALUES ('" +
                         std::string(procedure) + "', '" + std::string(body) + "');");
}

const std::string kRefused = "sqlite:/nonexistent/x.db";
const std::string kNoProvider = "Provider=Nothing;Data Source=x";

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

// One call, every parameter a member, in interface order.
struct Documento {
  Value conecta_db;
  Value usuario = Value::Int32(5);
  Value cliente, grupo_cliente, colaborador, fornecedor, tipo_colaborador;
  Value banco_dados = "banco", nome_produto = "produto";
  Value empresa;
  Value pedido, nota_fiscal, docto;
  Value qtde = kUntouched;
  std::array<Value, 6> lists{kUntouched, kUntouched, kUntouched,
                             kUntouched, kUntouched, kUntouched};
  Value message = kEarlier;

  Value Run() {
    return CreateEVI()->gValida_Num_Documento(
        conecta_db, usuario, cliente, grupo_cliente, colaborador, fornecedor, tipo_colaborador,
        banco_dados, nome_produto, empresa, pedido, nota_fiscal, docto, qtde, lists[0], lists[1],
        lists[2], lists[3], lists[4], lists[5], message);
  }
  // The count and the six lists.
  std::vector<Value> answer() const {
    std::vector<Value> all{qtde};
    all.insert(all.end(), lists.begin(), lists.end());
    return all;
  }
};
const std::vector<Value> kNoAnswer(7, kUntouched);

class ValidaNumDocumentoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteProcedureDb(path_, kDocuments, "SP_ZEB_CON_Docto_Transporte_ID6",
                     kColumns + ", nome" + std::string(kMatch));
  }
  Documento Call(Value pedido, Value nota_fiscal, Value docto) {
    Documento d;
    d.conecta_db = SqliteConnection(path_);
    d.pedido = std::move(pedido);
    d.nota_fiscal = std::move(nota_fiscal);
    d.docto = std::move(docto);
    return d;
  }

  TempDir dir_;
  std::filesystem::path path_ = dir_ / "documents.db";
};

TEST_F(ValidaNumDocumentoTest, RefusesTypedNumbersNumericTestFirstThenNothingThenAll) {
  const std::string numeric = "O número do conhecimento deve ser númerico.";
  const std::string nothing = "Informe algum documento.";
  const std::string all = "Informe somente um documento.";
  struct Case {
    Value pedido, nota_fiscal, docto;
    std::string message;
  };
  const std::vector<Case> cases{
      {"P-1", "", "12A", numeric},  {"P-1", "NF-1", "12A", numeric},
      {"", "", "", nothing},        {Value(), Value(), Value(), nothing},
      {"", "", "0", nothing},       {" ", "\t", " 0 \n", nothing},
      {"P-1", "NF-1", "5001", all}, {"P-1", "NF-1", Value::Int32(5001), all},
  };
  for (const Case& c : cases) {
    CommandLog log;
    Documento d = Call(c.pedido, c.nota_fiscal, c.docto);
    EXPECT_EQ(d.Run(), Value::Int16(10)) << c.message;
    EXPECT_EQ(d.message, Value(c.message));
    EXPECT_EQ(d.answer(), kNoAnswer);
    EXPECT_TRUE(log.commands().empty()) << "no query for a refused input";
  }
}

TEST_F(ValidaNumDocumentoTest, ListsEveryMatchingDocumentInParallelAndHandsBackTheCleanedNumbers) {
  Documento d = Call("P-2", "", "");
  d.lists.fill(List({"old", "old", "old", "old"}));
  EXPECT_EQ(d.Run(), Value::Int16(0));
  // A missing arrival stays the empty text.
  EXPECT_EQ(d.answer(),
            (std::vector<Value>{
                Value::Int32(2), List({"11", "12"}), List({"5002", "5003"}),
                List({"06/03/2002", "08/03/2002"}), List({"", "09/03/2002 08:00:00"}),
                List({"Ponto Santos", "Ponto Santos"}), List({"Cliente B", "Cliente C"})}));
  EXPECT_EQ(d.message, kEarlier);

  Documento one = Call("", "", "5001");
  EXPECT_EQ(one.Run(), Value::Int16(0));
  EXPECT_EQ(one.answer(), (std::vector<Value>{Value::Int32(1), List({"10"}), List({"5001"}),
                                              List({"05/03/2002"}), List({"07/03/2002 14:07:09"}),
                                              List({"Ponto Campinas"}), List({"Cliente A"})}));

  Documento none = Call("P-9", "", "");
  EXPECT_EQ(none.Run(), Value::Int16(10));
  EXPECT_EQ(none.message, Value("Documento não cadastrado."));
  EXPECT_EQ(none.answer(), kNoAnswer);

  // Even when refused.
  Documento cleaned = Call("\tP-2 \r\n", Value(), Value::Int32(0));
  EXPECT_EQ(cleaned.Run(), Value::Int16(0));
  EXPECT_EQ(std::tie(cleaned.pedido, cleaned.nota_fiscal, cleaned.docto),
            std::tuple(Value("P-2"), Value(""), Value("0")));
  Documento refused = Call(" 1\t2A ", "", "");
  EXPECT_EQ(refused.Run(), Value::Int16(10));
  EXPECT_EQ(refused.pedido, Value("12A"));
}

TEST_F(ValidaNumDocumentoTest, SendsAllNineArgumentsInTheirOrder) {
  CommandLog log;
  Documento invoice = Call("", "NF-9", "");
  invoice.empresa = Value::Int32(3);
  invoice.grupo_cliente = Value::Null();
  invoice.fornecedor = Value::Int32(7);
  invoice.colaborador = Value::Int32(8);
  invoice.tipo_colaborador = "9";
  invoice.Run();
  Documento order = Call("P'1", "", " 5001");
  order.cliente = Value::Int32(4);
  order.Run();
  EXPECT_EQ(log.commands(),
            (std::vector<std::string>{
                "EXEC SP_ZEB_CON_Docto_Transporte_ID6 NULL, 'NF-9', NULL, 3, NULL, NULL, 7, 8, 9 ",
                "EXEC SP_ZEB_CON_Docto_Transporte_ID6 'P''1', NULL, 5001, NULL, 4, NULL, NULL, "
                "NULL, NULL "}));
}

// Each trap with its label: the diagnostic user, as a number or a text
// reading as one, gets the detail; anyone else the fixed text.
TEST_F(ValidaNumDocumentoTest, TrapsWithTheLabelOfTheFailedStep) {
  const Error refusal = FailureOf([] { DbConnection().Open(kRefused); });
  const auto broken = dir_ / "broken.db";  // its procedure misses a column
  WriteProcedureDb(broken, kDocuments, "SP_ZEB_CON_Docto_Transporte_ID6",
                   kColumns + std::string(kMatch));
  struct Case {
    std::string db;
    Value pedido, nota_fiscal, docto, user;
    std::string message;
  };
  const std::string prefix = kClientes + "GValida_Num_Documento ( ";
  const Error null = Error::InvalidUseOfNull();
  const Case cases[] = {
      {kRefused, "P-1", "", "", Value::Int32(1), Detail(prefix, refusal, 4030)},
      {kRefused, "P-1", "", "", Value("1"), Detail(prefix, refusal, 4030)},
      {kRefused, "P-1", "", "", Value::Double(1), Detail(prefix, refusal, 4030)},
      {kNoProvider, "P-1", "", "", Value::Int32(2), kClientes},
      {kNoProvider, "P-1", "", "", Value(), kClientes},
      {kNoProvider, "P-1", "", "", Value::Null(), kClientes},
      {"", Value::Null(), "", "", Value::Int32(1), Detail(prefix, null, 3770)},
      {"", " P-1\t", Value::Null(), "", Value::Int32(1), Detail(prefix, null, 3780)},
      {"", "", "", Value::Null(), Value::Int32(1), Detail(prefix, null, 3790)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.db + " " + ::testing::PrintToString(c.user) + " " + c.message);
    Documento d = Call(c.pedido, c.nota_fiscal, c.docto);
    if (!c.db.empty()) d.conecta_db = c.db;
    d.usuario = c.user;
    EXPECT_EQ(d.Run(), Value::Int16(50));
    EXPECT_EQ(d.message, Value(c.message));
    EXPECT_EQ(d.answer(), kNoAnswer);
  }
  Documento late = Call(" P-1\t", Value::Null(), "");
  late.usuario = Value::Int32(1);
  late.Run();
  EXPECT_EQ(late.pedido, Value("P-1")) << "the first number stays cleaned";

  // What was stored before a missing column stays.
  Documento d = Call("P-2", "", "");
  d.conecta_db = SqliteConnection(broken);
  d.usuario = Value::Int32(1);
  EXPECT_EQ(d.Run(), Value::Int16(50));
  const std::string text = d.message.string();
  EXPECT_EQ(text.rfind(prefix, 0), 0u) << text;
  EXPECT_TRUE(text.ends_with(" : " + std::to_string(kDbItemNotFound) + ")   No Nº 4250")) << text;
  EXPECT_EQ(d.answer(),
            (std::vector<Value>{Value::Int32(2), List({"11", Value()}), List({"5002", Value()}),
                                List({"06/03/2002", Value()}), List({"", Value()}),
                                List({"Ponto Santos", Value()}), List({Value(), Value()})}));

  // A database without the procedure fails when the result set opens.
  const auto empty = dir_ / "empty.db";
  WriteProcedureDb(empty, "", "SP_Outro", "SELECT 1");
  Documento missing = Call("P-2", "", "");
  missing.conecta_db = SqliteConnection(empty);
  missing.usuario = Value::Int32(1);
  EXPECT_EQ(missing.Run(), Value::Int16(50));
  EXPECT_TRUE(missing.message.string().ends_with(")   No Nº 4030")) << missing.message.string();
}

class ValidaNumDocumentoOnEngines : public EngineTest {};

TEST_P(ValidaNumDocumentoOnEngines, ListsTheDocumentsOfAnOrder) {
  const schema::GeneratorSummary& summary = reference().summary;
  const auto company = static_cast<std::int32_t>(summary.multi_document_order_company_id);
  Documento d;
  d.conecta_db = reference().connection_string;
  d.empresa = Value::Int32(company);
  d.pedido = " " + summary.multi_document_order + "\t";
  d.nota_fiscal = d.docto = "";
  EXPECT_EQ(d.Run(), Value::Int16(0)) << d.message.string();
  EXPECT_EQ(d.pedido, Value(summary.multi_document_order));
  const auto n = summary.multi_document_order_documents;
  ASSERT_GE(n, 2);
  EXPECT_EQ(d.qtde, Value::Int32(static_cast<int>(n)));
  std::set<std::string> ids;
  for (const Value& id : d.lists[0].array()) ids.insert(id.string());
  EXPECT_EQ(ids.size(), static_cast<std::size_t>(n));
  for (const Value& issued : d.lists[2].array()) {
    EXPECT_TRUE(std::regex_match(issued.string(), std::regex(R"(\d\d/\d\d/\d{4})")))
        << issued.string();
  }
  for (const Value& customer : d.lists[5].array()) EXPECT_NE(customer, Value(""));

  // Another company sees none of them.
  d.empresa = Value::Int32(company + 1000);
  EXPECT_EQ(d.Run(), Value::Int16(10));
  EXPECT_EQ(d.message, Value("Documento não cadastrado."));
}

ZEBEVI_INSTANTIATE_ON_ENGINES(ValidaNumDocumentoOnEngines);

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

// One call, every parameter a member, in interface order.
struct Pedido {
  Value conecta_db;
  Value usuario = Value::Int32(5);
  Value banco_dados = "banco", nome_produto = "produto";
  Value empresa = Value::Int32(1);
  Value idioma;
  Value pedido;
  Value retorno = kUntouched, tam_arr = kUntouched;
  std::array<Value, 4> lists{kUntouched, kUntouched, kUntouched, kUntouched};
  Value emissao_ini, emissao_fim, cgc, cpf;
  Value message = kEarlier;

  Value Run() {
    return CreateEVI()->gValida_Num_Pedido_Publ(
        conecta_db, usuario, banco_dados, nome_produto, empresa, idioma, pedido, retorno, tam_arr,
        lists[0], lists[1], lists[2], lists[3], emissao_ini, emissao_fim, cgc, cpf, message);
  }
  // The return code, the count and the four lists.
  std::vector<Value> answer() const {
    return {retorno, tam_arr, lists[0], lists[1], lists[2], lists[3]};
  }
};
const std::vector<Value> kNoOrderAnswer(6, kUntouched);

class ValidaNumPedidoPublTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteProcedureDb(path_, kPublished, "SP_ZEB_CONS_pedido_PUBL", kBody); }
  Pedido Call(Value pedido, Value idioma = Value()) {
    Pedido p;
    p.conecta_db = SqliteConnection(path_);
    p.pedido = std::move(pedido);
    p.idioma = std::move(idioma);
    return p;
  }

  TempDir dir_;
  std::filesystem::path path_ = dir_ / "published.db";
};

TEST_F(ValidaNumPedidoPublTest, RefusesAnEmptyOrderUnqueriedThenSpeaksEnglishOnlyForACapitalI) {
  for (const Value& idioma : {Value("I"), Value("")}) {
    for (const Value& order : {Value(""), Value(), Value(" \t\r\n ")}) {
      CommandLog log;
      Pedido p = Call(order, idioma);
      EXPECT_EQ(p.Run(), Value::Int16(10));
      EXPECT_EQ(std::tie(p.message, p.pedido),
                std::tuple(Value("Informe algum documento."), Value("")));
      EXPECT_EQ(p.answer(), kNoOrderAnswer);
      EXPECT_TRUE(log.commands().empty());
    }
  }
  const std::tuple<Value, Value, std::string> cases[] = {{"NOROW", "I", kNoRowEnglish},
                                                         {"NOROW", "i", kNoRowPortuguese},
                                                         {"NOROW", "", kNoRowPortuguese},
                                                         {"NOROW", Value(), kNoRowPortuguese},
                                                         {"Z", "I", kCantFind},
                                                         {"Z", "i", kNoOrder},
                                                         {"Z", "", kNoOrder},
                                                         {"Z", Value::Null(), kNoOrder},
                                                         {"Z", "I ", kNoOrder},
                                                         {"Z", "E", kNoOrder}};
  for (const auto& [pedido, idioma, message] : cases) {
    Pedido p = Call(pedido, idioma);
    EXPECT_EQ(p.Run(), Value::Int16(10)) << message;
    EXPECT_EQ(p.message, Value(message));
    EXPECT_EQ(p.answer(), kNoOrderAnswer) << message;
  }
}

TEST_F(ValidaNumPedidoPublTest, FillsTheListsFromEveryRow) {
  Pedido p = Call(" P3\n", "I");
  p.lists.fill(List({"old", "old", "old", "old"}));
  EXPECT_EQ(p.Run(), Value::Int16(0));
  EXPECT_EQ(p.pedido, Value("P3"));
  const auto ints = [](int a, int b, int c) {
    return List({Value::Int32(a), Value::Int32(b), Value::Int32(c)});
  };
  // The row without a delivery still has its issue date formatted.
  EXPECT_EQ(p.answer(), (std::vector<Value>{Value::Int32(1), Value::Int32(3), ints(10, 11, 12),
                                            ints(5001, 5002, 5003),
                                            List({"05/03/2002", "06/03/2002", "08/03/2002"}),
                                            List({"07/03/2002", "", "09/03/2002"})}));
  EXPECT_EQ(p.message, kEarlier);

  // Fewer rows than announced: the last elements stay Empty.
  Pedido few = Call("F3");
  EXPECT_EQ(few.Run(), Value::Int16(0));
  EXPECT_EQ(
      few.answer(),
      (std::vector<Value>{Value::Int32(1), Value::Int32(3),
                          List({Value::Int32(30), Value::Int32(31), Value()}),
                          List({Value::Int32(7001), Value::Int32(7002), Value()}),
                          List({"", "07/05/2004", Value()}), List({"06/05/2004", "", Value()})}));
}

TEST_F(ValidaNumPedidoPublTest, SendsSevenArgumentsWithTheLiteralNullSecond) {
  CommandLog log;
  Pedido only = Call("P3");
  only.empresa = Value::Int32(5);
  only.cgc = "";
  only.cpf = Value::Null();
  only.Run();
  Pedido filtered = Call("P'3");
  filtered.empresa = "12";
  filtered.emissao_ini = "05/03/2002";
  filtered.emissao_fim = "31/03/2002 23:59:59";
  filtered.cgc = "12.345.678/0001-90";
  filtered.cpf = " ";
  filtered.Run();
  EXPECT_EQ(log.commands(),
            (std::vector<std::string>{
                "EXEC SP_ZEB_CONS_pedido_PUBL '5', null, 'P3', NULL, NULL, NULL, NULL ",
                "EXEC SP_ZEB_CONS_pedido_PUBL '12', null, 'P''3', '2002-03-05', "
                "'2002-03-31 23:59:59', '12.345.678/0001-90', NULL "}));
}

TEST_F(ValidaNumPedidoPublTest, TrapsWithTheLabelOfTheFailedStep) {
  const std::string prefix = kClientes + "gValida_Num_Pedido_Publ ( ";
  const Error refusal = FailureOf([] { DbConnection().Open(kRefused); });
  Pedido diagnostic = Call("P3", "I");
  diagnostic.conecta_db = kRefused;
  diagnostic.usuario = "1";
  EXPECT_EQ(diagnostic.Run(), Value::Int16(50));
  EXPECT_EQ(diagnostic.message, Value(Detail(prefix, refusal, 4550)));
  EXPECT_EQ(diagnostic.answer(), kNoOrderAnswer);

  for (const Value& user : {Value::Int32(2), Value(), Value::Null()}) {
    Pedido plain = Call("P3");
    plain.conecta_db = kNoProvider;
    plain.usuario = user;
    EXPECT_EQ(plain.Run(), Value::Int16(50));
    EXPECT_EQ(plain.message, Value(kClientes));
  }

  // A null order; a first date that reads as no date fails as its argument
  // is rendered; a row beyond the announced count, after what was stored.
  Pedido null_order = Call(Value::Null());
  Pedido bad_date = Call("P3");
  bad_date.emissao_ini = "ontem";
  Pedido beyond = Call("X2");
  const std::pair<Pedido*, std::string> cases[] = {
      {&null_order, Detail(prefix, Error::InvalidUseOfNull(), 4400)},
      {&bad_date, Detail(prefix, Error::TypeMismatch(), 4490)},
      {&beyond, Detail(prefix, Error::SubscriptOutOfRange(), 1100)}};
  for (const auto& [p, message] : cases) {
    p->usuario = Value::Int32(1);
    EXPECT_EQ(p->Run(), Value::Int16(50));
    EXPECT_EQ(p->message, Value(message));
  }
  EXPECT_EQ(beyond.answer(),
            (std::vector<Value>{Value::Int32(1), Value::Int32(2),
                                List({Value::Int32(20), Value::Int32(21)}),
                                List({Value::Int32(6001), Value::Int32(6002)}),
                                List({"02/01/2003", "04/01/2003"}), List({"03/01/2003", ""})}));
  Pedido plain = Call("X2");
  EXPECT_EQ(plain.Run(), Value::Int16(50));
  EXPECT_EQ(plain.message, Value(kClientes));
}

class ValidaNumPedidoPublOnEngines : public EngineTest {
 protected:
  const schema::GeneratorSummary& summary() const { return reference().summary; }
  // The order with several documents, asked by its company.
  Pedido Call() const {
    Pedido p;
    p.conecta_db = reference().connection_string;
    p.empresa = Value::Int32(static_cast<int>(summary().multi_document_order_company_id));
    p.pedido = summary().multi_document_order;
    return p;
  }
};

TEST_P(ValidaNumPedidoPublOnEngines, ListsAnOrderAndNarrowsItByFilters) {
  const auto n = summary().multi_document_order_documents;
  Pedido all = Call();
  EXPECT_EQ(all.Run(), Value::Int16(0)) << all.message.string();
  EXPECT_EQ(ToInt32(all.tam_arr), n);
  EXPECT_EQ(all.lists[0].array().size(), static_cast<std::size_t>(n));
  for (const Value& issued : all.lists[2].array()) EXPECT_EQ(issued.string().size(), 10u);

  // The consignee's CGC keeps some but not all of them.
  Pedido by_cgc = Call();
  by_cgc.cgc = summary().consignee_cgc;
  EXPECT_EQ(by_cgc.Run(), Value::Int16(0)) << by_cgc.message.string();
  const std::size_t kept = by_cgc.lists[0].array().size();
  EXPECT_TRUE(kept > 0 && kept < static_cast<std::size_t>(n)) << kept;

  // Issue dates in the far future leave nothing; an unknown company gets no row at all.
  Pedido later = Call();
  later.emissao_ini = "01/01/2090";
  Pedido unknown = Call();
  unknown.empresa = Value::Int32(987654);
  for (auto [p, message] : {std::pair(&later, kCantFind), std::pair(&unknown, kNoRowEnglish)}) {
    p->idioma = "I";
    EXPECT_EQ(p->Run(), Value::Int16(10));
    EXPECT_EQ(p->message, Value(message));
    EXPECT_EQ(p->answer(), kNoOrderAnswer);
  }
}

ZEBEVI_INSTANTIATE_ON_ENGINES(ValidaNumPedidoPublOnEngines);

}  // namespace
}  // namespace zebevi::testing
