// mConsulta_TROCA_DOCTO_TRANSP: whether a transport document took part in a
// document exchange, with the parent, the children and one display text
// that lists their numbers ("1000 / 1001 / 1002").
#include "frame/evi.h"
#include "frame/trap.h"
#include "zebevi/db.h"
#include "zebevi/value_rules.h"

namespace zebevi {

bool EVI::mConsulta_TROCA_DOCTO_TRANSP(Value& inOdb, Value& invntUsuario_Internet_id,
                                       Value& invntDOCTO_TRANSPORTE_ID,
                                       std::int32_t& outlngDOCTO_TRANSP_PAI_ID,
                                       Int32Array& outarrlngDOCTO_TRANSP_FILHO_ID,
                                       std::string& outstrNum_docto, std::int32_t& outlngQtde_Docto,
                                       std::string& outstrFlag_Docto_Pai,
                                       std::string& outstrFlag_Troca_Nota, Value& outvntMsg_ret) {
  bool result = false;
  std::string command;
  std::unique_ptr<DbRecordset> rs;
  frame::Trap trap(frame::kClientesText, "mConsulta_TROCA_DOCTO_TRANSP ( ",
                   invntUsuario_Internet_id, outvntMsg_ret);
  // The failure detail quotes the command as it stood.
  trap.QuoteCommand(command);
  // Each step keeps its label beside it.
  // clang-format off
  trap.Run(
      [&](frame::Step& at) {
        at(2850); result = false;
        // Built in one step: a failure in it leaves the quoted command empty.
        at(2860); command = "EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP   " + Rules().SqlNumber(invntDOCTO_TRANSPORTE_ID);
        at(2870); rs = std::make_unique<DbRecordset>();
        at(2880); rs->set_cursor_location(CursorLocation::kClient);
        // The connection comes untyped; anything else is refused by the open.
        at(2890); rs->Open(command, std::dynamic_pointer_cast<DbConnection>(inOdb.object()));
        at(2900);
        if (rs->eof()) {
          // An unknown document is no failure: every output keeps its value.
          at(2910); result = true;
          at(2920); rs->Close();
          at(2930); rs.reset();
          return;
        }
        at(2950);
        if (IsTrue(Ne(Rules().AsNumber(rs->Fields("retorno")), 0))) {
          // No exchange: the document is its own parent; the children stay
          // as the caller passed them.
          at(2960); outstrFlag_Docto_Pai = "S";
          at(2970); outstrFlag_Troca_Nota = "N";
          at(2980); outlngDOCTO_TRANSP_PAI_ID = ToInt32(invntDOCTO_TRANSPORTE_ID);
          at(2990); outlngQtde_Docto = 0;
          at(3000); outstrNum_docto = "";
          at(3010); result = true;
          at(3020); rs->Close();
          at(3030); rs.reset();
          return;
        }
        at(3050); rs->MoveLast();
        at(3060); rs->MoveFirst();
        at(3070); outlngQtde_Docto = rs->RecordCount();
        at(3080); outarrlngDOCTO_TRANSP_FILHO_ID = std::vector<std::int32_t>(static_cast<std::size_t>(outlngQtde_Docto));
        at(3090); outlngDOCTO_TRANSP_PAI_ID = ToInt32(Rules().AsNumber(rs->Fields("DOCTO_TRANSP_PAI_ID")));
        at(3100); outstrNum_docto = ToString(Rules().AsText(rs->Fields("num_docto_pai")));
        // The parent flag keeps the caller's value on this path.
        at(3110); outstrFlag_Troca_Nota = "S";
        at(3120); const std::int32_t last = CheckedSub(outlngQtde_Docto, 1);
        for (std::int32_t i = 0; i <= last; ++i) {
          at(3130); (*outarrlngDOCTO_TRANSP_FILHO_ID)[static_cast<std::size_t>(i)] = ToInt32(Rules().AsNumber(rs->Fields("DOCTO_TRANSP_FILHO_ID")));
          at(3140); outstrNum_docto = ToString(Value(outstrNum_docto) & " / " & Rules().AsText(rs->Fields("num_docto_filho")));
          at(3150); rs->MoveNext();
        }
        at(3170); rs->Close();
        at(3180); rs.reset();
        at(3190); result = true;
      },
      [&] { result = false; });
  // clang-format on
  return result;
}

}  // namespace zebevi
