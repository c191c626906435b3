// mBusca_Dados_Viagem: the tracking occurrences of a trip, as three parallel
// lists (description, date and time, odometer). A customer or customer
// group selects the customer's view of the list.
#include "frame/evi.h"
#include "frame/trap.h"
#include "zebevi/db.h"
#include "zebevi/value_rules.h"

namespace zebevi {

bool EVI::mBusca_Dados_Viagem(Value& invntUsuario_Internet_id, Value& /*invntempresa_Id*/,
                              Value& invntCliente_id, Value& invntGrupo_Cliente_id,
                              Value& invntDOCTO_TRANSPORTE_ID,
                              std::int32_t& inlngDocto_Transp_Pai_id, DbConnectionRef& inOdb,
                              Value& outvntQtde_Ocor, Value& outarrvntDescr_Ocor,
                              Value& outarrvntData_Ocor, Value& outarrvntOdometro_Ocor,
                              std::string& instrFlag_Troca_Nota, Value& outvntMsg_ret) {
  bool result = false;
  std::string command;
  std::unique_ptr<DbRecordset> rs;
  frame::Trap trap(frame::kClientesText, "mBusca_Dados_Viagem ( ", invntUsuario_Internet_id,
                   outvntMsg_ret);
  // Each step keeps its label beside it.
  // clang-format off
  trap.Run(
      [&](frame::Step& at) {
        at(3300); result = false;
        at(3310);
        if (IsTrue(Eq(Rules().AsNumber(invntDOCTO_TRANSPORTE_ID), 0))) {
          at(3320); outvntMsg_ret = "Informe um documento de Transporte. ";
          return;
        }
        // The customer and group only choose the procedure; neither is passed.
        at(3340);
        if (IsTrue(And({Eq(Rules().AsNumber(invntCliente_id), 0), Eq(Rules().AsNumber(invntGrupo_Cliente_id), 0)}))) {
          at(3350); command = "Exec SP_ZEB_CON_TRACKING_CICLO5 ";
        } else {
          at(3370); command = "Exec SP_ZEB_CON_TRACK_CICLO_CLI5 ";
        }
        at(3390); command += Rules().SqlNumber(invntDOCTO_TRANSPORTE_ID) + ", ";
        at(3400); command += Rules().SqlNumber(Value::Int32(inlngDocto_Transp_Pai_id)) + ", ";
        at(3410); command += Rules().SqlText(Value::String(instrFlag_Troca_Nota)) + " ";
        at(3420); rs = std::make_unique<DbRecordset>();
        at(3430); rs->set_cursor_location(CursorLocation::kClient);
        at(3440); rs->Open(command, inOdb);
        at(3450);
        if (rs->eof()) {
          // No occurrence is no failure: the count and the lists keep their values.
          at(3460); result = true;
          at(3470); rs->Close();
          at(3480); rs.reset();
          return;
        }
        at(3500); rs->MoveLast();
        at(3510); rs->MoveFirst();
        at(3520); outvntQtde_Ocor = Value::Int32(rs->RecordCount());
        at(3530); Redim(outarrvntDescr_Ocor, ToInt32(outvntQtde_Ocor));
        at(3540); Redim(outarrvntData_Ocor, ToInt32(outvntQtde_Ocor));
        at(3550); Redim(outarrvntOdometro_Ocor, ToInt32(outvntQtde_Ocor));
        at(3560); const std::int32_t last = CheckedSub(ToInt32(outvntQtde_Ocor), 1);
        for (std::int32_t i = 0; i <= last; ++i) {
          at(3570); Element(outarrvntDescr_Ocor, i) = Rules().AsText(rs->Fields("DESC_TIPO_MACRO"));
          at(3580); Element(outarrvntData_Ocor, i) = Format(Rules().AsText(rs->Fields("data_tracking")), "dd/mm/yyyy hh:mm");
          at(3590); Element(outarrvntOdometro_Ocor, i) = Rules().AsText(rs->Fields("odometro"));
          at(3600); rs->MoveNext();
        }
        at(3620); rs->Close();
        at(3630); rs.reset();
        at(3640); result = true;
      },
      [&] { result = false; });
  // clang-format on
  return result;
}

}  // namespace zebevi
