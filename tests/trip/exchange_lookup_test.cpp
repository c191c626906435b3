// mConsulta_TROCA_DOCTO_TRANSP on fixture databases.
#include <gtest/gtest.h>

#include "trip_fixture.h"
#include "zebevi/evi.h"

namespace zebevi {
namespace {

using ::zebevi::testing::CommandLog;
using ::zebevi::testing::Detail;
using ::zebevi::testing::FixtureDatabase;
using ::zebevi::testing::kClientes;

// One row per child; `ord` keeps the rows in the order the procedure gives.
constexpr std::string_view kExchanges = R"sql(
CREATE TABLE troca (doc INTEGER, ord INTEGER, retorno, pai_id, num_pai, filho_id, num_filho);
INSERT INTO troca VALUES
  (1001, 1, 0, 1000, '1000', 1001, '1001'),
  (1001, 2, 0, 1000, '1000', 1002, '1002'),
  (600, 1, 0, 601, ' P-601 ', 600, 'C-600'),
  (500, 1, 1, 500, 'CT-500', NULL, NULL),
  (500, 2, 0, 9, 'x', 9, 'y'),
  (800, 1, NULL, NULL, NULL, NULL, NULL),
  (900, 1, 0, 3000000000, '900', 901, '901');
INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_TROCA_DOCTO_TRANSP',
  'SELECT retorno, pai_id AS DOCTO_TRANSP_PAI_ID, num_pai AS num_docto_pai,
          filho_id AS DOCTO_TRANSP_FILHO_ID, num_filho AS num_docto_filho
     FROM troca WHERE doc = ?1 ORDER BY ord');
)sql";

// The seven outputs and the message, as a caller holds them.
struct Lookup {
  std::int32_t pai = -1;
  Int32Array filhos = std::vector<std::int32_t>{7, 7, 7};
  std::string num = "earlier";
  std::int32_t qtde = -1;
  std::string flag_pai = "kept";
  std::string flag_troca = "kept";
  Value message = "earlier";
  bool result = false;

  void Run(const DbConnectionRef& connection, Value document, Value user = Value::Int32(5)) {
    Value odb = Value::Object(connection);
    result = CreateEVI()->mConsulta_TROCA_DOCTO_TRANSP(odb, user, document, pai, filhos, num, qtde,
                                                       flag_pai, flag_troca, message);
  }
};

class ExchangeLookupTest : public ::testing::Test {
 protected:
  FixtureDatabase db_{kExchanges};
  DbConnectionRef connection_ = db_.Open();
};

TEST_F(ExchangeLookupTest, GivesParentChildrenAndTheirNumbers) {
  struct Case {
    const char* name;
    Value document;
    std::int32_t pai;
    std::vector<std::int32_t> filhos;
    std::string num;
    std::int32_t qtde;
    std::string flag_pai, flag_troca;
  };
  const Case cases[] = {
      // The parent flag is not assigned on an exchange.
      {"exchange", Value("1001"), 1000, {1001, 1002}, "1000 / 1001 / 1002", 2, "kept", "S"},
      {"one child replaces the array", Value::Int32(600), 601, {600}, "P-601 / C-600", 1, "kept",
       "S"},
      // Whatever rows follow the first.
      {"no exchange: its own parent", Value("500"), 500, {7, 7, 7}, "", 0, "S", "N"},
      // A null retorno reads as 0: an exchange with an unknown parent.
      {"null fields", Value::Int32(800), 0, {0}, " / ", 1, "kept", "S"},
      {"no row", Value::Int32(404), -1, {7, 7, 7}, "earlier", -1, "kept", "kept"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Lookup lookup;
    lookup.Run(connection_, c.document);
    EXPECT_TRUE(lookup.result);
    EXPECT_EQ(lookup.pai, c.pai);
    EXPECT_EQ(lookup.filhos, c.filhos);
    EXPECT_EQ(lookup.num, c.num);
    EXPECT_EQ(lookup.qtde, c.qtde);
    EXPECT_EQ(lookup.flag_pai, c.flag_pai);
    EXPECT_EQ(lookup.flag_troca, c.flag_troca);
    EXPECT_EQ(lookup.message, Value("earlier"));
  }
  CommandLog log;
  Lookup().Run(connection_, Value("1001"));
  EXPECT_EQ(log.commands(), std::vector<std::string>{"EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP   1001"});
}

TEST_F(ExchangeLookupTest, AFailureQuotesTheCommandForTheDiagnosticUserOnly) {
  // A parent identifier beyond 32 bits fails after the count is set.
  Lookup lookup;
  lookup.Run(connection_, Value::Int32(900), Value("1"));
  EXPECT_FALSE(lookup.result);
  EXPECT_EQ(lookup.qtde, 1) << "nothing is undone";
  EXPECT_EQ(lookup.filhos, std::vector<std::int32_t>{0});
  EXPECT_EQ(lookup.flag_troca, "kept");
  EXPECT_EQ(lookup.message, kClientes &
                                "mConsulta_TROCA_DOCTO_TRANSP ( Overflow : 6)   No Nº 3090"
                                "Strsq: EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP   900");

  for (const Value& user : {Value::Int32(5), Value(), Value::Null()}) {
    Lookup plain;
    plain.Run(connection_, Value::Int32(900), user);
    EXPECT_FALSE(plain.result);
    EXPECT_EQ(plain.message, kClientes);
  }
}

TEST(ExchangeLookup, AFailingProcedureEntersTheTrapAtTheOpen) {
  FixtureDatabase empty_catalog{""};
  CommandLog log;
  Lookup lookup;
  lookup.Run(empty_catalog.Open(), Value("1001"), Value::Int32(1));
  EXPECT_FALSE(lookup.result);
  EXPECT_EQ(lookup.message,
            kClientes & (Detail("mConsulta_TROCA_DOCTO_TRANSP ( ", log.last_error(), 2890) +
                         "Strsq: EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP   1001"));
  EXPECT_EQ(lookup.pai, -1);
  EXPECT_EQ(lookup.num, "earlier");
}

TEST(ExchangeLookup, AFailureBeforeTheCommandIsBuiltQuotesNothing) {
  FixtureDatabase db{kExchanges};
  testing::UncreatableRules uncreatable;
  Lookup lookup;
  lookup.Run(db.Open(), Value("1001"), Value("1"));
  EXPECT_FALSE(lookup.result);
  EXPECT_EQ(lookup.message,
            kClientes & (Detail("mConsulta_TROCA_DOCTO_TRANSP ( ", uncreatable.failure(), 2860) +
                         "Strsq: "));
}

}  // namespace
}  // namespace zebevi
