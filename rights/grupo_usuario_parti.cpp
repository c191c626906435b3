// gConsulta_Grupo_Usuario_Parti: the feature flags of a user group, on a
// connection of its own.
#include "frame/evi.h"
#include "frame/trap.h"
#include "zebevi/db.h"

namespace zebevi {

Value EVI::gConsulta_Grupo_Usuario_Parti(
    Value& invntConecta_db, Value& invntUsuario_Internet_id, Value& invntempresa_Id,
    Value& invntGrupo_Usuario_Id, Value& outvntFlag_num_pedido,
    Value& outvntFlag_num_docto_transporte, Value& outvntFlag_Cavalo, Value& outvntFlag_Carreta,
    Value& outvntFlag_Motorista, Value& outvntFlag_nota_fiscal, Value& outvntFlag_dados_viagem,
    Value& outvntFlag_Apuracao_Distancia, Value& outvntFlag_Apuracao_Janela_Tempo,
    Value& outvntFlag_Eficiencia, Value& outvntFlag_remetente, Value& outvntFlag_destinatario,
    Value& outvntFlag_Cliente, Value& outvntMsg_ret) {
  Value result;
  std::string connection_string;
  DbConnectionRef connection;
  frame::Trap trap(frame::kClientesText, "ZebEVI.gConsulta_Grupo_Usuario_Parti ( ",
                   invntUsuario_Internet_id, outvntMsg_ret);
  // No step of the body carries a label: a failure in it reports 0.
  trap.Run(
      [&](frame::Step&) {
        result = Value::Int16(10);
        connection_string = ToString(invntConecta_db);
        connection = std::make_shared<DbConnection>();
        connection->Open(connection_string, "", "");
        // The inner operation is handed the connection string as a Value.
        Value invntstrConecta_DB = Value::String(connection_string);
        if (Self().mConsulta_Grupo_Usuario_Parti(
                connection, invntempresa_Id, invntGrupo_Usuario_Id, invntUsuario_Internet_id,
                invntstrConecta_DB, outvntFlag_num_pedido, outvntFlag_num_docto_transporte,
                outvntFlag_Cavalo, outvntFlag_Carreta, outvntFlag_Motorista, outvntFlag_nota_fiscal,
                outvntFlag_dados_viagem, outvntFlag_Apuracao_Distancia,
                outvntFlag_Apuracao_Janela_Tempo, outvntFlag_Eficiencia, outvntFlag_remetente,
                outvntFlag_destinatario, outvntFlag_Cliente, outvntMsg_ret)) {
          result = Value::Int16(0);
        }
        // The connection is never closed here: its release at the exit
        // point closes it.
      },
      // The status stays 10.
      [] {});
  return result;
}

}  // namespace zebevi
