#include "page/trip_page.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "page/hours_minutes.h"
#include "page/html_escape.h"
#include "page/page_style.h"
#include "page/trip_status.h"

namespace zebevi::page {
namespace {

using report::Feature;
using report::TripSummary;

constexpr int kChartRowHeight = 44;

std::string Escaped(std::string_view text) { return HtmlEscape(text); }

std::string DataField(std::string_view field) {
  return " data-field=\"" + std::string(field) + "\"";
}

std::string Empty(std::string_view text) {
  return "<p class=\"empty\">" + Escaped(text) + "</p>\n";
}

std::string SectionStart(std::string_view id, std::string_view title) {
  return "<section id=\"" + std::string(id) + "\">\n<h2>" + Escaped(title) + "</h2>\n";
}

struct Term {
  std::string_view label;
  std::string_view field;
  std::string text;
};

std::string DefinitionList(const std::vector<Term>& terms, std::string_view css_class = {}) {
  std::string html =
      css_class.empty() ? "<dl>\n" : "<dl class=\"" + std::string(css_class) + "\">\n";
  for (const Term& t : terms) {
    html += "<dt>" + Escaped(t.label) + "</dt><dd" + DataField(t.field) + ">" + Escaped(t.text) +
            "</dd>\n";
  }
  return html + "</dl>\n";
}

std::string Document(const TripSummary& summary, const PageView& view, const PageText& text) {
  const bool number = view.shows(Feature::kDocumentNumber);
  const bool order = view.shows(Feature::kOrderNumber);
  if (!number && !order) return "";
  std::string html = "<p class=\"ids\">";
  if (number) {
    const std::string& shown =
        summary.document.number.empty() ? summary.document.id.display : summary.document.number;
    html += "<span>" + Escaped(text.document) + " <strong id=\"document-number\">" +
            Escaped(shown) + "</strong></span>";
  }
  if (order) {
    html += "<span>" + Escaped(text.order) + " <strong" + DataField("document.order_number") + ">" +
            Escaped(summary.document.order_number) + "</strong></span>";
  }
  return html + "</p>\n";
}

std::string VerdictClass(const report::Figure<report::Deadline>& deadline) {
  if (deadline.value == report::Deadline::kOnTime) return "ok";
  if (deadline.value == report::Deadline::kLate) return "late";
  return "unknown";
}

constexpr std::array<std::string_view, 4> kStageNames = {"not-started", "in-transit", "arrived",
                                                         "delivered"};

// "3 h 04 min de atraso", "25 min early", "no horário".
std::string LatenessText(std::chrono::minutes lateness, const PageText& text) {
  const std::int64_t minutes = lateness.count();
  if (minutes == 0) return std::string(text.on_time);
  const std::int64_t magnitude = std::abs(minutes);
  char duration[48];
  if (magnitude >= 60) {
    std::snprintf(duration, sizeof duration, "%lld h %02lld min",
                  static_cast<long long>(magnitude / 60), static_cast<long long>(magnitude % 60));
  } else {
    std::snprintf(duration, sizeof duration, "%lld min", static_cast<long long>(magnitude));
  }
  return std::string(duration) + " " + std::string(minutes > 0 ? text.late : text.early);
}

std::string Status(const TripSummary& summary, const PageText& text) {
  const TripStatus status = StatusOf(summary);
  const std::size_t stage = static_cast<std::size_t>(status.stage);
  std::string html = "<section id=\"status\" data-stage=\"" + std::string(kStageNames[stage]) +
                     "\" aria-label=\"" + Escaped(text.status) + "\">\n<div class=\"glance\">" +
                     "<span class=\"stage\">" + Escaped(text.stages[stage]) + "</span>";
  const report::Figure<report::Deadline>& deadline = summary.header.deadline;
  if (!deadline.display.empty()) {
    html += "<span class=\"verdict " + VerdictClass(deadline) + "\"" +
            DataField("header.deadline") + ">" + Escaped(deadline.display) + "</span>";
  }
  html += "</div>\n<p class=\"latest\">" + Escaped(text.latest_occurrence) + ": ";
  if (status.latest) {
    const report::Occurrence& latest = summary.occurrences[*status.latest];
    html += "<strong>" + Escaped(latest.description) + "</strong> <time>" +
            Escaped(latest.at.display) + "</time>";
  } else {
    html += Escaped(text.no_occurrence);
  }
  html += "</p>\n";
  const report::TripHeader& h = summary.header;
  std::vector<Term> arrivals{
      {text.planned_arrival, "header.arrival.planned", h.planned_arrival.display},
      {text.tracker_estimate, "header.arrival.tracker_estimate", h.tracker_estimate.display}};
  if (!h.actual_arrival.display.empty()) {
    arrivals.push_back({text.actual_arrival, "header.arrival.actual", h.actual_arrival.display});
  }
  html += DefinitionList(arrivals, "arrivals");
  if (status.lateness) {
    const std::int64_t minutes = status.lateness->count();
    const std::string css = minutes > 0 ? "late" : minutes < 0 ? "early" : "on-time";
    html += "<p class=\"lateness " + css + "\">" + Escaped(LatenessText(*status.lateness, text));
    if (status.lateness_is_estimate) html += " " + Escaped(text.estimated);
    html += "</p>\n";
  }
  return html + "</section>\n";
}

// A distance we measured ourselves, in the page's language: "2.677" or "2,677".
std::string Kilometres(double km, Language language) {
  std::string digits = std::to_string(static_cast<long long>(std::llround(km)));
  const char separator = language == Language::kEnglish ? ',' : '.';
  const std::size_t first = digits.front() == '-' ? 1 : 0;
  for (std::size_t at = digits.size(); at > first + 3; at -= 3) {
    digits.insert(at - 3, 1, separator);
  }
  return digits;
}

std::string Percent(double share) {
  char text[16];
  std::snprintf(text, sizeof text, "%.2f%%", std::clamp(share, 0.0, 1.0) * 100);
  return text;
}

std::string Progress(const TripSummary& summary, const PageView& view, const PageText& text) {
  std::string html = SectionStart("progress", text.progress);
  const TripProgress progress = ProgressOf(summary);
  if (!progress.travelled_km) return html + Empty(text.no_readings) + "</section>\n";
  const std::string travelled = Kilometres(*progress.travelled_km, view.language);
  std::string caption = travelled + " " + std::string(text.travelled);
  if (progress.planned_km) {
    caption += " " + std::string(text.of_planned) + " " + summary.route.planned_km.display + " " +
               std::string(text.planned_end);
  }
  // Percentages, not a scaled drawing: the strip fills any width without
  // distorting its marks.
  html +=
      "<svg class=\"strip\" xmlns=\"http://www.w3.org/2000/svg\" width=\"100%\" height=\"30\" "
      "role=\"img\" aria-label=\"" +
      Escaped(caption) +
      "\">\n"
      "<rect class=\"track\" x=\"0\" y=\"10\" width=\"100%\" height=\"10\" rx=\"5\"/>"
      "<rect class=\"done\" x=\"0\" y=\"10\" width=\"" +
      Percent(progress.travelled_share) + "\" height=\"10\" rx=\"5\"/>\n";
  if (progress.planned_share) {
    html += "<rect class=\"planned\" x=\"" + Percent(*progress.planned_share) +
            "\" y=\"2\" width=\"3\" height=\"26\" transform=\"translate(-1.5 0)\"><title>" +
            Escaped(summary.route.planned_km.display + " " + std::string(text.planned_end)) +
            "</title></rect>\n";
  }
  for (const TripProgress::Mark& mark : progress.marks) {
    const report::Occurrence& o = summary.occurrences[mark.occurrence];
    html += "<rect class=\"mark\" x=\"" + Percent(mark.at) +
            "\" y=\"6\" width=\"2\" height=\"18\" transform=\"translate(-1 0)\"><title>" +
            Escaped(o.at.display + " " + o.description) + "</title></rect>\n";
  }
  html += "</svg>\n<p class=\"strip-caption\"><strong>" + Escaped(travelled) + "</strong> " +
          Escaped(text.travelled);
  if (progress.planned_km) {
    html += " <span class=\"note\">" + Escaped(text.of_planned) + " " +
            Escaped(summary.route.planned_km.display) + " " + Escaped(text.planned_end) + "</span>";
  }
  return html + "</p>\n</section>\n";
}

std::string Vehicle(const TripSummary& summary, const PageView& view, const PageText& text) {
  std::vector<Term> terms;
  const report::TripHeader& h = summary.header;
  if (view.shows(Feature::kTractor))
    terms.push_back({text.tractor, "header.tractor", h.tractor.display});
  if (view.shows(Feature::kTrailer))
    terms.push_back({text.trailer, "header.trailer", h.trailer.display});
  if (view.shows(Feature::kDriver)) terms.push_back({text.driver, "header.driver", h.driver});
  if (view.shows(Feature::kTripData)) terms.push_back({text.product, "header.product", h.product});
  for (Term& t : terms) {
    if (t.text.empty()) t.text = "—";
  }
  if (terms.empty()) return "";
  return SectionStart("vehicle", text.vehicle) + DefinitionList(terms) + "</section>\n";
}

std::string Parties(const TripSummary& summary, const PageView& view, const PageText& text) {
  std::vector<Term> terms;
  const report::TripHeader& h = summary.header;
  if (view.shows(Feature::kSender)) terms.push_back({text.sender, "header.sender", h.sender});
  if (view.shows(Feature::kConsignee)) {
    terms.push_back({text.consignee, "header.consignee", h.consignee});
  }
  if (view.shows(Feature::kCustomer))
    terms.push_back({text.customer, "header.customer", h.customer});
  if (terms.empty()) return "";
  return SectionStart("parties", text.parties) + DefinitionList(terms) + "</section>\n";
}

std::string Timeline(const TripSummary& summary, const PageText& text) {
  std::string html =
      SectionStart("occurrences", std::string(text.timeline) + " (" +
                                      std::to_string(summary.occurrences.size()) + ")");
  if (summary.occurrences.empty()) return html + Empty(text.no_occurrence) + "</section>\n";
  html += "<ol class=\"timeline\" reversed>\n";
  for (std::size_t i : NewestFirst(summary.occurrences)) {
    const report::Occurrence& o = summary.occurrences[i];
    html += "<li><time>" + Escaped(o.at.display) + "</time><span class=\"description\">" +
            Escaped(o.description) + "</span>";
    if (!o.odometer_km.display.empty()) {
      html += "<span class=\"odometer\">" + Escaped(text.odometer) + " " +
              Escaped(o.odometer_km.display) + "</span>";
    }
    if (o.since_previous) {
      html += "<span class=\"gap\">+" + HoursMinutes(o.since_previous->count()) + "</span>";
    }
    html += "</li>\n";
  }
  return html + "</ol>\n</section>\n";
}

std::string Invoices(const TripSummary& summary, const PageText& text) {
  std::string html = SectionStart("invoices", std::string(text.invoices) + " (" +
                                                  std::to_string(summary.invoices.size()) + ")");
  if (summary.invoices.empty()) return html + Empty(text.no_invoice) + "</section>\n";
  html += "<table class=\"invoices\">\n<thead><tr><th>" + Escaped(text.invoice_number) +
          "</th><th class=\"n\">" + Escaped(text.invoice_weight) + "</th><th class=\"n\">" +
          Escaped(text.invoice_value) + "</th></tr></thead>\n<tbody>\n";
  for (const report::Invoice& invoice : summary.invoices) {
    html += "<tr><td>" + Escaped(invoice.number.display) + "</td><td class=\"n\">" +
            Escaped(invoice.weight_kg.display) + "</td><td class=\"n\">" +
            Escaped(invoice.declared_value_brl.display) + "</td></tr>\n";
  }
  return html + "</tbody>\n</table>\n</section>\n";
}

std::string Distances(const TripSummary& summary, const PageText& text) {
  std::string html = SectionStart("distances", text.distances);
  const auto& fields = report::kCycleDistanceFields;
  const bool measured = std::any_of(fields.begin(), fields.end(), [&](const auto& f) {
    return !(summary.cycle.distances.*f.member).display.empty();
  });
  if (!measured) return html + Empty(text.distances_not_measured) + "</section>\n";
  html += "<table>\n<tbody>\n";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    html += "<tr><th>" + Escaped(text.distance_labels[i]) + "</th><td class=\"n\"" +
            DataField("cycle.distances." + std::string(fields[i].name)) + ">" +
            Escaped((summary.cycle.distances.*fields[i].member).display) + "</td></tr>\n";
  }
  return html + "</tbody>\n</table>\n</section>\n";
}

// One row a time: its name and its figure on a line, its bar under them, in
// an SVG without a viewBox, so the text keeps its size at any width and the
// bars, drawn in percentages, stretch to it.
std::string CycleChart(const TripSummary& summary, const PageText& text) {
  std::string html = SectionStart("cycle", text.cycle_times);
  if (!summary.has_cycle()) return html + Empty(text.cycle_not_measured) + "</section>\n";
  const auto& fields = report::kCycleTimeFields;
  std::int64_t longest = 0;
  for (const auto& f : fields) {
    const auto& value = (summary.cycle.times.*f.member).value;
    longest = std::max<std::int64_t>(longest, value ? value->count() : 0);
  }
  const int height = static_cast<int>(fields.size()) * kChartRowHeight;
  html +=
      "<div class=\"chart\"><svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" "
      "width=\"100%\" height=\"" +
      std::to_string(height) + "\" aria-label=\"" + Escaped(text.cycle_chart) + "\">\n";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const report::DurationFigure& time = summary.cycle.times.*fields[i].member;
    const std::string label(text.time_labels[i]);
    const int y = static_cast<int>(i) * kChartRowHeight;
    const std::int64_t minutes = std::max<std::int64_t>(0, time.value ? time.value->count() : 0);
    const double share = longest > 0 ? static_cast<double>(minutes) / longest : 0;
    const std::string text_y = std::to_string(y + 17);
    const std::string bar_y = std::to_string(y + 24);
    html += "<text x=\"0\" y=\"" + text_y + "\">" + Escaped(label) + "</text>";
    html += "<text class=\"value\" x=\"100%\" y=\"" + text_y + "\" text-anchor=\"end\"" +
            DataField("cycle.times." + std::string(fields[i].name)) + ">" + Escaped(time.display) +
            "</text>";
    html +=
        "<rect class=\"track\" x=\"0\" y=\"" + bar_y + "\" width=\"100%\" height=\"12\" rx=\"3\"/>";
    html += "<rect class=\"bar\" x=\"0\" y=\"" + bar_y + "\" width=\"" + Percent(share) +
            "\" height=\"12\" rx=\"3\"><title>" + Escaped(label) + ": " + Escaped(time.display) +
            "</title></rect>\n";
  }
  return html + "</svg></div>\n</section>\n";
}

