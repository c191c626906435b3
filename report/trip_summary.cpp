#include "zebevi/trip_summary.h"

#include <algorithm>

#include "report/entry_call.h"
#include "report/figure_reading.h"

namespace zebevi::report {

const std::array<BlockField<CycleDistances, NumberFigure>, 4> kCycleDistanceFields{{
    {"total_km", "outvntKm_Total", &CycleDistances::total_km},
    {"to_sender_km", "outvntkm_ate_Rem", &CycleDistances::to_sender_km},
    {"sender_to_consignee_km", "outvntKm_Rem_Dest", &CycleDistances::sender_to_consignee_km},
    {"after_consignee_km", "outvntKm_Apos_Dest", &CycleDistances::after_consignee_km},
}};

const std::array<BlockField<CycleTimes, DurationFigure>, 13> kCycleTimeFields{{
    {"operation_minutes", "outvntTempo_Operacao", &CycleTimes::operation},
    {"transport_minutes", "outvntTempo_Transporte", &CycleTimes::transport},
    {"to_sender_minutes", "outvntTempo_Ate_Rem", &CycleTimes::to_sender},
    {"return_minutes", "outvntTempo_Retorno", &CycleTimes::return_trip},
    {"loading_and_unloading_minutes", "outvntTempo_Total_Carga_Desc",
     &CycleTimes::loading_and_unloading},
    {"loading_minutes", "outvntTempo_Carga", &CycleTimes::loading},
    {"unloading_minutes", "outvntTempo_Descarga", &CycleTimes::unloading},
    {"waiting_window_minutes", "outvntTempo_Janela_Espera", &CycleTimes::waiting_window},
    {"after_loading_minutes", "outvntTempo_Pos_Carga", &CycleTimes::after_loading},
    {"after_unloading_minutes", "outvntTempo_Pos_desc", &CycleTimes::after_unloading},
    {"before_loading_minutes", "outvntTempo_Ant_Carga", &CycleTimes::before_loading},
    {"before_unloading_minutes", "outvntTempo_Ant_Desc", &CycleTimes::before_unloading},
    {"sender_to_consignee_minutes", "outvntTempo_Rem_Des", &CycleTimes::sender_to_consignee},
}};

namespace {

TripHeader ReadHeader(const EntryCall& call) {
  TripHeader header;
  header.tractor = VehicleOf(call.Get("outvntCavalo"));
  header.trailer = VehicleOf(call.Get("outvntCarreta"));
  header.driver = DisplayText(call.Get("outvntColaborador"));
  header.product = DisplayText(call.Get("outvntProduto"));
  header.sender = DisplayText(call.Get("outvntRemetente"));
  header.consignee = DisplayText(call.Get("outvntDestinatario"));
  header.customer = DisplayText(call.Get("outvntCliente"));
  header.actual_arrival = DateTimeOf(call.Get("outvntData_Chegada_Cliente_Efetiva"));
  header.planned_arrival = DateTimeOf(call.Get("outvntdata_Chegada_cliente_prevista"));
  header.tracker_estimate = DateTimeOf(call.Get("outvntData_Prevista_Rastreador"));
  header.deadline = DeadlineOf(call.Get("outvntFlag_no_prazo"));
  return header;
}

std::vector<Invoice> ReadInvoices(const EntryCall& call) {
  std::vector<Invoice> invoices;
  for (const auto& [number, weight, value] :
       call.Rows("outarrvntNota_Fiscal", "outarrvntPeso_Real", "outarrvntVal_Declarado")) {
    invoices.push_back({IdentifierOf(number), NumberOf(weight), NumberOf(value)});
  }
  return invoices;
}

std::vector<Occurrence> ReadOccurrences(const EntryCall& call) {
  std::vector<Occurrence> occurrences;
  for (const auto& [at, description, odometer] :
       call.Rows("outarrvntData_Ocor", "outarrvntDescr_Ocor", "outarrvntOdometro_Ocor")) {
    Occurrence occurrence{MinuteOf(at), DisplayText(description), NumberOf(odometer), {}};
    if (!occurrences.empty() && occurrence.at.value && occurrences.back().at.value) {
      occurrence.since_previous = *occurrence.at.value - *occurrences.back().at.value;
    }
    occurrences.push_back(std::move(occurrence));
  }
  return occurrences;
}

}  // namespace

bool TripSummary::has_cycle() const {
  return std::any_of(kCycleTimeFields.begin(), kCycleTimeFields.end(), [&](const auto& field) {
    return !(cycle.times.*field.member).display.empty();
  });
}

bool TripSummary::has_route() const {
  return !route.planned_km.display.empty() || !route.planned_time_of_day.display.empty();
}

TripSummary Trip(const TripQuery& query) {
  EntryCall call("gConsulta_Espelho_Viagem");
  call.Set("invntConecta_db", Value::String(query.connection));
  call.Set("invntUsuario_Internet_id", query.user);
  call.Set("invntGrupo_Usuario_Id", query.user_group);
  call.Set("invntCliente_id", query.customer);
  call.Set("invntGrupo_Cliente_id", query.customer_group);
  call.Set("invntDOCTO_TRANSPORTE_ID", query.document);

  TripSummary summary;
  summary.status = call.Run();
  summary.message = DisplayText(call.Get("outvntMsg_ret"));
  summary.document = {IdentifierOf(call.Get("invntDOCTO_TRANSPORTE_ID")),
                      DisplayText(call.Get("outvntNum_docto_Transporte")),
                      DisplayText(call.Get("outvntNum_Pedido"))};
  summary.header = ReadHeader(call);
  summary.invoices = ReadInvoices(call);
  summary.occurrences = ReadOccurrences(call);
  for (const auto& field : kCycleDistanceFields) {
    summary.cycle.distances.*field.member = NumberOf(call.Get(field.output));
  }
  for (const auto& field : kCycleTimeFields) {
    summary.cycle.times.*field.member = DurationOf(call.Get(field.output));
  }
  summary.route = {NumberOf(call.Get("outvntKm_Ate_Dest_Rota")),
                   TimeOfDayOf(call.Get("outvntTempo_Ate_Dest_Rota"))};
  return summary;
}

}  // namespace zebevi::report
