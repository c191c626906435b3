// gValida_Num_Pedido_Publ end to end: fixture databases for the edges, the
// reference data set of every engine for the filters and the real
// executable.
#include <gtest/gtest.h>

#include <array>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "lookup/lookup_support.h"
#include "support/engines.h"
#include "support/test_support.h"
#include "zebevi/evi.h"

namespace zebevi::testing {
namespace {

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

constexpr std::string_view kBody =
    "SELECT contador, retorno, Docto_Transporte_id, num_docto_transporte, data_emissao, "
    "data_entrega FROM pub WHERE pedido = ?3"
    // A procedure takes as many arguments as its body names.
    " AND coalesce(?1, ?2, ?4, ?5, ?6, ?7, 0) IS NOT NULL ORDER BY seq";

const Value kUntouched("untouched");

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
  Value message = "earlier";

  Value Run() {
    return CreateEVI()->gValida_Num_Pedido_Publ(
        conecta_db, usuario, banco_dados, nome_produto, empresa, idioma, pedido, retorno, tam_arr,
        lists[0], lists[1], lists[2], lists[3], emissao_ini, emissao_fim, cgc, cpf, message);
  }
  bool Untouched() const {
    for (const Value& list : lists) {
      if (!(list == kUntouched)) return false;
    }
    return tam_arr == kUntouched && retorno == kUntouched;
  }
};

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

TEST_F(ValidaNumPedidoPublTest, AnEmptyOrderIsRefusedInPortugueseWithoutAQuery) {
  for (const Value& idioma : {Value("I"), Value("")}) {
    for (const Value& order : {Value(""), Value(), Value(" \t\r\n ")}) {
      CommandLog log;
      Pedido p = Call(order, idioma);
      EXPECT_EQ(p.Run(), Value::Int16(10));
      EXPECT_EQ(p.message, Value("Informe algum documento."));
      EXPECT_EQ(p.pedido, Value(""));
      EXPECT_TRUE(p.Untouched());
      EXPECT_TRUE(log.commands().empty());
    }
  }
}

TEST_F(ValidaNumPedidoPublTest, SpeaksEnglishOnlyForACapitalI) {
  struct Case {
    Value pedido, idioma;
    std::string message;
  };
  const std::vector<Case> cases{
      {"NOROW", "I", kNoRowEnglish},
      {"NOROW", "i", kNoRowPortuguese},
      {"NOROW", "", kNoRowPortuguese},
      {"NOROW", Value(), kNoRowPortuguese},
      {"Z", "I", kCantFind},
      {"Z", "i", kNoOrder},
      {"Z", "", kNoOrder},
      {"Z", Value::Null(), kNoOrder},
      {"Z", "I ", kNoOrder},
      {"Z", "E", kNoOrder},
  };
  for (const Case& c : cases) {
    Pedido p = Call(c.pedido, c.idioma);
    EXPECT_EQ(p.Run(), Value::Int16(10)) << c.message;
    EXPECT_EQ(p.message, Value(c.message));
    EXPECT_TRUE(p.Untouched()) << c.message;
  }
}

TEST_F(ValidaNumPedidoPublTest, FillsTheListsFromEveryRow) {
  Pedido p = Call(" P3\n", "I");
  p.lists.fill(Value::Array({Value("old"), Value("old"), Value("old"), Value("old")}));
  EXPECT_EQ(p.Run(), Value::Int16(0));
  EXPECT_EQ(p.pedido, Value("P3"));
  EXPECT_EQ(p.tam_arr, Value::Int32(3));
  EXPECT_EQ(p.retorno, Value::Int32(1));
  EXPECT_EQ(Items(p.lists[0]), (ValueArray{Value::Int32(10), Value::Int32(11), Value::Int32(12)}));
  EXPECT_EQ(Items(p.lists[1]),
            (ValueArray{Value::Int32(5001), Value::Int32(5002), Value::Int32(5003)}));
  EXPECT_EQ(Items(p.lists[2]), (ValueArray{"05/03/2002", "06/03/2002", "08/03/2002"}));
  // The row without a delivery still has its issue date formatted.
  EXPECT_EQ(Items(p.lists[3]), (ValueArray{"07/03/2002", "", "09/03/2002"}));
  EXPECT_EQ(p.message, Value("earlier"));

  // Fewer rows than announced: the last elements stay Empty.
  Pedido few = Call("F3");
  EXPECT_EQ(few.Run(), Value::Int16(0));
  EXPECT_EQ(few.tam_arr, Value::Int32(3));
  EXPECT_EQ(Items(few.lists[0]), (ValueArray{Value::Int32(30), Value::Int32(31), Value()}));
  EXPECT_EQ(Items(few.lists[2]), (ValueArray{"", "07/05/2004", Value()}));
  EXPECT_EQ(Items(few.lists[3]), (ValueArray{"06/05/2004", "", Value()}));
}

TEST_F(ValidaNumPedidoPublTest, ARowBeyondTheAnnouncedCountTraps) {
  Pedido p = Call("X2");
  p.usuario = Value::Int32(1);
  EXPECT_EQ(p.Run(), Value::Int16(50));
  EXPECT_EQ(p.message, Value(kClientes + Detail("gValida_Num_Pedido_Publ ( ",
                                                Error::SubscriptOutOfRange(), 1100)));
  // What was stored before the failure stays.
  EXPECT_EQ(p.tam_arr, Value::Int32(2));
  EXPECT_EQ(Items(p.lists[0]), (ValueArray{Value::Int32(20), Value::Int32(21)}));
  EXPECT_EQ(Items(p.lists[3]), (ValueArray{"03/01/2003", ""}));

  Pedido plain = Call("X2");
  EXPECT_EQ(plain.Run(), Value::Int16(50));
  EXPECT_EQ(plain.message, Value(kClientes));
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
  const std::string refused = "sqlite:/nonexistent/x.db";
  const Error e = RefusalOf(refused);
  Pedido diagnostic = Call("P3", "I");
  diagnostic.conecta_db = refused;
  diagnostic.usuario = "1";
  EXPECT_EQ(diagnostic.Run(), Value::Int16(50));
  EXPECT_EQ(diagnostic.message, Value(kClientes + Detail("gValida_Num_Pedido_Publ ( ", e, 4550)));
  EXPECT_TRUE(diagnostic.Untouched());

  for (const Value& user : {Value::Int32(2), Value(), Value::Null()}) {
    Pedido plain = Call("P3");
    plain.conecta_db = "Provider=Nothing;Data Source=x";
    plain.usuario = user;
    EXPECT_EQ(plain.Run(), Value::Int16(50));
    EXPECT_EQ(plain.message, Value(kClientes));
  }

  Pedido null_order = Call(Value::Null());
  null_order.usuario = Value::Int32(1);
  EXPECT_EQ(null_order.Run(), Value::Int16(50));
  EXPECT_EQ(null_order.message, Value(kClientes + Detail("gValida_Num_Pedido_Publ ( ",
                                                         Error::InvalidUseOfNull(), 4400)));

  // A first date that reads as no date fails as its argument is rendered.
  Pedido bad_date = Call("P3");
  bad_date.usuario = Value::Int32(1);
  bad_date.emissao_ini = "ontem";
  EXPECT_EQ(bad_date.Run(), Value::Int16(50));
  EXPECT_EQ(bad_date.message,
            Value(kClientes + Detail("gValida_Num_Pedido_Publ ( ", Error::TypeMismatch(), 4490)));
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
  EXPECT_EQ(Items(all.lists[0]).size(), static_cast<std::size_t>(n));
  for (const Value& issued : Items(all.lists[2])) EXPECT_EQ(issued.string().size(), 10u);

  // The consignee's CGC keeps some but not all of them.
  Pedido by_cgc = Call();
  by_cgc.cgc = summary().consignee_cgc;
  EXPECT_EQ(by_cgc.Run(), Value::Int16(0)) << by_cgc.message.string();
  const std::size_t kept = Items(by_cgc.lists[0]).size();
  EXPECT_GT(kept, 0u);
  EXPECT_LT(kept, static_cast<std::size_t>(n));

  // Issue dates in the far future leave nothing.
  Pedido later = Call();
  later.idioma = "I";
  later.emissao_ini = "01/01/2090";
  EXPECT_EQ(later.Run(), Value::Int16(10));
  EXPECT_EQ(later.message, Value(kCantFind));
  EXPECT_TRUE(later.Untouched());

  // An unknown company gets no row at all.
  Pedido unknown = Call();
  unknown.empresa = Value::Int32(987654);
  unknown.idioma = "I";
  EXPECT_EQ(unknown.Run(), Value::Int16(10));
  EXPECT_EQ(unknown.message, Value(kNoRowEnglish));
}

TEST_P(ValidaNumPedidoPublOnEngines, TheExecutableAnswersInEnglishForAnUnknownOrder) {
  const nlohmann::json params{{"invntConecta_db", reference().connection_string},
                              {"invntUsuario_Internet_id", 5},
                              {"invntempresa_Id", summary().multi_document_order_company_id},
                              {"idioma", "I"},
                              {"invntNum_Pedido", "NAO-EXISTE-999"},
                              {"outvntMsg_ret", ""}};
  const CommandResult run = RunZebevi({"call", "gValida_Num_Pedido_Publ", params.dump()});
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json answer = nlohmann::json::parse(run.out);
  EXPECT_EQ(answer["result"], nlohmann::json::parse(R"({"type": "Int16", "value": 10})"));
  EXPECT_EQ(answer["params"]["outvntMsg_ret"]["value"], kCantFind);
  EXPECT_EQ(answer["params"]["outvntTam_arr"], nlohmann::json::parse(R"({"type": "Empty"})"));
}

ZEBEVI_INSTANTIATE_ON_ENGINES(ValidaNumPedidoPublOnEngines);

}  // namespace
}  // namespace zebevi::testing
