// mBusca_Dados_Docto_Viagem: the header of a transport document (order and
// document numbers, vehicles, driver, product, parties, arrival times, route
// and on-time verdict).
#include "frame/evi.h"
#include "frame/trap.h"
#include "zebevi/db.h"
#include "zebevi/value_rules.h"

namespace zebevi {
namespace {

// Whether `vehicle` differs from `plate`, compared as texts; an absent plate
// makes it neither true nor false.
Value Differs(const Value& vehicle, const Value& plate) {
  if (Plain(plate).is_null()) return Value::Null();
  return Ne(vehicle, ToString(plate));
}

// A vehicle with its plate ("1234 - ABC1234") when both are known and
// differ; the vehicle alone otherwise.
Value WithPlate(const Value& vehicle, const Value& plate) {
  if (IsTrue(And({Differs(vehicle, plate), Ne(plate, ""), Ne(vehicle, "")}))) {
    return vehicle & " - " & plate;
  }
  return vehicle;
}

}  // namespace

bool EVI::mBusca_Dados_Docto_Viagem(
    Value& invntUsuario_Internet_id, Value& /*invntempresa_Id*/, Value& invntDOCTO_TRANSPORTE_ID,
    std::int32_t& lngDOCTO_TRANSP_PAI_ID, Value& outvntNum_Pedido,
    Value& outvntNum_docto_Transporte, Value& outvntCavalo, Value& outvntCarreta,
    Value& outvntColaborador, Value& outvntData_Chegada_Cliente_Efetiva,
    Value& outvntdata_Chegada_cliente_prevista, Value& outvntFlag_no_prazo, DbConnectionRef& inOdb,
    Value& outvntData_Prevista_Rastreador, Value& outvntRemetente, Value& outvntDestinatario,
    Value& outvntCliente, std::int32_t& outlngRota_id, std::string& outstrFlag_Troca_Nota,
    Value& outvntProduto, Value& outvntMsg_ret) {
  bool result = false;
  std::string command;
  std::unique_ptr<DbRecordset> rs;
  Value flag;
  frame::Trap trap(frame::kClientesText, "mBusca_Dados_Docto_Viagem ( ", invntUsuario_Internet_id,
                   outvntMsg_ret);
  // Each step keeps its label beside it.
  // clang-format off
  trap.Run(
      [&](frame::Step& at) {
        at(2450); result = false;
        at(2460); command = "Exec SP_ZEB_CON_Dados_Doc_Viagem11 ";
        at(2470); command += Rules().SqlNumber(invntDOCTO_TRANSPORTE_ID) + ", ";
        at(2480); command += Rules().SqlNumber(Value::Int32(lngDOCTO_TRANSP_PAI_ID)) + ", ";
        at(2490); command += Rules().SqlText(Value::String(outstrFlag_Troca_Nota)) + " ";
        at(2500); rs = std::make_unique<DbRecordset>();
        at(2510); rs->set_cursor_location(CursorLocation::kClient);
        at(2520); rs->Open(command, inOdb);
        at(2530);
        if (rs->eof()) {
          at(2540); outvntMsg_ret = "Documentação de Viagem não encontrada.";
          at(2550); rs->Close();
          at(2560); rs.reset();
          return;
        }
        at(2590); outvntNum_Pedido = Rules().AsText(rs->Fields("num_pedido_interno"));
        at(2600); outvntNum_docto_Transporte = Rules().AsText(rs->Fields("num_docto_transporte"));
        outvntCavalo = WithPlate(Rules().AsText(rs->Fields("CAVALO")), Rules().AsText(rs->Fields("PLACA_CAVALO")));
        outvntCarreta = WithPlate(Rules().AsText(rs->Fields("carreta")), Rules().AsText(rs->Fields("PLACA_carreta")));
        // The product comes before the driver, under the later label.
        at(2631); outvntProduto = Rules().AsText(rs->Fields("produto"));
        at(2630); outvntColaborador = Rules().AsText(rs->Fields("nome"));
        at(2640); outvntData_Chegada_Cliente_Efetiva = Format(Rules().AsText(rs->Fields("Data_Chegada_Cliente_Efetiva")), "dd/mm/yyyy hh:mm:ss");
        at(2650); outvntdata_Chegada_cliente_prevista = Format(Rules().AsText(rs->Fields("data_Chegada_cliente_prevista")), "dd/mm/yyyy hh:mm:ss");
        at(2660); outvntData_Prevista_Rastreador = Format(Rules().AsText(rs->Fields("data_prevista_rastreador")), "dd/mm/yyyy hh:mm:ss");
        at(2670); outvntRemetente = Rules().AsText(rs->Fields("remetente"));
        at(2680); outvntDestinatario = Rules().AsText(rs->Fields("destinatario"));
        at(2690); outvntCliente = Rules().AsText(rs->Fields("cliente"));
        at(2700); outlngRota_id = ToInt32(Rules().AsNumber(rs->Fields("rota_id")));
        at(2710); flag = Rules().AsText(rs->Fields("flag_no_prazo"));
        // Exact, case-sensitive: a lower-case "i" is on time.
        if (IsTrue(Eq(flag, "I"))) {
          at(2720); outvntFlag_no_prazo = "Prazo Indeterminado";
        } else {
          at(2720);
          if (IsTrue(Eq(flag, "N"))) {
            at(2730); outvntFlag_no_prazo = "Fora do Prazo";
          } else {
            at(2740); outvntFlag_no_prazo = "No Prazo";
          }
        }
        at(2750); rs->Close();
        at(2760); rs.reset();
        at(2770); result = true;
      },
      [&] { result = false; });
  // clang-format on
  return result;
}

}  // namespace zebevi
