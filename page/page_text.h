// Every label of the trip page, in Portuguese (the default) and English.
// Texts from the component (messages, descriptions, figures) are shown as
// the component gives them, in either language.
#ifndef ZEBEVI_PAGE_PAGE_TEXT_H_
#define ZEBEVI_PAGE_PAGE_TEXT_H_

#include <array>
#include <string_view>

#include "page/trip_status.h"

namespace zebevi::page {

enum class Language { kPortuguese, kEnglish };

// "en" is English; anything else, or nothing, Portuguese.
Language LanguageNamed(std::string_view code);

struct PageText {
  std::string_view html_lang;  // "pt-BR"
  std::string_view title;      // the page's heading
  std::string_view document;
  std::string_view order;
  // The stages, in the order of Stage.
  std::array<std::string_view, 4> stages;
  std::string_view status;
  std::string_view latest_occurrence;
  std::string_view no_occurrence;
  std::string_view planned_arrival;
  std::string_view tracker_estimate;
  std::string_view actual_arrival;
  std::string_view deadline;
  std::string_view late;  // "{} late": the duration goes before
  std::string_view early;
  std::string_view on_time;
  std::string_view estimated;  // after the lateness, when it comes from the tracker's estimate
  std::string_view progress;
  std::string_view travelled;    // "2677 km travelled"
  std::string_view of_planned;   // "of 2297,4 km planned"
  std::string_view planned_end;  // the mark where the planned distance ends
  std::string_view no_readings;
  std::string_view vehicle;
  std::string_view tractor;
  std::string_view trailer;
  std::string_view driver;
  std::string_view product;
  std::string_view parties;
  std::string_view sender;
  std::string_view consignee;
  std::string_view customer;
  std::string_view timeline;
  std::string_view odometer;
  std::string_view invoices;
  std::string_view no_invoice;
  std::string_view invoice_number;
  std::string_view invoice_weight;
  std::string_view invoice_value;
  std::string_view distances;
  std::string_view distances_not_measured;
  // In the order of report::kCycleDistanceFields.
  std::array<std::string_view, 4> distance_labels;
  std::string_view cycle_times;
  std::string_view cycle_chart;  // the chart's accessible name
  std::string_view cycle_not_measured;
  // In the order of report::kCycleTimeFields.
  std::array<std::string_view, 13> time_labels;
  std::string_view route;
  std::string_view no_route;
  std::string_view route_distance;
  std::string_view route_time;
  std::string_view route_time_note;
  std::string_view not_found_title;
  std::string_view not_found;
  std::string_view unavailable_title;
  std::string_view unavailable;
};

const PageText& TextOf(Language language);

}  // namespace zebevi::page

#endif  // ZEBEVI_PAGE_PAGE_TEXT_H_
