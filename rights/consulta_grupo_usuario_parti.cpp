// mConsulta_Grupo_Usuario_Parti: the optional features of the trip summary
// that a user group has been granted, one "S" or "N" flag per feature.
#include "frame/evi.h"
#include "frame/trap.h"
#include "zebevi/db.h"
#include "zebevi/value_rules.h"

namespace zebevi {

bool EVI::mConsulta_Grupo_Usuario_Parti(
    DbConnectionRef& inOdb, Value& /*invntempresa_Id*/, Value& invntGrupo_Usuario_Id,
    Value& invntUsuario_Internet_id, Value& /*invntstrConecta_DB*/, Value& outvntFlag_num_pedido,
    Value& outvntFlag_num_docto_transporte, Value& outvntFlag_Cavalo, Value& outvntFlag_Carreta,
    Value& outvntFlag_Motorista, Value& outvntFlag_nota_fiscal, Value& outvntFlag_dados_viagem,
    Value& outvntFlag_Apuracao_Distancia, Value& outvntFlag_Apuracao_Janela_Tempo,
    Value& outvntFlag_Eficiencia, Value& outvntFlag_remetente, Value& outvntFlag_destinatario,
    Value& outvntFlag_Cliente, Value& outvntMsg_ret) {
  bool result = false;
  std::string command;
  std::unique_ptr<DbRecordset> rs;
  Value code;
  frame::Trap trap(frame::kTrackingText, "( ", invntUsuario_Internet_id, outvntMsg_ret);
  // Each step keeps its label beside it.
  // clang-format off
  trap.Run(
      [&](frame::Step& at) {
        // The test for a feature code runs under its own label.
        auto is = [&](int label, int feature) { at(label); return IsTrue(Eq(code, feature)); };

        at(4880); result = true;
        at(4890); outvntFlag_num_pedido = "N";
        at(4900); outvntFlag_num_docto_transporte = "N";
        at(4910); outvntFlag_Cavalo = "N";
        at(4920); outvntFlag_Carreta = "N";
        at(4930); outvntFlag_Motorista = "N";
        at(4940); outvntFlag_nota_fiscal = "N";
        at(4950); outvntFlag_dados_viagem = "N";
        at(4960); outvntFlag_Apuracao_Distancia = "N";
        at(4970); outvntFlag_Apuracao_Janela_Tempo = "N";
        at(4980); outvntFlag_Eficiencia = "N";
        at(4990); outvntFlag_remetente = "N";
        at(5000); outvntFlag_destinatario = "N";
        at(5010); outvntFlag_Cliente = "N";
        at(5020); command = "SELECT GRP.GRUPO_USUARIO_PARTICUL_ID, ";
        at(5030); command += "GRP.PARTICUL_FUNCAO_ID, ";
        at(5040); command += "PFU.desc_particul_funcao ";
        at(5050); command += "FROM GRUPO_USUARIO_PARTICUL GRP, ";
        at(5060); command += "PARTICUL_FUNCAO PFU ";
        at(5070); command += "Where GRP.PARTICUL_FUNCAO_ID = PFU.PARTICUL_FUNCAO_ID AND ";
        at(5080); command += "grp.Grupo_Usuario_Id = " + Rules().SqlNumber(invntGrupo_Usuario_Id) + " And ";
        at(5090); command += "presenca_particularidade = 'S'";
        at(5100); rs = std::make_unique<DbRecordset>();
        at(5110); rs->set_cursor_location(CursorLocation::kClient);
        at(5120); rs->Open(command, inOdb);
        at(5130);
        if (rs->eof()) {
          // No grant is no failure: every flag stays "N".
          at(5140); outvntMsg_ret = "Direitos do grupo do usuário não cadastrados.";
          at(5150); rs->Close();
          at(5160); rs.reset();
          return;
        }
        for (;;) {
          at(5190); if (rs->eof()) break;
          at(5200); code = Rules().AsNumber(rs->Fields("PARTICUL_FUNCAO_ID"));
          // Only the first match counts; any other code changes nothing.
          if (is(5200, 114)) { at(5210); outvntFlag_num_pedido = "S"; }
          else if (is(5210, 115)) { at(5220); outvntFlag_num_docto_transporte = "S"; }
          else if (is(5220, 116)) { at(5230); outvntFlag_Cavalo = "S"; }
          else if (is(5230, 117)) { at(5240); outvntFlag_Carreta = "S"; }
          else if (is(5240, 118)) { at(5250); outvntFlag_Motorista = "S"; }
          else if (is(5250, 119)) { at(5260); outvntFlag_nota_fiscal = "S"; }
          else if (is(5260, 120)) { at(5270); outvntFlag_dados_viagem = "S"; }
          else if (is(5270, 121)) { at(5280); outvntFlag_Apuracao_Distancia = "S"; }
          else if (is(5280, 122)) { at(5290); outvntFlag_Apuracao_Janela_Tempo = "S"; }
          else if (is(5290, 123)) { at(5300); outvntFlag_Eficiencia = "S"; }
          else if (is(5300, 124)) { at(5310); outvntFlag_remetente = "S"; }
          else if (is(5310, 125)) { at(5320); outvntFlag_destinatario = "S"; }
          else if (is(5320, 126)) { at(5330); outvntFlag_Cliente = "S"; }
          at(5350); rs->MoveNext();
        }
        at(5370); rs->Close();
        at(5380); rs.reset();
        at(5390); result = true;
      },
      [&] { result = false; });
  // clang-format on
  return result;
}

}  // namespace zebevi
