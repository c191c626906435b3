// The thirteen optional features of a user group, typed:
// gConsulta_Grupo_Usuario_Parti is called through the component's interface
// and each "S"/"N" flag is read as granted or not.
#ifndef ZEBEVI_FEATURE_FLAGS_H_
#define ZEBEVI_FEATURE_FLAGS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "zebevi/figure.h"
#include "zebevi/value.h"

namespace zebevi::report {

// The inputs of gConsulta_Grupo_Usuario_Parti.
struct FeaturesQuery {
  std::string connection;  // invntConecta_db
  Value user;              // invntUsuario_Internet_id; 1 asks for the diagnostic detail
  Value company;           // invntempresa_Id: accepted, never read
  Value group;             // invntGrupo_Usuario_Id
};

// The features, in the operation's parameter order.
enum class Feature : std::size_t {
  kOrderNumber,
  kDocumentNumber,
  kTractor,
  kTrailer,
  kDriver,
  kInvoices,
  kTripData,
  kDistanceMeasures,
  kTimeWindowMeasures,
  kEfficiency,
  kSender,
  kConsignee,
  kCustomer,
};
inline constexpr std::size_t kFeatureCount = 13;

// Every feature, in order.
extern const std::array<Feature, kFeatureCount> kFeatures;

// The feature code that grants it: 114 for kOrderNumber up to 126.
int FeatureCode(Feature feature);
// Its name in the JSON answer: "order_number", "invoices"...
std::string_view FeatureName(Feature feature);

struct FeatureFlags {
  std::int32_t status = 10;  // 0 read (a group without grants included), 10 not read
  std::string message;       // outvntMsg_ret; "" when none
  IdentifierFigure group;    // the group as the operation was given it
  std::array<FlagFigure, kFeatureCount> flags;

  const FlagFigure& operator[](Feature feature) const {
    return flags[static_cast<std::size_t>(feature)];
  }
  // True only for a flag that reads "S".
  bool granted(Feature feature) const { return (*this)[feature].value.value_or(false); }
};

// Calls gConsulta_Grupo_Usuario_Parti on a new EVI object. Throws
// zebevi::Error when the call itself fails.
FeatureFlags Features(const FeaturesQuery& query);

}  // namespace zebevi::report

#endif  // ZEBEVI_FEATURE_FLAGS_H_
