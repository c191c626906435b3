#include "zebevi/feature_flags.h"

#include "report/entry_call.h"
#include "report/figure_reading.h"

namespace zebevi::report {
namespace {

struct FeatureOutput {
  std::string_view output;
  std::string_view name;
};

// Feature code 114 + position.
constexpr std::array<FeatureOutput, kFeatureCount> kOutputs{{
    {"outvntFlag_num_pedido", "order_number"},
    {"outvntFlag_num_docto_transporte", "document_number"},
    {"outvntFlag_Cavalo", "tractor"},
    {"outvntFlag_Carreta", "trailer"},
    {"outvntFlag_Motorista", "driver"},
    {"outvntFlag_nota_fiscal", "invoices"},
    {"outvntFlag_dados_viagem", "trip_data"},
    {"outvntFlag_Apuracao_Distancia", "distance_measures"},
    {"outvntFlag_Apuracao_Janela_Tempo", "time_window_measures"},
    {"outvntFlag_Eficiencia", "efficiency"},
    {"outvntFlag_remetente", "sender"},
    {"outvntFlag_destinatario", "consignee"},
    {"outvntFlag_Cliente", "customer"},
}};
constexpr int kFirstCode = 114;

const FeatureOutput& OutputOf(Feature feature) {
  return kOutputs[static_cast<std::size_t>(feature)];
}

}  // namespace

const std::array<Feature, kFeatureCount> kFeatures{
    Feature::kOrderNumber, Feature::kDocumentNumber,   Feature::kTractor,
    Feature::kTrailer,     Feature::kDriver,           Feature::kInvoices,
    Feature::kTripData,    Feature::kDistanceMeasures, Feature::kTimeWindowMeasures,
    Feature::kEfficiency,  Feature::kSender,           Feature::kConsignee,
    Feature::kCustomer};

int FeatureCode(Feature feature) { return kFirstCode + static_cast<int>(feature); }

std::string_view FeatureName(Feature feature) { return OutputOf(feature).name; }

FeatureFlags Features(const FeaturesQuery& query) {
  EntryCall call("gConsulta_Grupo_Usuario_Parti");
  call.Set("invntConecta_db", Value::String(query.connection));
  call.Set("invntUsuario_Internet_id", query.user);
  call.Set("invntempresa_Id", query.company);
  call.Set("invntGrupo_Usuario_Id", query.group);

  FeatureFlags flags;
  flags.status = call.Run();
  flags.message = DisplayText(call.Get("outvntMsg_ret"));
  flags.group = IdentifierOf(call.Get("invntGrupo_Usuario_Id"));
  for (Feature feature : kFeatures) {
    flags.flags[static_cast<std::size_t>(feature)] = FlagOf(call.Get(OutputOf(feature).output));
  }
  return flags;
}

}  // namespace zebevi::report
