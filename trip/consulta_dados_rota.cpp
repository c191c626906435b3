// mConsulta_Dados_Rota: the planned distance and travel time of a route, as
// the route register holds them.
#include "frame/evi.h"
#include "frame/trap.h"
#include "zebevi/db.h"
#include "zebevi/value_rules.h"

namespace zebevi {

bool EVI::mConsulta_Dados_Rota(Value& invntUsuario_Internet_id, Value& /*invntempresa_Id*/,
                               Value& invntRota_id, DbConnectionRef& inOdb,
                               Value& outvntKm_Ate_Dest_Rota, Value& outvntTempo_Ate_Dest_Rota,
                               Value& outvntMsg_ret) {
  bool result = false;
  std::string command;
  std::unique_ptr<DbRecordset> rs;
  frame::Trap trap(frame::kClientesText, "mConsulta_Dados_Rota ( ", invntUsuario_Internet_id,
                   outvntMsg_ret);
  // Each step keeps its label beside it.
  // clang-format off
  trap.Run(
      [&](frame::Step& at) {
        at(4650); command = "Exec SP_ZEB_CON_Tempo_km_Rota  ";
        at(4660); command += Rules().SqlNumber(invntRota_id);
        at(4670); rs = std::make_unique<DbRecordset>();
        at(4680); rs->set_cursor_location(CursorLocation::kClient);
        at(4690); rs->Open(command, inOdb);
        at(4700);
        if (rs->eof()) {
          // An unknown route is no failure: both outputs keep their values.
          at(4710); result = true;
          at(4720); rs->Close();
          at(4730); rs.reset();
          return;
        }
        at(4760); outvntKm_Ate_Dest_Rota = Rules().AsText(rs->Fields("total_km"));
        // Only the time of day shows: a planned day and two hours read 02:00.
        at(4770); outvntTempo_Ate_Dest_Rota = Format(Rules().AsText(rs->Fields("tempo_previsto")), "hh:MM");
        at(4780); rs->Close();
        at(4790); rs.reset();
        at(4800); result = true;
      },
      [&] { result = false; });
  // clang-format on
  return result;
}

}  // namespace zebevi
