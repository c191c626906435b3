// The reference freight database: a generator that builds a new SQLite file
// with the schema, the stored procedures and a realistic, deterministic
// freight data set (Brazilian parties, plates, tax numbers, cities and
// Portuguese tracking texts, 2024 to 2026).
//
// Deterministic: the same seed and document count give the same rows, in
// the same order, on every platform and in every engine's loader.
#ifndef ZEBEVI_SCHEMA_GENERATOR_H_
#define ZEBEVI_SCHEMA_GENERATOR_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "schema/sql_text.h"

namespace zebevi::schema {

// The fewest documents a data set can have: the first ones are laid out so
// that every kind of document the summary names exists.
inline constexpr std::int64_t kMinimumDocuments = 10;

struct GeneratorOptions {
  // Number of transport documents. REQUIRES: >= kMinimumDocuments.
  std::int64_t documents = 5000;
  std::uint64_t seed = 1;
  // Called now and then during generation, and once with done == total.
  std::function<void(std::int64_t done, std::int64_t total)> progress;
};

// What was generated, and identifiers of rows with known properties.
struct GeneratorSummary {
  // Rows per kind.
  std::int64_t documents = 0;
  std::int64_t orders = 0;
  std::int64_t invoices = 0;
  std::int64_t occurrences = 0;  // tracking messages
  std::int64_t cycles = 0;       // documents with a measured trip cycle
  std::int64_t exchanges = 0;    // exchange parents
  std::int64_t exchanged_children = 0;
  std::int64_t routes = 0;
  std::int64_t parties = 0;
  std::int64_t customers = 0;
  std::int64_t rows = 0;  // all rows of every table

  // A child of an exchange whose parent has a route, arrival times and a
  // measured cycle (the document a demonstration shows).
  std::int64_t exchanged_document_id = 0;
  // Its exchange parent, which has at least two children.
  std::int64_t exchange_parent_id = 0;
  // A document in no exchange, with route, arrival times and cycle.
  std::int64_t plain_document_id = 0;
  std::int64_t document_without_route_id = 0;    // rota_id null
  std::int64_t document_without_cycle_id = 0;    // delivered, cycle not measured
  std::int64_t document_without_arrival_id = 0;  // the three arrival times null
  // A route that every data set has.
  std::int64_t route_id = 7;

  // An order number with several documents (issued by one company over
  // several days), how many, the company, and the CGC (14 digits) of the
  // consignee of some but not all of them.
  std::string multi_document_order;
  std::int64_t multi_document_order_documents = 0;
  std::int64_t multi_document_order_company_id = 0;
  std::string consignee_cgc;

  // User groups: one with several feature grants and some refusals, its
  // company, one whose rows are all refusals, one without any row.
  std::int64_t granted_user_group_id = 0;
  std::int64_t granted_user_group_company_id = 0;
  std::int64_t refused_user_group_id = 0;
  std::int64_t empty_user_group_id = 0;
};

// Creates the SQLite database `path` (a new file: an existing one is never
// touched) with schema, procedures and the data set of `options`, in one
// transaction, then indexes and analyzes it. Throws std::runtime_error with
// a message naming the cause on any failure, after removing what it created.
GeneratorSummary GenerateSqlite(const std::filesystem::path& path, const GeneratorOptions& options);

}  // namespace zebevi::schema

#endif  // ZEBEVI_SCHEMA_GENERATOR_H_
