// gConsulta_Espelho_Viagem: the whole trip summary of a transport document.
// One connection, six queries in a fixed order, each called through the
// component's own interface and writing straight into the client's outputs.
// The first query that answers false ends the summary with status 10.
#include "db/connection_string.h"
#include "frame/evi.h"
#include "frame/trap.h"
#include "zebevi/db.h"
#include "zebevi/value_rules.h"

namespace zebevi {
namespace {

// The account the summary connects with when the connection string names no
// user of its own; a string's own user and password always win.
constexpr std::string_view kBuiltInUser = "SISTEMA";
constexpr std::string_view kBuiltInPassword = "TRMVQKD";

// Opens `connection` on `text`, with the built-in account unless the text
// names its own user. A malformed text fails here as Open would fail. The
// summary's queries on a connection it opened itself read one snapshot
// together; a caller's own connection is left as the caller keeps it.
void OpenWithAccount(DbConnection& connection, const std::string& text) {
  if (db::ConnectionString::Parse(text).NamesUser()) {
    connection.Open(text);
  } else {
    connection.Open(text, kBuiltInUser, kBuiltInPassword);
  }
  connection.ReadTogether();
}

// The connection a general object reference holds.
DbConnectionRef ConnectionIn(const Value& reference) {
  DbConnectionRef connection = std::dynamic_pointer_cast<DbConnection>(reference.object());
  if (!connection) throw Error::TypeMismatch();
  return connection;
}

}  // namespace

Value EVI::gConsulta_Espelho_Viagem(
    Value& invntConecta_db, Value& invntUsuario_Internet_id, Value& /*invntGrupo_Usuario_Id*/,
    Value& invntCliente_id, Value& invntGrupo_Cliente_id, Value& invntDOCTO_TRANSPORTE_ID,
    Value& outvntNum_Pedido, Value& outvntNum_docto_Transporte, Value& outvntCavalo,
    Value& outvntCarreta, Value& outvntColaborador, Value& outvntQtde_Nota,
    Value& outarrvntNota_Fiscal, Value& outarrvntPeso_Real, Value& outarrvntVal_Declarado,
    Value& outvntQtde_Ocor, Value& outarrvntDescr_Ocor, Value& outarrvntData_Ocor,
    Value& outarrvntOdometro_Ocor, Value& outvntKm_Total, Value& outvntkm_ate_Rem,
    Value& outvntKm_Rem_Dest, Value& outvntKm_Apos_Dest, Value& outvntTempo_Operacao,
    Value& outvntTempo_Transporte, Value& outvntTempo_Ate_Rem, Value& outvntTempo_Retorno,
    Value& outvntTempo_Total_Carga_Desc, Value& outvntTempo_Carga, Value& outvntTempo_Descarga,
    Value& outvntTempo_Janela_Espera, Value& outvntTempo_Pos_Carga, Value& outvntTempo_Pos_desc,
    Value& outvntTempo_Ant_Carga, Value& outvntTempo_Ant_Desc, Value& outvntTempo_Rem_Des,
    Value& outvntData_Chegada_Cliente_Efetiva, Value& outvntdata_Chegada_cliente_prevista,
    Value& outvntFlag_no_prazo, Value& outvntData_Prevista_Rastreador, Value& outvntRemetente,
    Value& outvntDestinatario, Value& outvntCliente, Value& outvntKm_Ate_Dest_Rota,
    Value& outvntTempo_Ate_Dest_Rota, Value& outvntProduto, Value& outvntMsg_ret) {
  Value result;
  std::string connection_text;
  DbConnectionRef connection;
  // What one query hands to the next.
  std::int32_t parent_id = 0;
  std::string exchange_flag;
  std::string number_text;
  std::int32_t route_id = 0;
  // Outputs of the exchange lookup that nothing reads.
  Int32Array children;
  std::int32_t child_count = 0;
  std::string parent_flag;
  // Passed to every query that takes it; none reads it.
  Value company_id;
  frame::Trap trap(frame::kClientesText, "gConsulta_Espelho_Viagem ( ", invntUsuario_Internet_id,
                   outvntMsg_ret);
  // Each step keeps its label beside it.
  // clang-format off
  trap.Run(
      [&](frame::Step& at) {
        at(1290); result = Value::Int16(10);
        at(1300); connection_text = ToString(invntConecta_db);
        at(1310); connection = std::make_shared<DbConnection>();
        at(1320); OpenWithAccount(*connection, connection_text);
        // From here on the client's identifier holds the cleaned text.
        at(1330); invntDOCTO_TRANSPORTE_ID = Rules().CleanText(ToString(invntDOCTO_TRANSPORTE_ID));
        at(1340);
        if (IsTrue(Eq(Rules().AsNumber(invntDOCTO_TRANSPORTE_ID), 0))) {
          at(1350); outvntMsg_ret = "Informe um documento de transporte.";
          return;
        }
        // The lookup takes the connection untyped and may hand another back.
        at(1430); Value odb = Value::Object(connection);
        const bool exchanged = Self().mConsulta_TROCA_DOCTO_TRANSP(odb, invntUsuario_Internet_id, invntDOCTO_TRANSPORTE_ID, parent_id, children, number_text, child_count, parent_flag, exchange_flag, outvntMsg_ret);
        connection = ConnectionIn(odb);
        odb = Value();
        if (!exchanged) {
          at(1440); connection->Close();
          at(1450); connection.reset();
          return;
        }
        at(1480);
        if (!Self().mBusca_Dados_Docto_Viagem(invntUsuario_Internet_id, company_id, invntDOCTO_TRANSPORTE_ID, parent_id, outvntNum_Pedido, outvntNum_docto_Transporte, outvntCavalo, outvntCarreta, outvntColaborador, outvntData_Chegada_Cliente_Efetiva, outvntdata_Chegada_cliente_prevista, outvntFlag_no_prazo, connection, outvntData_Prevista_Rastreador, outvntRemetente, outvntDestinatario, outvntCliente, route_id, exchange_flag, outvntProduto, outvntMsg_ret)) {
          at(1490); connection->Close();
          at(1500); connection.reset();
          return;
        }
        // An exchanged document shows the parent and child numbers instead.
        at(1530);
        if (IsTrue(Ne(Rules().AsText(Value::String(number_text)), ""))) {
          at(1540); outvntNum_docto_Transporte = Value::String(number_text);
        }
        at(1560);
        if (!Self().mBusca_Nota_Fiscais(invntUsuario_Internet_id, company_id, invntDOCTO_TRANSPORTE_ID, parent_id, outvntQtde_Nota, outarrvntNota_Fiscal, outarrvntPeso_Real, outarrvntVal_Declarado, connection, exchange_flag, outvntMsg_ret)) {
          at(1570); connection->Close();
          at(1580); connection.reset();
          return;
        }
        at(1610);
        if (!Self().mBusca_Dados_Viagem(invntUsuario_Internet_id, company_id, invntCliente_id, invntGrupo_Cliente_id, invntDOCTO_TRANSPORTE_ID, parent_id, connection, outvntQtde_Ocor, outarrvntDescr_Ocor, outarrvntData_Ocor, outarrvntOdometro_Ocor, exchange_flag, outvntMsg_ret)) {
          at(1620); connection->Close();
          at(1630); connection.reset();
          return;
        }
        at(1660);
        if (!Self().mBusca_Apuracao(invntUsuario_Internet_id, company_id, invntDOCTO_TRANSPORTE_ID, connection, outvntKm_Total, outvntkm_ate_Rem, outvntKm_Rem_Dest, outvntKm_Apos_Dest, outvntTempo_Operacao, outvntTempo_Transporte, outvntTempo_Ate_Rem, outvntTempo_Retorno, outvntTempo_Total_Carga_Desc, outvntTempo_Carga, outvntTempo_Descarga, outvntTempo_Janela_Espera, outvntTempo_Pos_Carga, outvntTempo_Pos_desc, outvntTempo_Ant_Carga, outvntTempo_Ant_Desc, outvntTempo_Rem_Des, exchange_flag, outvntMsg_ret)) {
          at(1670); connection->Close();
          at(1680); connection.reset();
          return;
        }
        // Only a document with a route asks for the planned measures.
        at(1710);
        if (IsTrue(Ne(Rules().AsNumber(Value::Int32(route_id)), 0))) {
          at(1720); Value route = Value::Int32(route_id);
          if (!Self().mConsulta_Dados_Rota(invntUsuario_Internet_id, company_id, route, connection, outvntKm_Ate_Dest_Rota, outvntTempo_Ate_Dest_Rota, outvntMsg_ret)) {
            at(1730); connection->Close();
            at(1740); connection.reset();
            return;
          }
        }
        at(1780); connection->Close();
        at(1790); connection.reset();
        at(1800); result = Value::Int16(0);
      },
      [&] { result = Value::Int16(50); });
  // clang-format on
  return result;
}

}  // namespace zebevi
