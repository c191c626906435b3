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

TEST_F(ExchangeLookupTest, AnExchangeGivesParentChildrenAndTheirNumbers) {
  CommandLog log;
  Lookup lookup;
  lookup.Run(connection_, Value("1001"));
  EXPECT_EQ(log.commands(), std::vector<std::string>{"EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP   1001"});
  EXPECT_TRUE(lookup.result);
  EXPECT_EQ(lookup.pai, 1000);
  EXPECT_EQ(lookup.filhos, (std::vector<std::int32_t>{1001, 1002}));
  EXPECT_EQ(lookup.num, "1000 / 1001 / 1002");
  EXPECT_EQ(lookup.qtde, 2);
  EXPECT_EQ(lookup.flag_troca, "S");
  EXPECT_EQ(lookup.flag_pai, "kept") << "the parent flag is not assigned on an exchange";
  EXPECT_EQ(lookup.message, Value("earlier"));
}

TEST_F(ExchangeLookupTest, OneChildReplacesTheWholeArray) {
  Lookup lookup;
  lookup.Run(connection_, Value::Int32(600));
  EXPECT_TRUE(lookup.result);
  EXPECT_EQ(lookup.pai, 601);
  EXPECT_EQ(lookup.filhos, std::vector<std::int32_t>{600});
  EXPECT_EQ(lookup.num, "P-601 / C-600");
  EXPECT_EQ(lookup.qtde, 1);
}

TEST_F(ExchangeLookupTest, NoExchangeMakesTheDocumentItsOwnParentWhateverFollows) {
  Lookup lookup;
  lookup.Run(connection_, Value("500"));
  EXPECT_TRUE(lookup.result);
  EXPECT_EQ(lookup.flag_pai, "S");
  EXPECT_EQ(lookup.flag_troca, "N");
  EXPECT_EQ(lookup.pai, 500);
  EXPECT_EQ(lookup.qtde, 0);
  EXPECT_EQ(lookup.num, "");
  EXPECT_EQ(lookup.filhos, (std::vector<std::int32_t>{7, 7, 7}));
}

TEST_F(ExchangeLookupTest, NoRowLeavesEveryOutputAsPassed) {
  Lookup lookup;
  lookup.Run(connection_, Value::Int32(404));
  EXPECT_TRUE(lookup.result);
  const Lookup untouched;
  EXPECT_EQ(lookup.pai, untouched.pai);
  EXPECT_EQ(lookup.filhos, untouched.filhos);
  EXPECT_EQ(lookup.num, untouched.num);
  EXPECT_EQ(lookup.qtde, untouched.qtde);
  EXPECT_EQ(lookup.flag_pai, untouched.flag_pai);
  EXPECT_EQ(lookup.flag_troca, untouched.flag_troca);
  EXPECT_EQ(lookup.message, untouched.message);
}

TEST_F(ExchangeLookupTest, NullFieldsReadAsZeroAndEmptyText) {
  // A null retorno reads as 0: an exchange with an unknown parent.
  Lookup lookup;
  lookup.Run(connection_, Value::Int32(800));
  EXPECT_TRUE(lookup.result);
  EXPECT_EQ(lookup.flag_troca, "S");
  EXPECT_EQ(lookup.pai, 0);
  EXPECT_EQ(lookup.filhos, std::vector<std::int32_t>{0});
  EXPECT_EQ(lookup.num, " / ");
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
