// gValida_Num_Documento end to end: fixture databases for the edges, the
// reference data set of every engine for the ordinary path.
#include <gtest/gtest.h>

#include <array>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "lookup/lookup_support.h"
#include "support/engines.h"
#include "support/test_support.h"
#include "zebevi/evi.h"

namespace zebevi::testing {
namespace {

constexpr std::string_view kProcedure = "SP_ZEB_CON_Docto_Transporte_ID6";

constexpr std::string_view kDocuments = R"sql(
CREATE TABLE docto (Docto_Transporte_id INTEGER PRIMARY KEY, num_docto_transporte INTEGER,
  pedido TEXT, nota TEXT, data_emissao DATE, Data_Chegada_Cliente_Efetiva DATETIME,
  nome_fantasia TEXT, nome TEXT);
INSERT INTO docto VALUES
  (10, 5001, 'P-1', 'NF-1', '2002-03-05', '2002-03-07 14:07:09', 'Ponto Campinas', 'Cliente A'),
  (11, 5002, 'P-2', 'NF-2', '2002-03-06', NULL, 'Ponto Santos', 'Cliente B'),
  (12, 5003, 'P-2', 'NF-3', '2002-03-08', '2002-03-09 08:00:00', 'Ponto Santos', 'Cliente C');
)sql";

constexpr std::string_view kMatch =
    " FROM docto WHERE (?1 IS NULL OR pedido = ?1) AND (?2 IS NULL OR nota = ?2)"
    " AND (coalesce(?3, 0) = 0 OR num_docto_transporte = ?3)"
    // A procedure takes as many arguments as its body names.
    " AND coalesce(?4, ?5, ?6, ?7, ?8, ?9, 0) IS NOT NULL ORDER BY 1";

const std::string kColumns =
    "SELECT Docto_Transporte_id, num_docto_transporte, data_emissao, "
    "Data_Chegada_Cliente_Efetiva, nome_fantasia";

const Value kUntouched("untouched");

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
  Value message = "earlier";

  Value Run() {
    return CreateEVI()->gValida_Num_Documento(
        conecta_db, usuario, cliente, grupo_cliente, colaborador, fornecedor, tipo_colaborador,
        banco_dados, nome_produto, empresa, pedido, nota_fiscal, docto, qtde, lists[0], lists[1],
        lists[2], lists[3], lists[4], lists[5], message);
  }
  bool ListsUntouched() const {
    for (const Value& list : lists) {
      if (!(list == kUntouched)) return false;
    }
    return qtde == kUntouched;
  }
};

class ValidaNumDocumentoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteProcedureDb(path_, kDocuments, kProcedure, kColumns + ", nome" + std::string(kMatch));
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
    EXPECT_TRUE(d.ListsUntouched());
    EXPECT_TRUE(log.commands().empty()) << "no query for a refused input";
  }
}

TEST_F(ValidaNumDocumentoTest, ListsEveryMatchingDocumentInParallel) {
  Documento d = Call("P-2", "", "");
  d.lists.fill(Value::Array({Value("old"), Value("old"), Value("old"), Value("old")}));
  EXPECT_EQ(d.Run(), Value::Int16(0));
  EXPECT_EQ(d.qtde, Value::Int32(2));
  EXPECT_EQ(Items(d.lists[0]), (ValueArray{"11", "12"}));
  EXPECT_EQ(Items(d.lists[1]), (ValueArray{"5002", "5003"}));
  EXPECT_EQ(Items(d.lists[2]), (ValueArray{"06/03/2002", "08/03/2002"}));
  // A missing arrival stays the empty text.
  EXPECT_EQ(Items(d.lists[3]), (ValueArray{"", "09/03/2002 08:00:00"}));
  EXPECT_EQ(Items(d.lists[4]), (ValueArray{"Ponto Santos", "Ponto Santos"}));
  EXPECT_EQ(Items(d.lists[5]), (ValueArray{"Cliente B", "Cliente C"}));
  EXPECT_EQ(d.message, Value("earlier"));

  Documento one = Call("", "", "5001");
  EXPECT_EQ(one.Run(), Value::Int16(0));
  EXPECT_EQ(one.qtde, Value::Int32(1));
  EXPECT_EQ(Items(one.lists[0]), (ValueArray{"10"}));
  EXPECT_EQ(Items(one.lists[2]), (ValueArray{"05/03/2002"}));
  EXPECT_EQ(Items(one.lists[3]), (ValueArray{"07/03/2002 14:07:09"}));

  // Two numbers given: the query runs with both.
  Documento both = Call("P-2", "", "5003");
  EXPECT_EQ(both.Run(), Value::Int16(0));
  EXPECT_EQ(Items(both.lists[5]), (ValueArray{"Cliente C"}));

  Documento none = Call("P-9", "", "");
  EXPECT_EQ(none.Run(), Value::Int16(10));
  EXPECT_EQ(none.message, Value("Documento não cadastrado."));
  EXPECT_TRUE(none.ListsUntouched());
}

