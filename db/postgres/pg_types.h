// The PostgreSQL type identifiers (OIDs) the driver sends and reads. They
// are fixed by the server's catalog; the client library has no header for
// them.
#ifndef ZEBEVI_DB_POSTGRES_PG_TYPES_H_
#define ZEBEVI_DB_POSTGRES_PG_TYPES_H_

namespace zebevi::db::pg_type {

inline constexpr unsigned kUnknown = 0;  // let the server infer it
inline constexpr unsigned kBool = 16;
inline constexpr unsigned kChar = 18;
inline constexpr unsigned kName = 19;
inline constexpr unsigned kInt8 = 20;
inline constexpr unsigned kInt2 = 21;
inline constexpr unsigned kInt4 = 23;
inline constexpr unsigned kText = 25;
inline constexpr unsigned kFloat4 = 700;
inline constexpr unsigned kFloat8 = 701;
inline constexpr unsigned kBpchar = 1042;
inline constexpr unsigned kVarchar = 1043;
inline constexpr unsigned kDate = 1082;
inline constexpr unsigned kTimestamp = 1114;
inline constexpr unsigned kTimestamptz = 1184;
inline constexpr unsigned kNumeric = 1700;

}  // namespace zebevi::db::pg_type

#endif  // ZEBEVI_DB_POSTGRES_PG_TYPES_H_
