#include "cli/csv_export.h"

#include <cmath>
#include <ostream>
#include <string_view>
#include <vector>

#include "cli/json_value.h"
#include "zebevi/report_json.h"

namespace zebevi::cli {
namespace {

using Columns = std::vector<std::string_view>;

const Columns kFindColumns{"id", "number", "issued", "arrived", "operating_point", "customer"};
const Columns kOrderColumns{"id", "number", "issued", "delivered"};
const Columns kInvoiceColumns{"number", "weight_kg", "declared_value_brl"};
const Columns kOccurrenceColumns{"at", "description", "odometer_km", "minutes_since_previous"};

// A figure ({"value", "display"}) as its value, or its display when the
// value is null; a text as it is.
std::string CellText(const Json& cell) {
  const Json& shown =
      cell.is_object() ? (cell["value"].is_null() ? cell["display"] : cell["value"]) : cell;
  if (shown.is_null()) return "";
  if (shown.is_string()) return shown.get<std::string>();
  // A whole number reads as one: 125833, not 125833.0.
  if (shown.is_number_float()) {
    const double n = shown.get<double>();
    if (n == std::trunc(n) && std::fabs(n) < 1e15) return std::to_string(static_cast<long long>(n));
  }
  return shown.dump();
}

std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string Line(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + Field(fields[i]);
  return line + "\r\n";
}

// The rows of a version 1 JSON list under their header.
std::string Table(const Json& rows, const Columns& columns) {
  std::string text = Line(std::vector<std::string>(columns.begin(), columns.end()));
  for (const Json& row : rows) {
    std::vector<std::string> fields;
    for (std::string_view column : columns) fields.push_back(CellText(row.at(std::string(column))));
    text += Line(fields);
  }
  return text;
}

}  // namespace

std::string DocumentsCsv(const report::DocumentMatches& matches) {
  return Table(Json::parse(report::ToJson(matches))["documents"], kFindColumns);
}

std::string DocumentsCsv(const report::OrderDocuments& order) {
  return Table(Json::parse(report::ToJson(order))["documents"], kOrderColumns);
}

bool WriteTripCsv(const report::TripSummary& summary, const std::filesystem::path& dir,
                  const Console& console) {
  const Json json = Json::parse(report::ToJson(summary));
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  for (const auto& [name, text] :
       {std::pair{"invoices.csv", Table(json["invoices"], kInvoiceColumns)},
        std::pair{"occurrences.csv", Table(json["occurrences"], kOccurrenceColumns)}}) {
    if (!WriteWholeFile((dir / name).string(), text, console)) return false;
  }
  return true;
}

}  // namespace zebevi::cli
