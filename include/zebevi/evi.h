// The component's one class, EVI, through its interface _EVI: fourteen
// operations on road trips. Every parameter is passed by reference: an
// operation reads the caller's variables and writes its results into them.
//
// No operation throws in normal use: failures become a result (status 10 or
// 50, or false) and a text in outvntMsg_ret. Only a failure inside an
// operation's own error trap escapes, as a zebevi::Error (a failed call).
#ifndef ZEBEVI_EVI_H_
#define ZEBEVI_EVI_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "zebevi/db.h"
#include "zebevi/value.h"

namespace zebevi {

// An array of 32-bit integers; nullopt while unallocated.
using Int32Array = std::optional<std::vector<std::int32_t>>;

// NOLINTBEGIN(readability-identifier-naming): names are the interface's own.
class _EVI {  // NOLINT(bugprone-reserved-identifier)
 public:
  virtual ~_EVI() = default;

  // 0: the whole trip summary of a transport document. Status 0, 10 or 50.
  virtual Value gConsulta_Espelho_Viagem(
      Value& invntConecta_db, Value& invntUsuario_Internet_id, Value& invntGrupo_Usuario_Id,
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
      Value& outvntTempo_Ate_Dest_Rota, Value& outvntProduto, Value& outvntMsg_ret) = 0;

  // 1: the thirteen feature flags of a user group. Status 0 or 10.
  virtual Value gConsulta_Grupo_Usuario_Parti(
      Value& invntConecta_db, Value& invntUsuario_Internet_id, Value& invntempresa_Id,
      Value& invntGrupo_Usuario_Id, Value& outvntFlag_num_pedido,
      Value& outvntFlag_num_docto_transporte, Value& outvntFlag_Cavalo, Value& outvntFlag_Carreta,
      Value& outvntFlag_Motorista, Value& outvntFlag_nota_fiscal, Value& outvntFlag_dados_viagem,
      Value& outvntFlag_Apuracao_Distancia, Value& outvntFlag_Apuracao_Janela_Tempo,
      Value& outvntFlag_Eficiencia, Value& outvntFlag_remetente, Value& outvntFlag_destinatario,
      Value& outvntFlag_Cliente, Value& outvntMsg_ret) = 0;

  // 2: distances and times of the trip cycle.
  virtual bool mBusca_Apuracao(
      Value& invntUsuario_Internet_id, Value& invntempresa_Id, Value& invntDOCTO_TRANSPORTE_ID,
      DbConnectionRef& inOdb, Value& outvntKm_Total, Value& outvntkm_ate_Rem,
      Value& outvntKm_Rem_Dest, Value& outvntKm_Apos_Dest, Value& outvntTempo_Operacao,
      Value& outvntTempo_Transporte, Value& outvntTempo_Ate_Rem, Value& outvntTempo_Retorno,
      Value& outvntTempo_Total_Carga_Desc, Value& outvntTempo_Carga, Value& outvntTempo_Descarga,
      Value& outvntTempo_Janela_Espera, Value& outvntTempo_Pos_Carga, Value& outvntTempo_Pos_desc,
      Value& outvntTempo_Ant_Carga, Value& outvntTempo_Ant_Desc, Value& outvntTempo_Rem_Des,
      std::string& instrFlag_Nota_Fiscal, Value& outvntMsg_ret) = 0;

  // 3: the header of a transport document.
  virtual bool mBusca_Dados_Docto_Viagem(
      Value& invntUsuario_Internet_id, Value& invntempresa_Id, Value& invntDOCTO_TRANSPORTE_ID,
      std::int32_t& lngDOCTO_TRANSP_PAI_ID, Value& outvntNum_Pedido,
      Value& outvntNum_docto_Transporte, Value& outvntCavalo, Value& outvntCarreta,
      Value& outvntColaborador, Value& outvntData_Chegada_Cliente_Efetiva,
      Value& outvntdata_Chegada_cliente_prevista, Value& outvntFlag_no_prazo,
      DbConnectionRef& inOdb, Value& outvntData_Prevista_Rastreador, Value& outvntRemetente,
      Value& outvntDestinatario, Value& outvntCliente, std::int32_t& outlngRota_id,
      std::string& outstrFlag_Troca_Nota, Value& outvntProduto, Value& outvntMsg_ret) = 0;

  // 4: whether a document took part in an exchange, with parent and children.
  virtual bool mConsulta_TROCA_DOCTO_TRANSP(
      Value& inOdb, Value& invntUsuario_Internet_id, Value& invntDOCTO_TRANSPORTE_ID,
      std::int32_t& outlngDOCTO_TRANSP_PAI_ID, Int32Array& outarrlngDOCTO_TRANSP_FILHO_ID,
      std::string& outstrNum_docto, std::int32_t& outlngQtde_Docto,
      std::string& outstrFlag_Docto_Pai, std::string& outstrFlag_Troca_Nota,
      Value& outvntMsg_ret) = 0;

