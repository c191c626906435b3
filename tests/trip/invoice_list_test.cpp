// mBusca_Nota_Fiscais on fixture databases.
#include <gtest/gtest.h>

#include "trip_fixture.h"
#include "zebevi/evi.h"

namespace zebevi {
namespace {

using ::zebevi::testing::CommandLog;
using ::zebevi::testing::Detail;
using ::zebevi::testing::FixtureDatabase;
using ::zebevi::testing::kClientes;

constexpr std::string_view kInvoices = R"sql(
CREATE TABLE nf (doc INTEGER, ord INTEGER, nota_fiscal, peso_real_kg, val_declarado);
INSERT INTO nf VALUES
  (1, 3, ' 000125 ', NULL, 1234.5),
  (1, 1, '000123', 1500.5, 0.5),
  (1, 2, '000124', 20000, 1234567),
  (2, 1, '000200', 10, -1234.567);
INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_NOTA_FISCAL_DOCTO3',
  'SELECT nota_fiscal, peso_real_kg, val_declarado, ?2 AS pai, ?3 AS flag
     FROM nf WHERE doc = ?1 ORDER BY ord');
)sql";

struct Invoices {
  Value qtde;
  Value notas = Value::Array({Value("old"), Value("old"), Value("old"), Value("old")});
  Value pesos = "not a list";
  Value valores;
  Value message = "earlier";
  bool result = false;

  void Run(DbConnectionRef connection, Value document, std::int32_t pai = 0, std::string flag = "N",
           Value user = Value::Int32(5)) {
    Value empresa;
    result = CreateEVI()->mBusca_Nota_Fiscais(user, empresa, document, pai, qtde, notas, pesos,
                                              valores, connection, flag, message);
  }
};

class InvoiceListTest : public ::testing::Test {
 protected:
  FixtureDatabase db_{kInvoices};
  DbConnectionRef connection_ = db_.Open();
};

TEST_F(InvoiceListTest, ListsEveryInvoiceInRowOrderInFreshLists) {
  CommandLog log;
  Invoices invoices;
  invoices.Run(connection_, Value("1"), 1000, "S");
  EXPECT_EQ(log.commands(),
            std::vector<std::string>{"exec SP_ZEB_CON_NOTA_FISCAL_DOCTO3 1, 1000, 'S' "});
  EXPECT_TRUE(invoices.result);
  EXPECT_EQ(invoices.qtde, Value::Int32(3));
  EXPECT_EQ(invoices.notas, Value::Array({Value("000123"), Value("000124"), Value("000125")}));
  // Weights as the rules give them, unformatted; declared values by the
  // picture, with grouping and two decimals.
  EXPECT_EQ(invoices.pesos, Value::Array({Value("1500,5"), Value("20000"), Value("")}));
  EXPECT_EQ(invoices.valores,
            Value::Array({Value("0,50"), Value("1.234.567,00"), Value("1.234,50")}));
  EXPECT_EQ(invoices.message, Value("earlier"));

  Invoices negative;
  negative.Run(connection_, Value::Int32(2), 0, "");
  EXPECT_EQ(log.commands().back(), "exec SP_ZEB_CON_NOTA_FISCAL_DOCTO3 2, 0, NULL ");
  EXPECT_EQ(negative.valores, Value::Array({Value("-1.234,57")}));
}

TEST_F(InvoiceListTest, NoRowLeavesTheCountAndListsAsPassed) {
  Invoices invoices;
  invoices.Run(connection_, Value::Int32(404));
  EXPECT_TRUE(invoices.result);
  EXPECT_TRUE(invoices.qtde.is_empty());
  EXPECT_EQ(invoices.notas, Invoices().notas);
  EXPECT_EQ(invoices.pesos, Value("not a list"));
  EXPECT_TRUE(invoices.valores.is_empty());
  EXPECT_EQ(invoices.message, Value("earlier"));
}

TEST_F(InvoiceListTest, AMissingDocumentIsRefusedWithoutAQuery) {
  CommandLog log;
  for (const Value& missing : {Value(), Value::Int32(0), Value(""), Value("  "), Value::Null()}) {
    Invoices invoices;
    invoices.Run(connection_, missing);
    EXPECT_FALSE(invoices.result);
    EXPECT_EQ(invoices.message, Value("Informe um documento de transporte."));
    EXPECT_TRUE(invoices.qtde.is_empty());
  }
  EXPECT_TRUE(log.commands().empty());
}

TEST(InvoiceList, AFailingProcedureReportsTheOpeningStep) {
  FixtureDatabase db{R"sql(
    INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_NOTA_FISCAL_DOCTO3',
      'SELECT coluna_que_falta FROM zeb_procedure WHERE ?1 = ?2 AND ?3 IS NULL');)sql"};
  CommandLog log;
  Invoices invoices;
  invoices.Run(db.Open(), Value::Int32(1), 0, "N", Value("1"));
  EXPECT_FALSE(invoices.result);
  EXPECT_EQ(invoices.message, kClientes & Detail("mBusca_Nota_Fiscais ( ", log.last_error(), 5570));
  EXPECT_TRUE(invoices.qtde.is_empty());
}

}  // namespace
}  // namespace zebevi
