// The typed layer in one include: the four entry operations as plain
// structs, their query inputs and their version 1 JSON.
#ifndef ZEBEVI_REPORT_H_
#define ZEBEVI_REPORT_H_

#include "zebevi/document_matches.h"  // IWYU pragma: export
#include "zebevi/feature_flags.h"     // IWYU pragma: export
#include "zebevi/figure.h"            // IWYU pragma: export
#include "zebevi/order_documents.h"   // IWYU pragma: export
#include "zebevi/query_input.h"       // IWYU pragma: export
#include "zebevi/report_json.h"       // IWYU pragma: export
#include "zebevi/trip_summary.h"      // IWYU pragma: export

#endif  // ZEBEVI_REPORT_H_