std::string Route(const TripSummary& summary, const PageText& text) {
  std::string html = SectionStart("route", text.route);
  if (!summary.has_route()) return html + Empty(text.no_route) + "</section>\n";
  html += "<dl>\n<dt>" + Escaped(text.route_distance) + "</dt><dd" + DataField("route.planned_km") +
          ">" + Escaped(summary.route.planned_km.display) + "</dd>\n<dt title=\"" +
          Escaped(text.route_time_note) + "\">" + Escaped(text.route_time) + "</dt><dd" +
          DataField("route.planned_time_of_day") + ">" +
          Escaped(summary.route.planned_time_of_day.display) + " <small class=\"note\">(" +
          Escaped(text.route_time_note) + ")</small></dd>\n</dl>\n";
  return html + "</section>\n";
}

std::string Head(const PageText& text, std::string_view title) {
  return "<!DOCTYPE html>\n<html lang=\"" + std::string(text.html_lang) +
         "\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         // An empty icon keeps the browser from asking for one.
         "<link rel=\"icon\" href=\"data:,\">\n<title>" +
         Escaped(title) + "</title>\n<style>" + std::string(kPageStyle) +
         "</style>\n</head>\n<body>\n<main>\n";
}

constexpr std::string_view kTail = "</main>\n</body>\n</html>\n";

