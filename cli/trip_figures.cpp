#include "cli/trip_figures.h"

#include <algorithm>
#include <array>

namespace zebevi::cli {
namespace {

using report::CycleDistances;
using report::CycleTimes;
using report::DurationFigure;
using report::NumberFigure;

template <typename Block, typename BlockFigure>
struct Labelled {
  BlockFigure Block::*member;
  std::string_view label;
};

const std::array<Labelled<CycleDistances, NumberFigure>, 4> kDistanceLabels{{
    {&CycleDistances::total_km, "Total"},
    {&CycleDistances::to_sender_km, "Até o remetente"},
    {&CycleDistances::sender_to_consignee_km, "Do remetente ao destinatário"},
    {&CycleDistances::after_consignee_km, "Após o destinatário"},
}};

const std::array<Labelled<CycleTimes, DurationFigure>, 13> kTimeLabels{{
    {&CycleTimes::operation, "Operação"},
    {&CycleTimes::transport, "Transporte"},
    {&CycleTimes::to_sender, "Até o remetente"},
    {&CycleTimes::return_trip, "Retorno"},
    {&CycleTimes::loading_and_unloading, "Carga e descarga"},
    {&CycleTimes::loading, "Carga"},
    {&CycleTimes::unloading, "Descarga"},
    {&CycleTimes::waiting_window, "Janela de espera"},
    {&CycleTimes::after_loading, "Após a carga"},
    {&CycleTimes::after_unloading, "Após a descarga"},
    {&CycleTimes::before_loading, "Antes da carga"},
    {&CycleTimes::before_unloading, "Antes da descarga"},
    {&CycleTimes::sender_to_consignee, "Do remetente ao destinatário"},
}};

// "prefix.name" of the block field held in `member`.
template <typename Fields, typename Member>
std::string FieldOf(std::string_view prefix, const Fields& fields, Member member) {
  const auto field =
      std::find_if(fields.begin(), fields.end(), [&](const auto& f) { return f.member == member; });
  return std::string(prefix) + std::string(field->name);
}

}  // namespace

std::vector<ShownFigure> HeaderFigures(const report::TripSummary& summary) {
  const report::TripHeader& h = summary.header;
  return {
      {"Pedido", "document.order_number", summary.document.order_number},
      {"Documento", "document.number", summary.document.number},
      {"Cavalo", "header.tractor", h.tractor.display},
      {"Carreta", "header.trailer", h.trailer.display},
      {"Motorista", "header.driver", h.driver},
      {"Produto", "header.product", h.product},
      {"Remetente", "header.sender", h.sender},
      {"Destinatário", "header.consignee", h.consignee},
      {"Cliente", "header.customer", h.customer},
      {"Chegada efetiva", "header.arrival.actual", h.actual_arrival.display},
      {"Chegada prevista", "header.arrival.planned", h.planned_arrival.display},
      {"Previsão do rastreador", "header.arrival.tracker_estimate", h.tracker_estimate.display},
      {"Prazo", "header.deadline", h.deadline.display},
  };
}

std::vector<ShownFigure> DistanceFigures(const report::TripSummary& summary) {
  std::vector<ShownFigure> figures;
  for (const auto& [member, label] : kDistanceLabels) {
    figures.push_back({label, FieldOf("cycle.distances.", report::kCycleDistanceFields, member),
                       (summary.cycle.distances.*member).display});
  }
  return figures;
}

std::vector<ShownTime> TimeFigures(const report::TripSummary& summary) {
  std::vector<ShownTime> figures;
  for (const auto& [member, label] : kTimeLabels) {
    const DurationFigure& time = summary.cycle.times.*member;
    figures.push_back({label, FieldOf("cycle.times.", report::kCycleTimeFields, member),
                       time.display, time.value});
  }
  return figures;
}

std::vector<ShownFigure> RouteFigures(const report::TripSummary& summary) {
  return {
      {"Distância (km)", "route.planned_km", summary.route.planned_km.display},
      {"Tempo (hora do dia)", "route.planned_time_of_day",
       summary.route.planned_time_of_day.display},
  };
}

bool HasText(const std::vector<ShownFigure>& figures) {
  return std::any_of(figures.begin(), figures.end(),
                     [](const ShownFigure& f) { return !f.text.empty(); });
}

}  // namespace zebevi::cli
