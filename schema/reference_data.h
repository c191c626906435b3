// The registers behind the documents: carriers and their operating points,
// parties and customers, suppliers, staff and drivers, products, vehicles,
// routes, tracking message types, features and user-group grants.
#ifndef ZEBEVI_SCHEMA_REFERENCE_DATA_H_
#define ZEBEVI_SCHEMA_REFERENCE_DATA_H_

#include <cstdint>
#include <string>
#include <vector>

#include "schema/generator.h"
#include "schema/row_sink.h"

namespace zebevi::schema {

struct RouteRef {
  std::int64_t id = 0;
  std::int64_t km_tenths = 0;
  std::int64_t planned_seconds = 0;
};

struct CustomerRef {
  std::int64_t id = 0;
  std::int64_t party_id = 0;
};

// What one carrier's documents may use.
struct CompanyRefs {
  std::int64_t id = 0;
  int share_percent = 0;  // of all documents
  std::vector<std::int64_t> points;
  std::vector<CustomerRef> customers;
  std::vector<std::int64_t> tractors;
  std::vector<std::int64_t> drivers;  // drivers[i] drives tractors[i]
  std::vector<std::int64_t> trailers;
  std::vector<RouteRef> routes;
};

struct ReferenceData {
  std::vector<CompanyRefs> companies;
  std::vector<std::string> party_cgc;  // by parceiro_id - 1; empty for a person
  std::int64_t products = 0;
};

// Tracking message types (tipo_macro_id).
enum class Macro : std::int64_t {
  kInicioViagem = 1,
  kChegadaRemetente,
  kInicioCarga,
  kFimCarga,
  kEmTransito,
  kParadaDescanso,
  kParadaRefeicao,
  kAbastecimento,
  kPernoite,
  kParadaNaoProgramada,
  kDesvioRota,
  kManutencao,
  kChegadaCliente,
  kInicioDescarga,
  kFimDescarga,
  kFimViagem,
};

// Writes every register, sized for `documents` documents, and fills the
// register counts and user-group samples of `summary`.
ReferenceData WriteReferenceData(RowSink& sink, std::uint64_t seed, std::int64_t documents,
                                 GeneratorSummary& summary);

}  // namespace zebevi::schema

#endif  // ZEBEVI_SCHEMA_REFERENCE_DATA_H_
