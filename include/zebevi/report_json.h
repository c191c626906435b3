// The answers of the typed layer as JSON, version 1: snake_case English
// names, typed values, each figure as {"value": typed or null, "display":
// the operation's text}, "status" and "message" as the operation gave them.
// The JSON Schemas of these documents are installed under
// share/zebevi/schema/json/v1/. Each function gives one line of UTF-8 (an
// invalid byte sequence from the database is replaced), without a newline.
#ifndef ZEBEVI_REPORT_JSON_H_
#define ZEBEVI_REPORT_JSON_H_

#include <string>

#include "zebevi/document_matches.h"
#include "zebevi/feature_flags.h"
#include "zebevi/order_documents.h"
#include "zebevi/trip_summary.h"

namespace zebevi::report {

inline constexpr int kJsonVersion = 1;

std::string ToJson(const TripSummary& summary);
std::string ToJson(const FeatureFlags& flags);
std::string ToJson(const DocumentMatches& matches);
std::string ToJson(const OrderDocuments& documents);

}  // namespace zebevi::report

#endif  // ZEBEVI_REPORT_JSON_H_
