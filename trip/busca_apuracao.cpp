// mBusca_Apuracao: the measured distances (numbers) and times (hour and
// minute text) of the trip cycle of a transport document.
#include "frame/evi.h"
#include "frame/trap.h"
#include "zebevi/db.h"
#include "zebevi/value_rules.h"

namespace zebevi {

bool EVI::mBusca_Apuracao(Value& invntUsuario_Internet_id, Value& /*invntempresa_Id*/,
                          Value& invntDOCTO_TRANSPORTE_ID, DbConnectionRef& inOdb,
                          Value& outvntKm_Total, Value& outvntkm_ate_Rem, Value& outvntKm_Rem_Dest,
                          Value& outvntKm_Apos_Dest, Value& outvntTempo_Operacao,
                          Value& outvntTempo_Transporte, Value& outvntTempo_Ate_Rem,
                          Value& outvntTempo_Retorno, Value& outvntTempo_Total_Carga_Desc,
                          Value& outvntTempo_Carga, Value& outvntTempo_Descarga,
                          Value& outvntTempo_Janela_Espera, Value& outvntTempo_Pos_Carga,
                          Value& outvntTempo_Pos_desc, Value& outvntTempo_Ant_Carga,
                          Value& outvntTempo_Ant_Desc, Value& outvntTempo_Rem_Des,
                          std::string& instrFlag_Nota_Fiscal, Value& outvntMsg_ret) {
  bool result = false;
  std::string command;
  std::unique_ptr<DbRecordset> rs;
  // The time figures in seconds, read before the result set closes.
  double tempo_operacao = 0.0;
  double tempo_transporte = 0.0;
  double tempo_ate_rem = 0.0;
  double tempo_retorno = 0.0;
  double tempo_proc = 0.0;
  double tempo_carga = 0.0;
  double tempo_descarga = 0.0;
  double tempo_janela_espera = 0.0;
  double tempo_ant_carga = 0.0;
  double tempo_pos_carga = 0.0;
  double tempo_ant_desc = 0.0;
  double tempo_pos_desc = 0.0;
  double tempo_rem_dest = 0.0;
  // One figure into its output as hour and minute text; false when the
  // conversion failed and wrote its own message.
  auto converted = [&](double seconds, Value& out) {
    Value valor = Value::Double(seconds);
    return Self().mConverte_Decimal_Hora(valor, out, outvntMsg_ret);
  };
  frame::Trap trap(frame::kClientesText, "mBusca_Apuracao ( ", invntUsuario_Internet_id,
                   outvntMsg_ret);
  // Each step keeps its label beside it.
  // clang-format off
  trap.Run(
      [&](frame::Step& at) {
        at(1880); result = false;
        at(1890);
        if (IsTrue(Eq(Rules().AsNumber(invntDOCTO_TRANSPORTE_ID), 0))) {
          at(1900); outvntMsg_ret = "Informe um documento de Transporte. ";
          return;
        }
        at(1920); command = "Exec SP_ZEB_CON_Resumo_Ciclo2 ";
        at(1930); command += Rules().SqlNumber(invntDOCTO_TRANSPORTE_ID) + ", ";
        at(1940); command += Rules().SqlText(Value::String(instrFlag_Nota_Fiscal));
        at(1950); rs = std::make_unique<DbRecordset>();
        at(1960); rs->set_cursor_location(CursorLocation::kClient);
        at(1970); rs->Open(command, inOdb);
        at(1980);
        if (rs->eof()) {
          // An unmeasured cycle is no failure: no output is touched.
          at(1990); result = true;
          at(2000); rs->Close();
          at(2010); rs.reset();
          return;
        }
        // Only the first row counts.
        at(2030); outvntKm_Total = Rules().AsNumber(rs->Fields("Km_total"));
        at(2040); outvntkm_ate_Rem = Rules().AsNumber(rs->Fields("km_ate_rem"));
        at(2050); outvntKm_Rem_Dest = Rules().AsNumber(rs->Fields("km_rem_dest"));
        at(2060); outvntKm_Apos_Dest = Rules().AsNumber(rs->Fields("km_apos_dest"));
        at(2070); tempo_operacao = ToDouble(Rules().AsNumber(rs->Fields("tempo_operacao")));
        at(2080); tempo_transporte = ToDouble(Rules().AsNumber(rs->Fields("tempo_transporte")));
        at(2090); tempo_ate_rem = ToDouble(Rules().AsNumber(rs->Fields("tempo_ate_rem")));
        at(2100); tempo_retorno = ToDouble(Rules().AsNumber(rs->Fields("tempo_retorno")));
        at(2110); tempo_proc = ToDouble(Rules().AsNumber(rs->Fields("Tempo_proc")));
        at(2120); tempo_carga = ToDouble(Rules().AsNumber(rs->Fields("tempo_carga")));
        at(2130); tempo_descarga = ToDouble(Rules().AsNumber(rs->Fields("tempo_descarga")));
        at(2140); tempo_janela_espera = ToDouble(Rules().AsNumber(rs->Fields("tempo_janela_espera")));
        at(2150); tempo_ant_carga = ToDouble(Rules().AsNumber(rs->Fields("tempo_ant_carga")));
        at(2160); tempo_pos_carga = ToDouble(Rules().AsNumber(rs->Fields("tempo_pos_carga")));
        at(2170); tempo_ant_desc = ToDouble(Rules().AsNumber(rs->Fields("tempo_ant_desc")));
        at(2180); tempo_pos_desc = ToDouble(Rules().AsNumber(rs->Fields("tempo_pos_desc")));
        at(2190); tempo_rem_dest = ToDouble(Rules().AsNumber(rs->Fields("tempo_rem_dest")));
        at(2200); rs->Close();
        at(2210); rs.reset();
        // A failed conversion ends the operation: the outputs before it keep
        // their new text, the later ones what the caller passed.
        at(2220); if (!converted(tempo_operacao, outvntTempo_Operacao)) return;
        at(2230); if (!converted(tempo_transporte, outvntTempo_Transporte)) return;
        at(2240); if (!converted(tempo_ate_rem, outvntTempo_Ate_Rem)) return;
        at(2250); if (!converted(tempo_retorno, outvntTempo_Retorno)) return;
        // The loading and unloading total is the procedure's own figure.
        at(2260); if (!converted(tempo_proc, outvntTempo_Total_Carga_Desc)) return;
        at(2270); if (!converted(tempo_carga, outvntTempo_Carga)) return;
        at(2280); if (!converted(tempo_descarga, outvntTempo_Descarga)) return;
        at(2290); if (!converted(tempo_janela_espera, outvntTempo_Janela_Espera)) return;
        at(2300); if (!converted(tempo_ant_carga, outvntTempo_Ant_Carga)) return;
        at(2310); if (!converted(tempo_pos_carga, outvntTempo_Pos_Carga)) return;
        at(2320); if (!converted(tempo_ant_desc, outvntTempo_Ant_Desc)) return;
        at(2330); if (!converted(tempo_pos_desc, outvntTempo_Pos_desc)) return;
        at(2340); if (!converted(tempo_rem_dest, outvntTempo_Rem_Des)) return;
        at(2350); result = true;
      },
      [&] { result = false; });
  // clang-format on
  return result;
}

}  // namespace zebevi
