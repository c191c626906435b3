// The component's class: EVI implements _EVI. Each operation is defined in
// the file of its subsystem (timecalc/, trip/, rights/, lookup/); operations
// that call others do so through _EVI on the same object (Self()).
#ifndef ZEBEVI_FRAME_EVI_H_
#define ZEBEVI_FRAME_EVI_H_

#include "zebevi/evi.h"

namespace zebevi {

// NOLINTBEGIN(readability-identifier-naming): names are the interface's own.
class EVI final : public _EVI {
 public:
  EVI();
  ~EVI() override;
  EVI(const EVI&) = delete;
  EVI& operator=(const EVI&) = delete;

  Value gConsulta_Espelho_Viagem(
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
      Value& outvntTempo_Ate_Dest_Rota, Value& outvntProduto, Value& outvntMsg_ret) override;
  Value gConsulta_Grupo_Usuario_Parti(
      Value& invntConecta_db, Value& invntUsuario_Internet_id, Value& invntempresa_Id,
      Value& invntGrupo_Usuario_Id, Value& outvntFlag_num_pedido,
      Value& outvntFlag_num_docto_transporte, Value& outvntFlag_Cavalo, Value& outvntFlag_Carreta,
      Value& outvntFlag_Motorista, Value& outvntFlag_nota_fiscal, Value& outvntFlag_dados_viagem,
      Value& outvntFlag_Apuracao_Distancia, Value& outvntFlag_Apuracao_Janela_Tempo,
      Value& outvntFlag_Eficiencia, Value& outvntFlag_remetente, Value& outvntFlag_destinatario,
      Value& outvntFlag_Cliente, Value& outvntMsg_ret) override;
  bool mBusca_Apuracao(Value& invntUsuario_Internet_id, Value& invntempresa_Id,
                       Value& invntDOCTO_TRANSPORTE_ID, DbConnectionRef& inOdb,
                       Value& outvntKm_Total, Value& outvntkm_ate_Rem, Value& outvntKm_Rem_Dest,
                       Value& outvntKm_Apos_Dest, Value& outvntTempo_Operacao,
                       Value& outvntTempo_Transporte, Value& outvntTempo_Ate_Rem,
                       Value& outvntTempo_Retorno, Value& outvntTempo_Total_Carga_Desc,
                       Value& outvntTempo_Carga, Value& outvntTempo_Descarga,
                       Value& outvntTempo_Janela_Espera, Value& outvntTempo_Pos_Carga,
                       Value& outvntTempo_Pos_desc, Value& outvntTempo_Ant_Carga,
                       Value& outvntTempo_Ant_Desc, Value& outvntTempo_Rem_Des,
                       std::string& instrFlag_Nota_Fiscal, Value& outvntMsg_ret) override;
  bool mBusca_Dados_Docto_Viagem(
      Value& invntUsuario_Internet_id, Value& invntempresa_Id, Value& invntDOCTO_TRANSPORTE_ID,
      std::int32_t& lngDOCTO_TRANSP_PAI_ID, Value& outvntNum_Pedido,
      Value& outvntNum_docto_Transporte, Value& outvntCavalo, Value& outvntCarreta,
      Value& outvntColaborador, Value& outvntData_Chegada_Cliente_Efetiva,
      Value& outvntdata_Chegada_cliente_prevista, Value& outvntFlag_no_prazo,
      DbConnectionRef& inOdb, Value& outvntData_Prevista_Rastreador, Value& outvntRemetente,
      Value& outvntDestinatario, Value& outvntCliente, std::int32_t& outlngRota_id,
      std::string& outstrFlag_Troca_Nota, Value& outvntProduto, Value& outvntMsg_ret) override;
  bool mConsulta_TROCA_DOCTO_TRANSP(Value& inOdb, Value& invntUsuario_Internet_id,
                                    Value& invntDOCTO_TRANSPORTE_ID,
                                    std::int32_t& outlngDOCTO_TRANSP_PAI_ID,
                                    Int32Array& outarrlngDOCTO_TRANSP_FILHO_ID,
                                    std::string& outstrNum_docto, std::int32_t& outlngQtde_Docto,
                                    std::string& outstrFlag_Docto_Pai,
                                    std::string& outstrFlag_Troca_Nota,
                                    Value& outvntMsg_ret) override;
  bool mBusca_Dados_Viagem(Value& invntUsuario_Internet_id, Value& invntempresa_Id,
                           Value& invntCliente_id, Value& invntGrupo_Cliente_id,
                           Value& invntDOCTO_TRANSPORTE_ID, std::int32_t& inlngDocto_Transp_Pai_id,
                           DbConnectionRef& inOdb, Value& outvntQtde_Ocor,
                           Value& outarrvntDescr_Ocor, Value& outarrvntData_Ocor,
                           Value& outarrvntOdometro_Ocor, std::string& instrFlag_Troca_Nota,
                           Value& outvntMsg_ret) override;
  Value gValida_Num_Documento(Value& invntConecta_db, Value& invntUsuario_Internet_id,
                              Value& invntCliente_id, Value& invntGrupo_Cliente_id,
                              Value& invntColaborador_id, Value& invntFornecedor_id,
                              Value& invntTab_Tipo_Colaborador_id, Value& invntBanco_Dados,
                              Value& invntNome_Produto, Value& invntempresa_Id,
                              Value& invntNum_Pedido, Value& invntNota_Fiscal,
                              Value& invntNum_Docto_Transporte, Value& outvntQtde_Docto,
                              Value& outarrvntDocto_Transporte_Id,
                              Value& outarrvntNum_Docto_Transporte, Value& outarrvntData_Emissao,
                              Value& outarrvntData_Chegada, Value& outarrvntPonto_Operacao,
                              Value& outarrvntCliente, Value& outvntMsg_ret) override;
  Value gValida_Num_Pedido_Publ(
      Value& invntConecta_db, Value& invntUsuario_Internet_id, Value& invntBanco_Dados,
      Value& invntNome_Produto, Value& invntempresa_Id, Value& idioma, Value& invntNum_Pedido,
      Value& outvntRetorno, Value& outvntTam_arr, Value& outvntarr_Docto_transporte_id,
      Value& outvntarr_Num_docto_transporte, Value& outvntarr_Data_emissao,
      Value& outvntarr_Data_entrega, Value& inData_Emissao_Ini, Value& inData_Emissao_Fim,
      Value& inCGC_Destinatario, Value& inCPF_Destinatario, Value& outvntMsg_ret) override;
  bool mConsulta_Dados_Rota(Value& invntUsuario_Internet_id, Value& invntempresa_Id,
                            Value& invntRota_id, DbConnectionRef& inOdb,
                            Value& outvntKm_Ate_Dest_Rota, Value& outvntTempo_Ate_Dest_Rota,
                            Value& outvntMsg_ret) override;
  bool mConsulta_Grupo_Usuario_Parti(
      DbConnectionRef& inOdb, Value& invntempresa_Id, Value& invntGrupo_Usuario_Id,
      Value& invntUsuario_Internet_id, Value& invntstrConecta_DB, Value& outvntFlag_num_pedido,
      Value& outvntFlag_num_docto_transporte, Value& outvntFlag_Cavalo, Value& outvntFlag_Carreta,
      Value& outvntFlag_Motorista, Value& outvntFlag_nota_fiscal, Value& outvntFlag_dados_viagem,
      Value& outvntFlag_Apuracao_Distancia, Value& outvntFlag_Apuracao_Janela_Tempo,
      Value& outvntFlag_Eficiencia, Value& outvntFlag_remetente, Value& outvntFlag_destinatario,
      Value& outvntFlag_Cliente, Value& outvntMsg_ret) override;
  bool mBusca_Nota_Fiscais(Value& invntUsuario_Internet_id, Value& invntempresa_Id,
                           Value& invntDOCTO_TRANSPORTE_ID, std::int32_t& inlngdocto_transp_pai,
                           Value& outvntQtde_Nota, Value& outarrvntNota_Fiscal,
                           Value& outarrvntPeso_Real, Value& outarrvntVal_Declarado,
                           DbConnectionRef& inOdb, std::string& instrFlag_Troca_Nota,
                           Value& outvntMsg_ret) override;
  bool mConverte_Decimal_Hora(Value& invntValor, Value& outvntTempo, Value& outvntMsg_ret) override;
  Value mPega_Hora(Value& invntValor, Value& outvntHora, Value& outvntResto,
                   Value& outvntMsg_ret) override;
  Value mPega_Minuto(Value& invntValor, Value& outvntMinuto, Value& outvntResto,
                     Value& outvntMsg_ret) override;

 private:
  // The interface of this same object, as a client sees it.
  _EVI& Self() { return *this; }
};
// NOLINTEND(readability-identifier-naming)

}  // namespace zebevi

#endif  // ZEBEVI_FRAME_EVI_H_
