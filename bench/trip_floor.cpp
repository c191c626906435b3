#include "bench/trip_floor.h"

namespace zebevi::bench {

const char* ProcedureName(TripQuery query) {
  switch (query) {
    case TripQuery::kExchange:
      return "SP_ZEB_CON_TROCA_DOCTO_TRANSP";
    case TripQuery::kHeader:
      return "SP_ZEB_CON_Dados_Doc_Viagem11";
    case TripQuery::kInvoices:
      return "SP_ZEB_CON_NOTA_FISCAL_DOCTO3";
    case TripQuery::kTracking:
      return "SP_ZEB_CON_TRACKING_CICLO5";
    case TripQuery::kCycle:
      return "SP_ZEB_CON_Resumo_Ciclo2";
    case TripQuery::kRoute:
      return "SP_ZEB_CON_Tempo_km_Rota";
  }
  return "";
}

std::vector<std::string> TripFloor::KeyColumns(TripQuery query) {
  if (query == TripQuery::kExchange) return {"retorno", "DOCTO_TRANSP_PAI_ID"};
  if (query == TripQuery::kHeader) return {"rota_id"};
  return {};
}

std::int64_t TripFloor::Summary(std::int64_t document) {
  BeginSummary();
  const std::int64_t checksum = Queries(document);
  EndSummary();
  return checksum;
}

std::int64_t TripFloor::Queries(std::int64_t document) {
  std::int64_t checksum = 0;
  std::vector<std::int64_t> keys;
  // As the summary starts: no parent, no flag, no route.
  std::int64_t parent = 0;
  std::string flag;
  if (Execute(TripQuery::kExchange, {document}, checksum, keys)) {
    const bool alone = keys[0] != 0;
    parent = alone ? document : keys[1];
    flag = alone ? "N" : "S";
  }
  if (!Execute(TripQuery::kHeader, {document, parent, flag}, checksum, keys)) return checksum;
  const std::int64_t route = keys[0];
  Execute(TripQuery::kInvoices, {document, parent, flag}, checksum, keys);
  Execute(TripQuery::kTracking, {document, parent, flag}, checksum, keys);
  Execute(TripQuery::kCycle, {document, flag}, checksum, keys);
  if (route != 0) Execute(TripQuery::kRoute, {route}, checksum, keys);
  return checksum;
}

}  // namespace zebevi::bench