TEST_F(ValidaNumDocumentoTest, HandsBackTheCleanedNumbersEvenWhenRefused) {
  Documento d = Call("\tP-2 \r\n", Value(), Value::Int32(0));
  EXPECT_EQ(d.Run(), Value::Int16(0));
  EXPECT_EQ(d.pedido, Value("P-2"));
  EXPECT_EQ(d.nota_fiscal, Value(""));
  EXPECT_EQ(d.docto, Value("0"));
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

TEST_F(ValidaNumDocumentoTest, ARefusedConnectionTrapsWithItsLabel) {
  const std::string refused = "sqlite:/nonexistent/x.db";
  const Error e = RefusalOf(refused);
  for (const Value& user : {Value::Int32(1), Value("1"), Value::Double(1)}) {
    Documento d = Call("P-1", "", "");
    d.conecta_db = refused;
    d.usuario = user;
    EXPECT_EQ(d.Run(), Value::Int16(50));
    EXPECT_EQ(d.message, Value(kClientes + Detail("GValida_Num_Documento ( ", e, 4030)));
    EXPECT_TRUE(d.ListsUntouched());
  }
  for (const Value& user : {Value::Int32(2), Value(), Value::Null()}) {
    Documento d = Call("P-1", "", "");
    d.conecta_db = "Provider=Nothing;Data Source=x";
    d.usuario = user;
    EXPECT_EQ(d.Run(), Value::Int16(50));
    EXPECT_EQ(d.message, Value(kClientes));
  }
}

TEST_F(ValidaNumDocumentoTest, ANullTypedNumberTrapsWhereItIsCleaned) {
  struct Case {
    Value pedido, nota_fiscal, docto;
    int label;
  };
  const Case cases[] = {{Value::Null(), "", "", 3770},
                        {" P-1\t", Value::Null(), "", 3780},
                        {"", "", Value::Null(), 3790}};
  for (const Case& c : cases) {
    Documento d = Call(c.pedido, c.nota_fiscal, c.docto);
    d.usuario = Value::Int32(1);
    EXPECT_EQ(d.Run(), Value::Int16(50));
    EXPECT_EQ(d.message, Value(kClientes + Detail("GValida_Num_Documento ( ",
                                                  Error::InvalidUseOfNull(), c.label)));
    if (c.label == 3780) {
      EXPECT_EQ(d.pedido, Value("P-1")) << "the first number stays cleaned";
    }
  }
}

TEST_F(ValidaNumDocumentoTest, AMissingColumnKeepsWhatWasAlreadyStored) {
  const auto broken = dir_ / "broken.db";
  WriteProcedureDb(broken, kDocuments, kProcedure, kColumns + std::string(kMatch));
  Documento d = Call("P-2", "", "");
  d.conecta_db = SqliteConnection(broken);
  d.usuario = Value::Int32(1);
  EXPECT_EQ(d.Run(), Value::Int16(50));
  const std::string text = d.message.string();
  EXPECT_EQ(text.rfind(kClientes + "GValida_Num_Documento ( ", 0), 0u) << text;
  EXPECT_TRUE(text.ends_with(" : " + std::to_string(kDbItemNotFound) + ")   No Nº 4250")) << text;
  EXPECT_EQ(d.qtde, Value::Int32(2));
  EXPECT_EQ(Items(d.lists[0]), (ValueArray{"11", Value()}));
  EXPECT_EQ(Items(d.lists[4]), (ValueArray{"Ponto Santos", Value()}));
  EXPECT_EQ(Items(d.lists[5]), (ValueArray{Value(), Value()}));

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
  d.nota_fiscal = "";
  d.docto = "";
  EXPECT_EQ(d.Run(), Value::Int16(0)) << d.message.string();
  EXPECT_EQ(d.pedido, Value(summary.multi_document_order));
  const auto n = summary.multi_document_order_documents;
  ASSERT_GE(n, 2);
  EXPECT_EQ(d.qtde, Value::Int32(static_cast<int>(n)));
  std::set<std::string> ids;
  const std::regex date(R"(\d\d/\d\d/\d{4})");
  for (const Value& id : Items(d.lists[0])) ids.insert(id.string());
  EXPECT_EQ(ids.size(), static_cast<std::size_t>(n));
  for (const Value& issued : Items(d.lists[2])) {
    EXPECT_TRUE(std::regex_match(issued.string(), date)) << issued.string();
  }
  for (const Value& customer : Items(d.lists[5])) EXPECT_NE(customer, Value(""));

  // Another company sees none of them.
  d.empresa = Value::Int32(company + 1000);
  d.message = "earlier";
  EXPECT_EQ(d.Run(), Value::Int16(10));
  EXPECT_EQ(d.message, Value("Documento não cadastrado."));
}

ZEBEVI_INSTANTIATE_ON_ENGINES(ValidaNumDocumentoOnEngines);

}  // namespace
}  // namespace zebevi::testing
