// The lists of the friendly verbs as CSV for a spreadsheet (RFC 4180):
// UTF-8, a header row of the version 1 JSON names, lines ending CRLF,
// fields quoted when they hold a comma, a quote or a line break. Each
// figure is written as its typed value (ISO 8601 dates, numbers with a
// decimal point, durations in minutes), or as the operation's text when
// that does not read.
#ifndef ZEBEVI_CLI_CSV_EXPORT_H_
#define ZEBEVI_CLI_CSV_EXPORT_H_

#include <filesystem>
#include <string>

#include "cli/console.h"
#include "zebevi/document_matches.h"
#include "zebevi/order_documents.h"
#include "zebevi/trip_summary.h"

namespace zebevi::cli {

std::string DocumentsCsv(const report::DocumentMatches& matches);
std::string DocumentsCsv(const report::OrderDocuments& order);

// Writes `dir`/invoices.csv and `dir`/occurrences.csv, making the folder if
// needed. False, with a message on standard error, when it cannot.
bool WriteTripCsv(const report::TripSummary& summary, const std::filesystem::path& dir,
                  const Console& console);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_CSV_EXPORT_H_
