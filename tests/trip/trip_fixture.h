// Helpers for the trip tests: small fixture databases, rules that cannot be
// created, and the outputs of a whole trip summary.
#ifndef ZEBEVI_TESTS_TRIP_TRIP_FIXTURE_H_
#define ZEBEVI_TESTS_TRIP_TRIP_FIXTURE_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/command_log.h"
#include "support/test_support.h"
#include "zebevi/db.h"
#include "zebevi/value.h"
#include "zebevi/value_rules.h"

namespace zebevi::testing {

// The fixed text of the traps of the trip queries.
extern const Value kClientes;

// The tables and procedures of the six trip queries, with rows for the edges
// of each and for whole trips.
extern const std::string kTrips;

// A SQLite file holding the procedure catalog (empty), then whatever `sql`
// adds: tables, rows and catalog entries.
class FixtureDatabase {
 public:
  explicit FixtureDatabase(std::string_view sql) : path_(dir_ / "fixture.db") {
    RunSqlScript(path_,
                 "CREATE TABLE zeb_procedure (name TEXT PRIMARY KEY COLLATE NOCASE, "
                 "body TEXT NOT NULL);");
    RunSqlScript(path_, sql);
  }

  const std::filesystem::path& path() const { return path_; }

 private:
  TempDir dir_;
  std::filesystem::path path_;
};

// While it lives, the value rules component cannot be created: the first
// step of an operation that needs it fails. The library's own rules come
// back when it goes away.
class UncreatableRules {
 public:
  UncreatableRules() {
    SetValueRulesFactory([] { return std::unique_ptr<ValueRules>(); });
  }
  ~UncreatableRules() { SetValueRulesFactory(CreateValueRules); }
  UncreatableRules(const UncreatableRules&) = delete;
  UncreatableRules& operator=(const UncreatableRules&) = delete;

  // The failure that such a step raises.
  Error failure() const {
    return FailureOf([] { Rules(); });
  }
};

// The forty outputs of gConsulta_Espelho_Viagem, in interface order.
// clang-format off
enum SummaryOutput {
  kNumPedido, kNumDocto, kCavalo, kCarreta, kColaborador,
  kQtdeNota, kNotaFiscal, kPesoReal, kValDeclarado,
  kQtdeOcor, kDescrOcor, kDataOcor, kOdometroOcor,
  kKmTotal, kKmAteRem, kKmRemDest, kKmAposDest,
  kTempoOperacao, kTempoTransporte, kTempoAteRem, kTempoRetorno, kTempoTotalCargaDesc,
  kTempoCarga, kTempoDescarga, kTempoJanelaEspera, kTempoPosCarga, kTempoPosDesc,
  kTempoAntCarga, kTempoAntDesc, kTempoRemDes,
  kChegadaEfetiva, kChegadaPrevista, kFlagNoPrazo, kPrevistaRastreador,
  kRemetente, kDestinatario, kCliente, kKmRota, kTempoRota, kProduto,
  kOutputs
};
// clang-format on

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_TRIP_TRIP_FIXTURE_H_
