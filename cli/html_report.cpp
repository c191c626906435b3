#include "cli/html_report.h"

#include <algorithm>

#include "cli/trip_figures.h"
#include "cli/trip_text.h"

namespace zebevi::cli {
namespace {

constexpr std::string_view kStyle = R"(
:root { color-scheme: light; --ink: #1d2330; --muted: #5f6b7a; --line: #d9dee5;
        --accent: #1f6fb2; --ok: #1b7f3b; --late: #b3261e; --unknown: #9a6700; }
* { box-sizing: border-box; }
body { margin: 0; background: #f4f6f9; color: var(--ink);
       font: 15px/1.45 system-ui, -apple-system, "Segoe UI", Roboto, "DejaVu Sans", sans-serif; }
main { max-width: 1040px; margin: 0 auto; padding: 28px 24px 40px; }
header { display: flex; flex-wrap: wrap; align-items: baseline; gap: 12px 20px; margin-bottom: 18px; }
h1 { font-size: 24px; margin: 0; }
h2 { font-size: 17px; margin: 0 0 12px; }
.document { font-size: 18px; color: var(--muted); }
.document strong { color: var(--ink); }
.verdict { padding: 3px 12px; border-radius: 999px; font-weight: 600; color: #fff; }
.verdict.ok { background: var(--ok); }
.verdict.late { background: var(--late); }
.verdict.unknown { background: var(--unknown); }
.message { background: #fff4ce; border: 1px solid #e8d38a; padding: 8px 12px; border-radius: 6px; }
section { background: #fff; border: 1px solid var(--line); border-radius: 10px;
          padding: 18px 20px; margin-top: 16px; }
.grid { display: grid; grid-template-columns: 1fr 1fr; gap: 16px; margin-top: 16px; }
.grid section { margin-top: 0; }
dl { display: grid; grid-template-columns: max-content 1fr; gap: 6px 18px; margin: 0; }
dl.wide { grid-template-columns: max-content 1fr max-content 1fr; }
dt { color: var(--muted); }
dd { margin: 0; font-weight: 500; }
table { border-collapse: collapse; width: 100%; }
th, td { padding: 6px 10px; border-bottom: 1px solid var(--line); text-align: left; }
th { color: var(--muted); font-weight: 600; }
td.n, th.n { text-align: right; font-variant-numeric: tabular-nums; }
.empty { color: var(--muted); margin: 0; }
ol.timeline { list-style: none; margin: 0; padding: 0 0 0 18px; border-left: 3px solid var(--line); }
ol.timeline li { position: relative; padding: 4px 0 12px 16px; }
ol.timeline li::before { content: ""; position: absolute; left: -27px; top: 7px; width: 13px;
                         height: 13px; border-radius: 50%; background: var(--accent);
                         border: 3px solid #fff; }
ol.timeline time { font-variant-numeric: tabular-nums; font-weight: 600; margin-right: 10px; }
ol.timeline .odometer, ol.timeline .gap { color: var(--muted); margin-left: 10px; font-size: 13px; }
svg text { font: 13px system-ui, "DejaVu Sans", sans-serif; fill: var(--ink); }
svg .value { fill: var(--muted); font-variant-numeric: tabular-nums; }
svg rect.bar { fill: var(--accent); }
svg rect.track { fill: #eef1f5; }
.note { color: var(--muted); font-weight: 400; }
)";

constexpr int kChartWidth = 960;
constexpr int kLabelWidth = 230;
constexpr int kBarArea = 620;
constexpr int kRowHeight = 28;

std::string VerdictClass(const report::Figure<report::Deadline>& deadline) {
  if (deadline.value == report::Deadline::kOnTime) return "ok";
  if (deadline.value == report::Deadline::kLate) return "late";
  return "unknown";
}

std::string Empty(std::string_view text) {
  return "<p class=\"empty\">" + HtmlEscape(text) + "</p>\n";
}

std::string DataField(const std::string& field) { return " data-field=\"" + field + "\""; }

// A <dt> for `figure`, with `note` as its title when there is one.
std::string Term(const ShownFigure& figure, std::string_view note = {}) {
  const std::string title = note.empty() ? "" : " title=\"" + HtmlEscape(note) + "\"";
  return "<dt" + title + ">" + HtmlEscape(figure.label) + "</dt>";
}

std::string DefinitionList(const std::vector<ShownFigure>& figures, bool wide = false) {
  std::string html = wide ? "<dl class=\"wide\">\n" : "<dl>\n";
  for (const ShownFigure& f : figures) {
    html += Term(f) + "<dd" + DataField(f.field) + ">" + HtmlEscape(f.text) + "</dd>\n";
  }
  return html + "</dl>\n";
}

std::string Invoices(const report::TripSummary& summary) {
  std::string html = "<section id=\"notas\">\n<h2>Notas fiscais (" +
                     std::to_string(summary.invoices.size()) + ")</h2>\n";
  if (summary.invoices.empty()) return html + Empty("Nenhuma nota fiscal.") + "</section>\n";
  html += "<table>\n<thead><tr><th>" + HtmlEscape(kInvoiceNumberLabel) + "</th><th class=\"n\">" +
          HtmlEscape(kInvoiceWeightLabel) + "</th><th class=\"n\">" +
          HtmlEscape(kInvoiceValueLabel) + "</th></tr></thead>\n<tbody>\n";
  for (const report::Invoice& invoice : summary.invoices) {
    html += "<tr><td>" + HtmlEscape(invoice.number.display) + "</td><td class=\"n\">" +
            HtmlEscape(invoice.weight_kg.display) + "</td><td class=\"n\">" +
            HtmlEscape(invoice.declared_value_brl.display) + "</td></tr>\n";
  }
  return html + "</tbody>\n</table>\n</section>\n";
}

std::string Timeline(const report::TripSummary& summary) {
  std::string html = "<section id=\"ocorrencias\">\n<h2>Ocorrências de rastreamento (" +
                     std::to_string(summary.occurrences.size()) + ")</h2>\n";
  if (summary.occurrences.empty()) return html + Empty("Nenhuma ocorrência.") + "</section>\n";
  html += "<ol class=\"timeline\">\n";
  for (const report::Occurrence& o : summary.occurrences) {
    html += "<li><time>" + HtmlEscape(o.at.display) + "</time><span class=\"description\">" +
            HtmlEscape(o.description) + "</span>";
    if (!o.odometer_km.display.empty()) {
      html += "<span class=\"odometer\">odômetro " + HtmlEscape(o.odometer_km.display) + "</span>";
    }
    if (o.since_previous) {
      html += "<span class=\"gap\">+" + HoursMinutes(o.since_previous->count()) + "</span>";
    }
    html += "</li>\n";
  }
  return html + "</ol>\n</section>\n";
}

std::string Distances(const report::TripSummary& summary) {
  std::string html = "<section id=\"distancias\">\n<h2>Distâncias (km)</h2>\n";
  const std::vector<ShownFigure> distances = DistanceFigures(summary);
  if (!HasText(distances)) return html + Empty("Distâncias não apuradas.") + "</section>\n";
  html += "<table>\n<tbody>\n";
  for (const ShownFigure& d : distances) {
    html += "<tr><th>" + HtmlEscape(d.label) + "</th><td class=\"n\"" + DataField(d.field) + ">" +
            HtmlEscape(d.text) + "</td></tr>\n";
  }
  return html + "</tbody>\n</table>\n</section>\n";
}

std::string CycleChart(const report::TripSummary& summary) {
  std::string html = "<section id=\"ciclo\">\n<h2>Tempos do ciclo (h:min)</h2>\n";
  if (!summary.has_cycle()) return html + Empty("Ciclo não apurado.") + "</section>\n";
  const std::vector<ShownTime> times = TimeFigures(summary);
  std::int64_t longest = 0;
  for (const ShownTime& t : times) {
    longest = std::max<std::int64_t>(longest, t.length ? t.length->count() : 0);
  }
  const int height = static_cast<int>(times.size()) * kRowHeight;
  html += "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" width=\"100%\" viewBox=\"0 0 " +
          std::to_string(kChartWidth) + ' ' + std::to_string(height) +
          "\" aria-label=\"Tempos do ciclo da viagem\">\n";
  for (std::size_t i = 0; i < times.size(); ++i) {
    const ShownTime& t = times[i];
    const int y = static_cast<int>(i) * kRowHeight;
    const std::int64_t minutes = std::max<std::int64_t>(0, t.length ? t.length->count() : 0);
    const int length = longest > 0 ? static_cast<int>(minutes * kBarArea / longest) : 0;
    const std::string row_y = std::to_string(y + 19);
    html += "<text x=\"0\" y=\"" + row_y + "\">" + HtmlEscape(t.label) + "</text>";
    html += "<rect class=\"track\" x=\"" + std::to_string(kLabelWidth) + "\" y=\"" +
            std::to_string(y + 6) + "\" width=\"" + std::to_string(kBarArea) +
            "\" height=\"16\" rx=\"3\"/>";
    html += "<rect class=\"bar\" x=\"" + std::to_string(kLabelWidth) + "\" y=\"" +
            std::to_string(y + 6) + "\" width=\"" + std::to_string(length) +
            "\" height=\"16\" rx=\"3\"><title>" + HtmlEscape(t.label) + ": " + HtmlEscape(t.text) +
            "</title></rect>";
    html += "<text class=\"value\" x=\"" + std::to_string(kLabelWidth + kBarArea + 12) + "\" y=\"" +
            row_y + "\"" + DataField(t.field) + ">" + HtmlEscape(t.text) + "</text>\n";
  }
  return html + "</svg>\n</section>\n";
}

std::string Route(const report::TripSummary& summary) {
  std::string html = "<section id=\"rota\">\n<h2>Rota prevista</h2>\n";
  if (!summary.has_route()) return html + Empty("Sem rota.") + "</section>\n";
  const std::vector<ShownFigure> route = RouteFigures(summary);
  html += "<dl>\n" + Term(route[0]) + "<dd" + DataField(route[0].field) + ">" +
          HtmlEscape(route[0].text) + "</dd>\n" + Term(route[1], kRouteTimeNote) + "<dd" +
          DataField(route[1].field) + ">" + HtmlEscape(route[1].text) + " <small class=\"note\">(" +
          HtmlEscape(kRouteTimeNote) + ")</small></dd>\n</dl>\n";
  return html + "</section>\n";
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string TripHtml(const report::TripSummary& summary) {
  const report::TripDocument& document = summary.document;
  const report::Figure<report::Deadline>& deadline = summary.header.deadline;
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"pt-BR\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      // An empty icon keeps the browser from asking for one.
      "<link rel=\"icon\" href=\"data:,\">\n<title>Espelho da viagem · documento " +
      HtmlEscape(document.id.display) + "</title>\n<style>" + std::string(kStyle) +
      "</style>\n</head>\n<body>\n<main>\n<header>\n<h1>Espelho da viagem</h1>\n"
      "<span class=\"document\">Documento <strong id=\"document-number\">" +
      HtmlEscape(document.number.empty() ? document.id.display : document.number) +
      "</strong></span>\n";
  if (!deadline.display.empty()) {
    html += "<span class=\"verdict " + VerdictClass(deadline) + "\">" +
            HtmlEscape(deadline.display) + "</span>\n";
  }
  html += "</header>\n";
  if (!summary.message.empty()) {
    html += "<p class=\"message\">" + HtmlEscape(summary.message) + "</p>\n";
  }
  // The chart comes right after the header, where a screen shows it first.
  html += "<section id=\"viagem\">\n<h2>Viagem</h2>\n" +
          DefinitionList(HeaderFigures(summary), true) + "</section>\n";
  html += CycleChart(summary);
  html += "<div class=\"grid\">\n" + Distances(summary) + Route(summary) + "</div>\n";
  html += Invoices(summary);
  html += Timeline(summary);
  return html + "</main>\n</body>\n</html>\n";
}

}  // namespace zebevi::cli
