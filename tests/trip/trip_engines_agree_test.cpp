// The same call answers the same on every engine (ODBC included, through
// psqlODBC on the PostgreSQL test server): every parameter and the result.
#include <gtest/gtest.h>

#include "support/engines.h"
#include "support/operation_calls.h"

namespace zebevi::testing {
namespace {

TEST(TripEnginesAgree, EveryParameterAndTheResultAreTheSame) {
  ZEBEVI_REQUIRE_ENGINE(Engine::kPostgres);
  for (Engine engine : ServerEngines()) {
    SCOPED_TRACE(EngineName(engine));
    ExpectSameAnswers(Calls(ReferenceOn(Engine::kSqlite).summary),
                      ReferenceOn(Engine::kSqlite).connection_string,
                      ReferenceOn(engine).connection_string);
  }
}

}  // namespace
}  // namespace zebevi::testing
