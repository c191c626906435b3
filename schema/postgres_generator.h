// The reference freight database on PostgreSQL: the schema, the procedures
// (as functions) and the same data set that GenerateSqlite writes for the
// same options, loaded into an empty database.
#ifndef ZEBEVI_SCHEMA_POSTGRES_GENERATOR_H_
#define ZEBEVI_SCHEMA_POSTGRES_GENERATOR_H_

#include <span>
#include <string>
#include <string_view>

#include "schema/generator.h"

namespace zebevi::schema {

// The PostgreSQL edition's SQL, compiled in from schema/postgres/*.sql.
std::string_view PostgresSchemaSql();      // tables, then their indexes
std::string_view PostgresTablesSql();      // the tables only
std::string_view PostgresIndexesSql();     // the indexes only
std::string_view PostgresProceduresSql();  // the functions
std::string_view ShardDirectorySql();      // the proxy's table of exchanged children
std::string_view ShardProxySql();          // the proxy's routing functions

// Creates the tables, loads the data set of `options`, then creates the
// indexes and the functions and analyzes the tables, all in one
// transaction, in the database `conninfo` names (libpq's "key=value ..."
// form or a "postgresql://" URI), as the user it names, who will own
// everything. A database that already has any of these tables is left as it
// was. Throws std::runtime_error naming the cause on any failure, after
// which nothing of the load remains.
GeneratorSummary GeneratePostgres(const std::string& conninfo, const GeneratorOptions& options);

// The same data set in a sharded layout: each of `shards` (a power of two,
// at most kMaxShards) gets the tables, its share of the documents (see
// shard_placement.h), every reference row, the indexes and the functions;
// `proxy` gets the tables with the reference rows only, the directory of
// exchanged children, the PL/Proxy cluster zeb_shards naming the shards'
// connection strings in order, and the routing functions. PL/Proxy is an
// untrusted language, so `proxy` must name a superuser; every role may then
// read the proxy's tables. Each database loads in a transaction of its own,
// committed once all are loaded; a failure before that leaves nothing.
GeneratorSummary GeneratePostgresSharded(const std::string& proxy,
                                         std::span<const std::string> shards,
                                         const GeneratorOptions& options);

}  // namespace zebevi::schema

#endif  // ZEBEVI_SCHEMA_POSTGRES_GENERATOR_H_