  // 5: the tracking occurrences of a trip.
  virtual bool mBusca_Dados_Viagem(Value& invntUsuario_Internet_id, Value& invntempresa_Id,
                                   Value& invntCliente_id, Value& invntGrupo_Cliente_id,
                                   Value& invntDOCTO_TRANSPORTE_ID,
                                   std::int32_t& inlngDocto_Transp_Pai_id, DbConnectionRef& inOdb,
                                   Value& outvntQtde_Ocor, Value& outarrvntDescr_Ocor,
                                   Value& outarrvntData_Ocor, Value& outarrvntOdometro_Ocor,
                                   std::string& instrFlag_Troca_Nota, Value& outvntMsg_ret) = 0;

  // 6: validation of a typed order, invoice or document number.
  virtual Value gValida_Num_Documento(
      Value& invntConecta_db, Value& invntUsuario_Internet_id, Value& invntCliente_id,
      Value& invntGrupo_Cliente_id, Value& invntColaborador_id, Value& invntFornecedor_id,
      Value& invntTab_Tipo_Colaborador_id, Value& invntBanco_Dados, Value& invntNome_Produto,
      Value& invntempresa_Id, Value& invntNum_Pedido, Value& invntNota_Fiscal,
      Value& invntNum_Docto_Transporte, Value& outvntQtde_Docto,
      Value& outarrvntDocto_Transporte_Id, Value& outarrvntNum_Docto_Transporte,
      Value& outarrvntData_Emissao, Value& outarrvntData_Chegada, Value& outarrvntPonto_Operacao,
      Value& outarrvntCliente, Value& outvntMsg_ret) = 0;

  // 7: lookup of a published order number.
  virtual Value gValida_Num_Pedido_Publ(
      Value& invntConecta_db, Value& invntUsuario_Internet_id, Value& invntBanco_Dados,
      Value& invntNome_Produto, Value& invntempresa_Id, Value& idioma, Value& invntNum_Pedido,
      Value& outvntRetorno, Value& outvntTam_arr, Value& outvntarr_Docto_transporte_id,
      Value& outvntarr_Num_docto_transporte, Value& outvntarr_Data_emissao,
      Value& outvntarr_Data_entrega, Value& inData_Emissao_Ini, Value& inData_Emissao_Fim,
      Value& inCGC_Destinatario, Value& inCPF_Destinatario, Value& outvntMsg_ret) = 0;

  // 8: planned distance and time of a route.
  virtual bool mConsulta_Dados_Rota(Value& invntUsuario_Internet_id, Value& invntempresa_Id,
                                    Value& invntRota_id, DbConnectionRef& inOdb,
                                    Value& outvntKm_Ate_Dest_Rota, Value& outvntTempo_Ate_Dest_Rota,
                                    Value& outvntMsg_ret) = 0;

  // 9: the feature flags of a user group, on an open connection.
  virtual bool mConsulta_Grupo_Usuario_Parti(
      DbConnectionRef& inOdb, Value& invntempresa_Id, Value& invntGrupo_Usuario_Id,
      Value& invntUsuario_Internet_id, Value& invntstrConecta_DB, Value& outvntFlag_num_pedido,
      Value& outvntFlag_num_docto_transporte, Value& outvntFlag_Cavalo, Value& outvntFlag_Carreta,
      Value& outvntFlag_Motorista, Value& outvntFlag_nota_fiscal, Value& outvntFlag_dados_viagem,
      Value& outvntFlag_Apuracao_Distancia, Value& outvntFlag_Apuracao_Janela_Tempo,
      Value& outvntFlag_Eficiencia, Value& outvntFlag_remetente, Value& outvntFlag_destinatario,
      Value& outvntFlag_Cliente, Value& outvntMsg_ret) = 0;

  // 10: the invoices carried under a document.
  virtual bool mBusca_Nota_Fiscais(Value& invntUsuario_Internet_id, Value& invntempresa_Id,
                                   Value& invntDOCTO_TRANSPORTE_ID,
                                   std::int32_t& inlngdocto_transp_pai, Value& outvntQtde_Nota,
                                   Value& outarrvntNota_Fiscal, Value& outarrvntPeso_Real,
                                   Value& outarrvntVal_Declarado, DbConnectionRef& inOdb,
                                   std::string& instrFlag_Troca_Nota, Value& outvntMsg_ret) = 0;

  // 11: a duration in seconds as hours and minutes ("25:01").
  virtual bool mConverte_Decimal_Hora(Value& invntValor, Value& outvntTempo,
                                      Value& outvntMsg_ret) = 0;
  // 12: whole hours and the seconds left over. A Boolean inside.
  virtual Value mPega_Hora(Value& invntValor, Value& outvntHora, Value& outvntResto,
                           Value& outvntMsg_ret) = 0;
  // 13: whole minutes and the seconds left over. A Boolean inside.
  virtual Value mPega_Minuto(Value& invntValor, Value& outvntMinuto, Value& outvntResto,
                             Value& outvntMsg_ret) = 0;
};
// NOLINTEND(readability-identifier-naming)

// Creates an EVI object. Objects hold no state between calls.
std::shared_ptr<_EVI> CreateEVI();

// Number of EVI objects alive in the process (the unload question).
long LiveObjectCount();

}  // namespace zebevi

#endif  // ZEBEVI_EVI_H_
