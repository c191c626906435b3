#include "schema/tables.h"

#include <array>
#include <string_view>

namespace zebevi::schema::tables {
namespace {

constexpr std::string_view kEmpresaColumns[] = {"empresa_id", "razao_social", "nome_fantasia",
                                                "cgc",        "cidade",       "uf"};
constexpr std::string_view kPontoOperacaoColumns[] = {"ponto_operacao_id", "empresa_id",
                                                      "nome_fantasia", "cidade", "uf"};
constexpr std::string_view kParceiroColumns[] = {"parceiro_id", "nome",   "cgc",
                                                 "cpf",         "cidade", "uf"};
constexpr std::string_view kGrupoClienteColumns[] = {"grupo_cliente_id", "empresa_id", "nome"};
constexpr std::string_view kClienteColumns[] = {"cliente_id", "empresa_id", "parceiro_id",
                                                "grupo_cliente_id"};
constexpr std::string_view kFornecedorColumns[] = {"fornecedor_id", "empresa_id", "razao_social",
                                                   "cgc"};
constexpr std::string_view kTipoColaboradorColumns[] = {"tab_tipo_colaborador_id", "descricao",
                                                        "escopo"};
constexpr std::string_view kColaboradorColumns[] = {
    "colaborador_id", "empresa_id", "ponto_operacao_id", "tab_tipo_colaborador_id", "nome", "cpf"};
constexpr std::string_view kProdutoColumns[] = {"produto_id", "descricao"};
constexpr std::string_view kCavaloColumns[] = {"cavalo_id", "empresa_id", "num_frota",
                                               "placa",     "modelo",     "fornecedor_id"};
constexpr std::string_view kCarretaColumns[] = {"carreta_id", "empresa_id",   "num_frota",
                                                "placa",      "tipo_carreta", "fornecedor_id"};
constexpr std::string_view kRotaColumns[] = {"rota_id",       "empresa_id", "descricao",
                                             "cidade_origem", "uf_origem",  "cidade_destino",
                                             "uf_destino",    "total_km",   "tempo_previsto"};
constexpr std::string_view kTipoMacroColumns[] = {"tipo_macro_id", "desc_tipo_macro",
                                                  "visivel_cliente"};
constexpr std::string_view kParticulFuncaoColumns[] = {"PARTICUL_FUNCAO_ID",
                                                       "desc_particul_funcao"};
constexpr std::string_view kGrupoUsuarioColumns[] = {"grupo_usuario_id", "empresa_id", "descricao"};
constexpr std::string_view kGrupoUsuarioParticulColumns[] = {
    "GRUPO_USUARIO_PARTICUL_ID", "Grupo_Usuario_Id", "PARTICUL_FUNCAO_ID",
    "presenca_particularidade"};
constexpr std::string_view kPedidoColumns[] = {"pedido_id",  "empresa_id",         "cliente_id",
                                               "num_pedido", "num_pedido_interno", "data_pedido"};
constexpr std::string_view kDoctoTransporteColumns[] = {"docto_transporte_id",
                                                        "empresa_id",
                                                        "ponto_operacao_id",
                                                        "num_docto_transporte",
                                                        "data_emissao",
                                                        "pedido_id",
                                                        "cliente_id",
                                                        "remetente_id",
                                                        "destinatario_id",
                                                        "produto_id",
                                                        "cavalo_id",
                                                        "carreta_id",
                                                        "motorista_id",
                                                        "rota_id",
                                                        "data_chegada_cliente_prevista",
                                                        "data_prevista_rastreador",
                                                        "data_chegada_cliente_efetiva",
                                                        "data_entrega",
                                                        "flag_no_prazo"};
constexpr std::string_view kTrocaDoctoTranspColumns[] = {"docto_transp_filho_id",
                                                         "docto_transp_pai_id", "data_troca"};
constexpr std::string_view kNotaFiscalColumns[] = {
    "nota_fiscal_id", "docto_transporte_id", "num_nota_fiscal", "serie",
    "data_emissao",   "peso_real_kg",        "val_declarado"};
constexpr std::string_view kTrackingMensagemColumns[] = {
    "tracking_mensagem_id", "docto_transporte_id", "tipo_macro_id", "data_tracking", "odometro"};
constexpr std::string_view kResumoCicloColumns[] = {
    "docto_transporte_id", "km_total",        "km_ate_rem",       "km_rem_dest",
    "km_apos_dest",        "tempo_operacao",  "tempo_transporte", "tempo_ate_rem",
    "tempo_retorno",       "tempo_proc",      "tempo_carga",      "tempo_descarga",
    "tempo_janela_espera", "tempo_ant_carga", "tempo_pos_carga",  "tempo_ant_desc",
    "tempo_pos_desc",      "tempo_rem_dest"};

}  // namespace

const TableLayout kEmpresa{"empresa", kEmpresaColumns};
const TableLayout kPontoOperacao{"ponto_operacao", kPontoOperacaoColumns};
const TableLayout kParceiro{"parceiro", kParceiroColumns};
const TableLayout kGrupoCliente{"grupo_cliente", kGrupoClienteColumns};
const TableLayout kCliente{"cliente", kClienteColumns};
const TableLayout kFornecedor{"fornecedor", kFornecedorColumns};
const TableLayout kTipoColaborador{"tab_tipo_colaborador", kTipoColaboradorColumns};
const TableLayout kColaborador{"colaborador", kColaboradorColumns};
const TableLayout kProduto{"produto", kProdutoColumns};
const TableLayout kCavalo{"cavalo", kCavaloColumns};
const TableLayout kCarreta{"carreta", kCarretaColumns};
const TableLayout kRota{"rota", kRotaColumns};
const TableLayout kTipoMacro{"tipo_macro", kTipoMacroColumns};
const TableLayout kParticulFuncao{"PARTICUL_FUNCAO", kParticulFuncaoColumns};
const TableLayout kGrupoUsuario{"grupo_usuario", kGrupoUsuarioColumns};
const TableLayout kGrupoUsuarioParticul{"GRUPO_USUARIO_PARTICUL", kGrupoUsuarioParticulColumns};
const TableLayout kPedido{"pedido", kPedidoColumns};
const TableLayout kDoctoTransporte{"docto_transporte", kDoctoTransporteColumns};
const TableLayout kTrocaDoctoTransp{"troca_docto_transp", kTrocaDoctoTranspColumns};
const TableLayout kNotaFiscal{"nota_fiscal", kNotaFiscalColumns};
const TableLayout kTrackingMensagem{"tracking_mensagem", kTrackingMensagemColumns};
const TableLayout kResumoCiclo{"resumo_ciclo", kResumoCicloColumns};

std::span<const TableLayout* const> All() {
  static constexpr std::array<const TableLayout*, 22> kAll = {
      &kEmpresa,          &kPontoOperacao,   &kParceiro,         &kGrupoCliente,
      &kCliente,          &kFornecedor,      &kTipoColaborador,  &kColaborador,
      &kProduto,          &kCavalo,          &kCarreta,          &kRota,
      &kTipoMacro,        &kParticulFuncao,  &kGrupoUsuario,     &kGrupoUsuarioParticul,
      &kPedido,           &kDoctoTransporte, &kTrocaDoctoTransp, &kNotaFiscal,
      &kTrackingMensagem, &kResumoCiclo};
  return kAll;
}

}  // namespace zebevi::schema::tables