std::string NoticePage(std::string_view title, std::string_view message, Language language) {
  return Head(TextOf(language), title) + "<section id=\"notice\">\n<h1>" + Escaped(title) +
         "</h1>\n<p>" + Escaped(message) + "</p>\n</section>\n" + std::string(kTail);
}

}  // namespace

PageView PageView::Everything(Language language) {
  PageView view;
  view.granted.fill(true);
  view.language = language;
  return view;
}

PageView PageView::Granted(const report::FeatureFlags& flags, Language language) {
  PageView view;
  for (Feature feature : report::kFeatures) {
    view.granted[static_cast<std::size_t>(feature)] = flags.granted(feature);
  }
  view.language = language;
  return view;
}

std::string TripPage(const TripSummary& summary, const PageView& view) {
  const PageText& text = TextOf(view.language);
  std::string title(text.title);
  if (view.shows(Feature::kDocumentNumber)) title += " · " + summary.document.id.display;
  std::string html = Head(text, title) + "<header class=\"top\">\n<h1>" + Escaped(text.title) +
                     "</h1>\n" + Document(summary, view, text) + "</header>\n";
  if (!summary.message.empty()) {
    html += "<p class=\"message\">" + Escaped(summary.message) + "</p>\n";
  }
  html += Status(summary, text);
  if (view.shows(Feature::kTripData)) html += Progress(summary, view, text);
  const std::string cards = Vehicle(summary, view, text) + Parties(summary, view, text);
  if (!cards.empty()) html += "<div class=\"cards\">\n" + cards + "</div>\n";
  if (view.shows(Feature::kTripData)) html += Timeline(summary, text);
  if (view.shows(Feature::kInvoices)) html += Invoices(summary, text);
  if (view.shows(Feature::kTimeWindowMeasures)) html += CycleChart(summary, text);
  std::string measures;
  if (view.shows(Feature::kDistanceMeasures)) measures += Distances(summary, text);
  if (view.shows(Feature::kEfficiency)) measures += Route(summary, text);
  if (!measures.empty()) html += "<div class=\"cards\">\n" + measures + "</div>\n";
  return html + std::string(kTail);
}

std::string NotFoundPage(Language language) {
  const PageText& text = TextOf(language);
  return NoticePage(text.not_found_title, text.not_found, language);
}

std::string UnavailablePage(Language language) {
  const PageText& text = TextOf(language);
  return NoticePage(text.unavailable_title, text.unavailable, language);
}

}  // namespace zebevi::page
