#include "cli/trip_text.h"

#include <algorithm>
#include <ostream>

#include "cli/text_layout.h"

namespace zebevi::cli {
namespace {

void Section(std::ostream& out, const TextStyle& style, const std::string& title) {
  out << '\n' << style.Title(title) << '\n';
}

void Nothing(std::ostream& out, const TextStyle& style, std::string_view text) {
  out << "  " << style.Muted(text) << '\n';
}

std::string Verdict(const std::string& text, const TextStyle& style) {
  if (text == "No Prazo") return style.Good(text);
  if (text == "Fora do Prazo") return style.Bad(text);
  return style.Warn(text);
}

void RenderHeader(std::ostream& out, const TripReport& report, const TextStyle& style) {
  out << style.Title("Espelho da viagem · documento " + report.document) << '\n';
  if (!report.message.empty()) out << style.Warn(report.message) << '\n';
  out << '\n';
  Fields fields;
  for (const LabelledText& field : report.header) {
    const bool verdict = field.output == "outvntFlag_no_prazo";
    std::string value = field.text.empty() ? style.Muted("—")
                        : verdict          ? Verdict(field.text, style)
                                           : field.text;
    fields.emplace_back(std::string(field.label), std::move(value));
  }
  RenderFields(out, fields, style);
}

void RenderInvoices(std::ostream& out, const TripReport& report, const TextStyle& style) {
  Section(out, style, "Notas fiscais (" + std::to_string(report.invoices.size()) + ")");
  if (report.invoices.empty()) return Nothing(out, style, "nenhuma nota fiscal");
  Table table;
  table.AddColumn(std::string(kInvoiceLists[0].label));
  table.AddColumn(std::string(kInvoiceLists[1].label), Align::kRight);
  table.AddColumn(std::string(kInvoiceLists[2].label), Align::kRight);
  for (const Invoice& invoice : report.invoices) {
    table.AddRow({invoice.number, invoice.weight, invoice.declared_value});
  }
  table.Render(out, style);
}

void RenderTimeline(std::ostream& out, const TripReport& report, const TextStyle& style) {
  Section(out, style,
          "Ocorrências de rastreamento (" + std::to_string(report.occurrences.size()) + ")");
  if (report.occurrences.empty()) return Nothing(out, style, "nenhuma ocorrência");
  std::size_t when_width = 0;
  std::size_t description_width = 0;
  for (const Occurrence& o : report.occurrences) {
    when_width = std::max(when_width, DisplayWidth(o.when));
    description_width = std::max(description_width, DisplayWidth(o.description));
  }
  const std::string gutter(2 + when_width + 2, ' ');
  for (std::size_t i = 0; i < report.occurrences.size(); ++i) {
    const Occurrence& o = report.occurrences[i];
    if (i > 0) {
      out << gutter << style.Muted("│");
      if (o.minutes_since_previous) {
        out << ' ' << style.Muted("+" + HoursMinutes(*o.minutes_since_previous));
      }
      out << '\n';
    }
    std::string line = "  " + Pad(o.when, when_width) + "  " + style.Accent("●") + "  ";
    if (o.odometer.empty()) {
      line += o.description;
    } else {
      line += Pad(o.description, description_width) + "  " + style.Muted("odômetro ") + o.odometer;
    }
    out << line << '\n';
  }
}

void RenderDistances(std::ostream& out, const TripReport& report, const TextStyle& style) {
  Section(out, style, "Distâncias (km)");
  if (!HasText(report.distances)) return Nothing(out, style, "distâncias não apuradas");
  std::size_t width = 0;
  for (const LabelledText& d : report.distances) width = std::max(width, DisplayWidth(d.text));
  Fields fields;
  for (const LabelledText& d : report.distances) {
    fields.emplace_back(std::string(d.label), Pad(d.text, width, Align::kRight));
  }
  RenderFields(out, fields, style);
}

void RenderCycle(std::ostream& out, const TripReport& report, const TextStyle& style) {
  Section(out, style, "Tempos do ciclo (h:min)");
  if (!report.has_cycle()) return Nothing(out, style, "ciclo não apurado");
  std::int64_t longest = 0;
  std::size_t width = 0;
  for (const CycleTime& t : report.times) {
    longest = std::max(longest, t.minutes.value_or(0));
    width = std::max(width, DisplayWidth(t.text));
  }
  Fields fields;
  for (const CycleTime& t : report.times) {
    const std::string bar = Bar(static_cast<double>(t.minutes.value_or(0)),
                                static_cast<double>(longest), kCycleBarWidth);
    std::string value = Pad(t.text, width, Align::kRight);
    if (!bar.empty()) value += "  " + style.Accent(bar);
    fields.emplace_back(std::string(t.label), std::move(value));
  }
  RenderFields(out, fields, style);
}

void RenderRoute(std::ostream& out, const TripReport& report, const TextStyle& style) {
  Section(out, style, "Rota prevista");
  if (!HasText(report.route)) return Nothing(out, style, "sem rota");
  Fields fields;
  for (const LabelledText& r : report.route) fields.emplace_back(std::string(r.label), r.text);
  RenderFields(out, fields, style);
}

}  // namespace

std::string HoursMinutes(std::int64_t minutes) {
  const std::string sign = minutes < 0 ? "-" : "";
  const std::int64_t magnitude = minutes < 0 ? -minutes : minutes;
  const std::int64_t rest = magnitude % 60;
  return sign + std::to_string(magnitude / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

void RenderTripText(std::ostream& out, const TripReport& report, const TextStyle& style) {
  RenderHeader(out, report, style);
  RenderInvoices(out, report, style);
  RenderTimeline(out, report, style);
  RenderDistances(out, report, style);
  RenderCycle(out, report, style);
  RenderRoute(out, report, style);
}

}  // namespace zebevi::cli
