// mBusca_Nota_Fiscais: the invoices carried under a transport document, as
// three parallel lists (number, real weight, declared value as text).
#include "frame/evi.h"
#include "frame/trap.h"
#include "zebevi/db.h"
#include "zebevi/value_rules.h"

namespace zebevi {

bool EVI::mBusca_Nota_Fiscais(Value& invntUsuario_Internet_id, Value& /*invntempresa_Id*/,
                              Value& invntDOCTO_TRANSPORTE_ID, std::int32_t& inlngdocto_transp_pai,
                              Value& outvntQtde_Nota, Value& outarrvntNota_Fiscal,
                              Value& outarrvntPeso_Real, Value& outarrvntVal_Declarado,
                              DbConnectionRef& inOdb, std::string& instrFlag_Troca_Nota,
                              Value& outvntMsg_ret) {
  bool result = false;
  std::string command;
  std::unique_ptr<DbRecordset> rs;
  frame::Trap trap(frame::kClientesText, "mBusca_Nota_Fiscais ( ", invntUsuario_Internet_id,
                   outvntMsg_ret);
  // Each step keeps its label beside it.
  // clang-format off
  trap.Run(
      [&](frame::Step& at) {
        at(5470); result = false;
        at(5480);
        if (IsTrue(Eq(Rules().AsNumber(invntDOCTO_TRANSPORTE_ID), 0))) {
          at(5490); outvntMsg_ret = "Informe um documento de transporte.";
          return;
        }
        at(5510); command = "exec SP_ZEB_CON_NOTA_FISCAL_DOCTO3 ";
        at(5520); command += Rules().SqlNumber(invntDOCTO_TRANSPORTE_ID) + ", ";
        at(5530); command += Rules().SqlNumber(Value::Int32(inlngdocto_transp_pai)) + ", ";
        at(5540); command += Rules().SqlText(Value::String(instrFlag_Troca_Nota)) + " ";
        at(5550); rs = std::make_unique<DbRecordset>();
        at(5560); rs->set_cursor_location(CursorLocation::kClient);
        at(5570); rs->Open(command, inOdb);
        at(5580);
        if (rs->eof()) {
          // No invoice is no failure: the count and the lists keep their values.
          at(5590); result = true;
          at(5600); rs->Close();
          at(5610); rs.reset();
          return;
        }
        at(5630); rs->MoveLast();
        at(5640); rs->MoveFirst();
        at(5650); outvntQtde_Nota = Value::Int32(rs->RecordCount());
        at(5660); Redim(outarrvntNota_Fiscal, ToInt32(outvntQtde_Nota));
        at(5670); Redim(outarrvntPeso_Real, ToInt32(outvntQtde_Nota));
        at(5680); Redim(outarrvntVal_Declarado, ToInt32(outvntQtde_Nota));
        at(5690); const std::int32_t last = CheckedSub(ToInt32(outvntQtde_Nota), 1);
        for (std::int32_t i = 0; i <= last; ++i) {
          at(5700); Element(outarrvntNota_Fiscal, i) = Rules().AsText(rs->Fields("nota_fiscal"));
          at(5710); Element(outarrvntPeso_Real, i) = Rules().AsText(rs->Fields("peso_real_kg"));
          // The declared value is formatted from the field itself.
          at(5720); Element(outarrvntVal_Declarado, i) = Format(rs->Fields("val_declarado"), "#,##0.00");
          at(5730); rs->MoveNext();
        }
        at(5750); rs->Close();
        at(5760); rs.reset();
        at(5770); result = true;
      },
      [&] { result = false; });
  // clang-format on
  return result;
}

}  // namespace zebevi
