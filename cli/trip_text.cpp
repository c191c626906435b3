#include "cli/trip_text.h"

#include <algorithm>
#include <ostream>

#include "cli/text_layout.h"
#include "cli/trip_figures.h"
#include "page/page_text.h"

namespace zebevi::cli {
namespace {

using report::TripSummary;

void Section(std::ostream& out, const TextStyle& style, const std::string& title) {
  out << '\n' << style.Title(title) << '\n';
}

void Nothing(std::ostream& out, const TextStyle& style, std::string_view text) {
  out << "  " << style.Muted(text) << '\n';
}

std::string Verdict(const report::Figure<report::Deadline>& deadline, const TextStyle& style) {
  if (deadline.value == report::Deadline::kOnTime) return style.Good(deadline.display);
  if (deadline.value == report::Deadline::kLate) return style.Bad(deadline.display);
  return style.Warn(deadline.display);
}

void RenderHeader(std::ostream& out, const TripSummary& summary, const TextStyle& style) {
  out << style.Title("Espelho da viagem · documento " + summary.document.id.display) << '\n';
  if (!summary.message.empty()) out << style.Warn(summary.message) << '\n';
  out << '\n';
  Fields fields;
  for (const ShownFigure& figure : HeaderFigures(summary)) {
    std::string value = figure.text.empty() ? style.Muted("—")
                        : figure.field == "header.deadline"
                            ? Verdict(summary.header.deadline, style)
                            : figure.text;
    fields.emplace_back(std::string(figure.label), std::move(value));
  }
  RenderFields(out, fields, style);
}

void RenderInvoices(std::ostream& out, const TripSummary& summary, const TextStyle& style) {
  Section(out, style, "Notas fiscais (" + std::to_string(summary.invoices.size()) + ")");
  if (summary.invoices.empty()) return Nothing(out, style, "nenhuma nota fiscal");
  const page::PageText& labels = page::TextOf(page::Language::kPortuguese);
  Table table;
  table.AddColumn(std::string(labels.invoice_number));
  table.AddColumn(std::string(labels.invoice_weight), Align::kDecimal);
  table.AddColumn(std::string(labels.invoice_value), Align::kDecimal);
  for (const report::Invoice& invoice : summary.invoices) {
    table.AddRow(
        {invoice.number.display, invoice.weight_kg.display, invoice.declared_value_brl.display});
  }
  table.Render(out, style);
}

void RenderTimeline(std::ostream& out, const TripSummary& summary, const TextStyle& style) {
  Section(out, style,
          "Ocorrências de rastreamento (" + std::to_string(summary.occurrences.size()) + ")");
  if (summary.occurrences.empty()) return Nothing(out, style, "nenhuma ocorrência");
  std::size_t when_width = 0;
  std::size_t description_width = 0;
  for (const report::Occurrence& o : summary.occurrences) {
    when_width = std::max(when_width, DisplayWidth(o.at.display));
    description_width = std::max(description_width, DisplayWidth(o.description));
  }
  const std::string gutter(2 + when_width + 2, ' ');
  for (std::size_t i = 0; i < summary.occurrences.size(); ++i) {
    const report::Occurrence& o = summary.occurrences[i];
    if (i > 0) {
      out << gutter << style.Muted("│");
      if (o.since_previous) {
        out << ' ' << style.Muted("+" + HoursMinutes(o.since_previous->count()));
      }
      out << '\n';
    }
    std::string line = "  " + Pad(o.at.display, when_width) + "  " + style.Accent("●") + "  ";
    if (o.odometer_km.display.empty()) {
      line += o.description;
    } else {
      line += Pad(o.description, description_width) + "  " + style.Muted("odômetro ") +
              o.odometer_km.display;
    }
    out << line << '\n';
  }
}

void RenderDistances(std::ostream& out, const TripSummary& summary, const TextStyle& style) {
  Section(out, style, "Distâncias (km)");
  const std::vector<ShownFigure> distances = DistanceFigures(summary);
  if (!HasText(distances)) return Nothing(out, style, "distâncias não apuradas");
  std::vector<std::string> numbers;
  for (const ShownFigure& d : distances) numbers.push_back(d.text);
  AlignDecimalCommas(numbers);
  std::size_t width = 0;
  for (const std::string& n : numbers) width = std::max(width, DisplayWidth(n));
  Fields fields;
  for (std::size_t i = 0; i < distances.size(); ++i) {
    fields.emplace_back(std::string(distances[i].label), Pad(numbers[i], width, Align::kRight));
  }
  RenderFields(out, fields, style);
}

// Blanks the fields put around a bar: the indent, two after the label, two
// after the time.
constexpr std::size_t kCycleLineBlanks = 6;

void RenderCycle(std::ostream& out, const TripSummary& summary, const TextStyle& style,
                 std::size_t columns) {
  Section(out, style, "Tempos do ciclo (h:min)");
  if (!summary.has_cycle()) return Nothing(out, style, "ciclo não apurado");
  const std::vector<ShownTime> times = TimeFigures(summary);
  std::int64_t longest = 0;
  std::size_t width = 0;
  std::size_t label_width = 0;
  for (const ShownTime& t : times) {
    longest = std::max<std::int64_t>(longest, t.length ? t.length->count() : 0);
    width = std::max(width, DisplayWidth(t.text));
    label_width = std::max(label_width, DisplayWidth(t.label));
  }
  const std::size_t used = kCycleLineBlanks + label_width + width;
  const std::size_t bar_width =
      columns == 0
          ? kCycleBarWidth
          : std::clamp<std::size_t>(columns > used ? columns - used : 1, 1, kCycleBarWidth);
  Fields fields;
  for (const ShownTime& t : times) {
    const std::string bar = Bar(static_cast<double>(t.length ? t.length->count() : 0),
                                static_cast<double>(longest), bar_width);
    std::string value = Pad(t.text, width, Align::kRight);
    if (!bar.empty()) value += "  " + style.Accent(bar);
    fields.emplace_back(std::string(t.label), std::move(value));
  }
  RenderFields(out, fields, style);
}

void RenderRoute(std::ostream& out, const TripSummary& summary, const TextStyle& style) {
  Section(out, style, "Rota prevista");
  if (!summary.has_route()) return Nothing(out, style, "sem rota");
  Fields fields;
  for (const ShownFigure& r : RouteFigures(summary)) {
    fields.emplace_back(std::string(r.label), r.text);
  }
  RenderFields(out, fields, style);
}

}  // namespace

void RenderTripText(std::ostream& out, const TripSummary& summary, const TextStyle& style,
                    std::size_t columns) {
  RenderHeader(out, summary, style);
  RenderInvoices(out, summary, style);
  RenderTimeline(out, summary, style);
  RenderDistances(out, summary, style);
  RenderCycle(out, summary, style, columns);
  RenderRoute(out, summary, style);
}

}  // namespace zebevi::cli
