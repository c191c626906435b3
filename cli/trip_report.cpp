#include "cli/trip_report.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "zebevi/date.h"

namespace zebevi::cli {

const std::array<OutputLabel, 13> kHeaderOutputs{{
    {"outvntNum_Pedido", "Pedido"},
    {"outvntNum_docto_Transporte", "Documento"},
    {"outvntCavalo", "Cavalo"},
    {"outvntCarreta", "Carreta"},
    {"outvntColaborador", "Motorista"},
    {"outvntProduto", "Produto"},
    {"outvntRemetente", "Remetente"},
    {"outvntDestinatario", "Destinatário"},
    {"outvntCliente", "Cliente"},
    {"outvntData_Chegada_Cliente_Efetiva", "Chegada efetiva"},
    {"outvntdata_Chegada_cliente_prevista", "Chegada prevista"},
    {"outvntData_Prevista_Rastreador", "Previsão do rastreador"},
    {"outvntFlag_no_prazo", "Prazo"},
}};

const std::array<OutputLabel, 3> kInvoiceLists{{
    {"outarrvntNota_Fiscal", "Nota fiscal"},
    {"outarrvntPeso_Real", "Peso real (kg)"},
    {"outarrvntVal_Declarado", "Valor declarado (R$)"},
}};

const std::array<OutputLabel, 3> kOccurrenceLists{{
    {"outarrvntData_Ocor", "Data"},
    {"outarrvntDescr_Ocor", "Ocorrência"},
    {"outarrvntOdometro_Ocor", "Odômetro"},
}};

const std::array<OutputLabel, 4> kDistanceOutputs{{
    {"outvntKm_Total", "Total"},
    {"outvntkm_ate_Rem", "Até o remetente"},
    {"outvntKm_Rem_Dest", "Do remetente ao destinatário"},
    {"outvntKm_Apos_Dest", "Após o destinatário"},
}};

const std::array<OutputLabel, 13> kTimeOutputs{{
    {"outvntTempo_Operacao", "Operação"},
    {"outvntTempo_Transporte", "Transporte"},
    {"outvntTempo_Ate_Rem", "Até o remetente"},
    {"outvntTempo_Retorno", "Retorno"},
    {"outvntTempo_Total_Carga_Desc", "Carga e descarga"},
    {"outvntTempo_Carga", "Carga"},
    {"outvntTempo_Descarga", "Descarga"},
    {"outvntTempo_Janela_Espera", "Janela de espera"},
    {"outvntTempo_Pos_Carga", "Após a carga"},
    {"outvntTempo_Pos_desc", "Após a descarga"},
    {"outvntTempo_Ant_Carga", "Antes da carga"},
    {"outvntTempo_Ant_Desc", "Antes da descarga"},
    {"outvntTempo_Rem_Des", "Do remetente ao destinatário"},
}};

const std::array<OutputLabel, 2> kRouteOutputs{{
    {"outvntKm_Ate_Dest_Rota", "Distância (km)"},
    {"outvntTempo_Ate_Dest_Rota", "Tempo"},
}};

namespace {

std::optional<std::int64_t> Number(std::string_view text) {
  std::int64_t n = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  return n;
}

// Minutes since the day count's epoch of a "dd/mm/yyyy hh:mm" text.
std::optional<std::int64_t> MomentMinutes(std::string_view when) {
  if (when.size() != 16 || when[2] != '/' || when[5] != '/' || when[10] != ' ' || when[13] != ':') {
    return {};
  }
  const auto day = Number(when.substr(0, 2));
  const auto month = Number(when.substr(3, 2));
  const auto year = Number(when.substr(6, 4));
  const auto hour = Number(when.substr(11, 2));
  const auto minute = Number(when.substr(14, 2));
  if (!day || !month || !year || !hour || !minute) return {};
  const DateParts parts{static_cast<int>(*year), static_cast<int>(*month),  static_cast<int>(*day),
                        static_cast<int>(*hour), static_cast<int>(*minute), 0};
  if (!IsValidParts(parts)) return {};
  return std::llround(DaysFromParts(parts) * 24 * 60);
}

template <std::size_t N>
std::vector<LabelledText> Labelled(const OperationCall& call,
                                   const std::array<OutputLabel, N>& outputs) {
  std::vector<LabelledText> block;
  for (const OutputLabel& o : outputs) {
    block.push_back({o.output, o.label, DisplayText(call.Get(o.output))});
  }
  return block;
}

}  // namespace

bool HasText(const std::vector<LabelledText>& block) {
  return std::any_of(block.begin(), block.end(),
                     [](const LabelledText& field) { return !field.text.empty(); });
}

std::string TripReport::HeaderText(std::string_view output) const {
  for (const LabelledText& field : header) {
    if (field.output == output) return field.text;
  }
  return "";
}

bool TripReport::has_cycle() const {
  for (const CycleTime& time : times) {
    if (!time.text.empty()) return true;
  }
  return false;
}

std::optional<std::int64_t> MinutesOf(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return {};
  const auto hours = Number(text.substr(0, colon));
  std::string_view minutes_text = text.substr(colon + 1);
  // A negative remainder repeats its sign after the colon ("-1:-30").
  if (negative && !minutes_text.empty() && minutes_text.front() == '-')
    minutes_text.remove_prefix(1);
  const auto minutes = Number(minutes_text);
  if (!hours || !minutes || *hours < 0 || *minutes < 0 || *minutes >= 60) return {};
  const std::int64_t total = *hours * 60 + *minutes;
  return negative ? -total : total;
}

OperationCall CallTripSummary(const TripQuery& query) {
  OperationCall call(kTripOperation);
  call.Set("invntConecta_db", Value::String(query.connection));
  call.Set("invntUsuario_Internet_id", query.user);
  call.Set("invntCliente_id", query.customer);
  call.Set("invntGrupo_Cliente_id", query.customer_group);
  call.Set("invntDOCTO_TRANSPORTE_ID", query.document);
  call.Run();
  return call;
}

TripReport ReadTripReport(const OperationCall& call) {
  TripReport report;
  report.document = DisplayText(call.Get("invntDOCTO_TRANSPORTE_ID"));
  report.result = ResultCode(call.result());
  report.message = DisplayText(call.Get("outvntMsg_ret"));
  report.header = Labelled(call, kHeaderOutputs);

  for (std::size_t i = 0; i < call.ListSize(kInvoiceLists[0].output); ++i) {
    report.invoices.push_back({DisplayText(call.Element(kInvoiceLists[0].output, i)),
                               DisplayText(call.Element(kInvoiceLists[1].output, i)),
                               DisplayText(call.Element(kInvoiceLists[2].output, i))});
  }
  std::optional<std::int64_t> previous;
  for (std::size_t i = 0; i < call.ListSize(kOccurrenceLists[0].output); ++i) {
    Occurrence occurrence{DisplayText(call.Element(kOccurrenceLists[0].output, i)),
                          DisplayText(call.Element(kOccurrenceLists[1].output, i)),
                          DisplayText(call.Element(kOccurrenceLists[2].output, i)),
                          {}};
    const std::optional<std::int64_t> moment = MomentMinutes(occurrence.when);
    if (moment && previous) occurrence.minutes_since_previous = *moment - *previous;
    previous = moment;
    report.occurrences.push_back(std::move(occurrence));
  }
  report.distances = Labelled(call, kDistanceOutputs);
  for (const OutputLabel& o : kTimeOutputs) {
    std::string text = DisplayText(call.Get(o.output));
    const std::optional<std::int64_t> minutes = MinutesOf(text);
    report.times.push_back({o.output, o.label, std::move(text), minutes});
  }
  report.route = Labelled(call, kRouteOutputs);
  return report;
}

}  // namespace zebevi::cli
