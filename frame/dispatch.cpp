// The interface table and the late-bound call. Each operation's parameter
// kinds come from its C++ signature; only the names are written here, in
// interface order, and a mismatch in their count stops the build.
#include "zebevi/dispatch.h"

#include <strings.h>

#include <array>
#include <cstddef>
#include <type_traits>
#include <utility>

#include "zebevi/error.h"

namespace zebevi {
namespace {

constexpr std::int32_t kDispidBase = 0x60030000;

Error UnknownMember() { return Error(438, "Object doesn't support this property or method"); }

template <class T>
constexpr ParamKind KindOf() {
  if constexpr (std::is_same_v<T, std::string>) return ParamKind::kString;
  if constexpr (std::is_same_v<T, std::int32_t>) return ParamKind::kInt32;
  if constexpr (std::is_same_v<T, Int32Array>) return ParamKind::kInt32Array;
  if constexpr (std::is_same_v<T, DbConnectionRef>) return ParamKind::kDbConnection;
  static_assert(std::is_same_v<T, Value> || std::is_same_v<T, std::string> ||
                std::is_same_v<T, std::int32_t> || std::is_same_v<T, Int32Array> ||
                std::is_same_v<T, DbConnectionRef>);
  return ParamKind::kValue;
}

using Thunk = Value (*)(_EVI&, std::span<Argument>);

template <auto Method>
struct Binding;

template <class R, class... A, R (_EVI::*Method)(A...)>
struct Binding<Method> {
  static constexpr std::size_t kArity = sizeof...(A);
  static constexpr ResultKind kResult =
      std::is_same_v<R, bool> ? ResultKind::kBoolean : ResultKind::kValue;

  static std::vector<ParamKind> Kinds() { return {KindOf<std::remove_reference_t<A>>()...}; }

  static Value Call(_EVI& object, std::span<Argument> args) {
    return CallWith(object, args, std::index_sequence_for<A...>{});
  }

  template <std::size_t... I>
  static Value CallWith(_EVI& object, std::span<Argument> args, std::index_sequence<I...>) {
    if constexpr (std::is_same_v<R, bool>) {
      return Value::Boolean((object.*Method)(std::get<std::remove_reference_t<A>>(args[I])...));
    } else {
      return (object.*Method)(std::get<std::remove_reference_t<A>>(args[I])...);
    }
  }
};

struct Entry {
  OperationInfo info;
  Thunk thunk;
};

template <auto Method, class... Names>
Entry Bind(std::string_view name, Names... names) {
  using B = Binding<Method>;
  static_assert(sizeof...(Names) == B::kArity, "parameter names do not match the signature");
  const std::array<std::string_view, sizeof...(Names)> list{names...};
  const std::vector<ParamKind> kinds = B::Kinds();
  OperationInfo info{name, 0, {}, B::kResult};
  for (std::size_t i = 0; i < list.size(); ++i) {
    // The one untyped object parameter: a connection handed over as Object.
    const bool object = kinds[i] == ParamKind::kValue && list[i] == "inOdb";
    info.params.push_back({list[i], object ? ParamKind::kObject : kinds[i]});
  }
  return {std::move(info), &B::Call};
}

std::vector<Entry> BuildTable() {
  std::vector<Entry> table{
      Bind<&_EVI::gConsulta_Espelho_Viagem>(
          "gConsulta_Espelho_Viagem", "invntConecta_db", "invntUsuario_Internet_id",
          "invntGrupo_Usuario_Id", "invntCliente_id", "invntGrupo_Cliente_id",
          "invntDOCTO_TRANSPORTE_ID", "outvntNum_Pedido", "outvntNum_docto_Transporte",
          "outvntCavalo", "outvntCarreta", "outvntColaborador", "outvntQtde_Nota",
          "outarrvntNota_Fiscal", "outarrvntPeso_Real", "outarrvntVal_Declarado", "outvntQtde_Ocor",
          "outarrvntDescr_Ocor", "outarrvntData_Ocor", "outarrvntOdometro_Ocor", "outvntKm_Total",
          "outvntkm_ate_Rem", "outvntKm_Rem_Dest", "outvntKm_Apos_Dest", "outvntTempo_Operacao",
          "outvntTempo_Transporte", "outvntTempo_Ate_Rem", "outvntTempo_Retorno",
          "outvntTempo_Total_Carga_Desc", "outvntTempo_Carga", "outvntTempo_Descarga",
          "outvntTempo_Janela_Espera", "outvntTempo_Pos_Carga", "outvntTempo_Pos_desc",
          "outvntTempo_Ant_Carga", "outvntTempo_Ant_Desc", "outvntTempo_Rem_Des",
          "outvntData_Chegada_Cliente_Efetiva", "outvntdata_Chegada_cliente_prevista",
          "outvntFlag_no_prazo", "outvntData_Prevista_Rastreador", "outvntRemetente",
          "outvntDestinatario", "outvntCliente", "outvntKm_Ate_Dest_Rota",
          "outvntTempo_Ate_Dest_Rota", "outvntProduto", "outvntMsg_ret"),
      Bind<&_EVI::gConsulta_Grupo_Usuario_Parti>(
          "gConsulta_Grupo_Usuario_Parti", "invntConecta_db", "invntUsuario_Internet_id",
          "invntempresa_Id", "invntGrupo_Usuario_Id", "outvntFlag_num_pedido",
          "outvntFlag_num_docto_transporte", "outvntFlag_Cavalo", "outvntFlag_Carreta",
          "outvntFlag_Motorista", "outvntFlag_nota_fiscal", "outvntFlag_dados_viagem",
          "outvntFlag_Apuracao_Distancia", "outvntFlag_Apuracao_Janela_Tempo",
          "outvntFlag_Eficiencia", "outvntFlag_remetente", "outvntFlag_destinatario",
          "outvntFlag_Cliente", "outvntMsg_ret"),
      Bind<&_EVI::mBusca_Apuracao>(
          "mBusca_Apuracao", "invntUsuario_Internet_id", "invntempresa_Id",
          "invntDOCTO_TRANSPORTE_ID", "inOdb", "outvntKm_Total", "outvntkm_ate_Rem",
          "outvntKm_Rem_Dest", "outvntKm_Apos_Dest", "outvntTempo_Operacao",
          "outvntTempo_Transporte", "outvntTempo_Ate_Rem", "outvntTempo_Retorno",
          "outvntTempo_Total_Carga_Desc", "outvntTempo_Carga", "outvntTempo_Descarga",
          "outvntTempo_Janela_Espera", "outvntTempo_Pos_Carga", "outvntTempo_Pos_desc",
          "outvntTempo_Ant_Carga", "outvntTempo_Ant_Desc", "outvntTempo_Rem_Des",
          "instrFlag_Nota_Fiscal", "outvntMsg_ret"),
      Bind<&_EVI::mBusca_Dados_Docto_Viagem>(
          "mBusca_Dados_Docto_Viagem", "invntUsuario_Internet_id", "invntempresa_Id",
          "invntDOCTO_TRANSPORTE_ID", "lngDOCTO_TRANSP_PAI_ID", "outvntNum_Pedido",
          "outvntNum_docto_Transporte", "outvntCavalo", "outvntCarreta", "outvntColaborador",
          "outvntData_Chegada_Cliente_Efetiva", "outvntdata_Chegada_cliente_prevista",
          "outvntFlag_no_prazo", "inOdb", "outvntData_Prevista_Rastreador", "outvntRemetente",
          "outvntDestinatario", "outvntCliente", "outlngRota_id", "outstrFlag_Troca_Nota",
          "outvntProduto", "outvntMsg_ret"),
      Bind<&_EVI::mConsulta_TROCA_DOCTO_TRANSP>(
          "mConsulta_TROCA_DOCTO_TRANSP", "inOdb", "invntUsuario_Internet_id",
          "invntDOCTO_TRANSPORTE_ID", "outlngDOCTO_TRANSP_PAI_ID", "outarrlngDOCTO_TRANSP_FILHO_ID",
          "outstrNum_docto", "outlngQtde_Docto", "outstrFlag_Docto_Pai", "outstrFlag_Troca_Nota",
          "outvntMsg_ret"),
      Bind<&_EVI::mBusca_Dados_Viagem>(
          "mBusca_Dados_Viagem", "invntUsuario_Internet_id", "invntempresa_Id", "invntCliente_id",
          "invntGrupo_Cliente_id", "invntDOCTO_TRANSPORTE_ID", "inlngDocto_Transp_Pai_id", "inOdb",
          "outvntQtde_Ocor", "outarrvntDescr_Ocor", "outarrvntData_Ocor", "outarrvntOdometro_Ocor",
          "instrFlag_Troca_Nota", "outvntMsg_ret"),
      Bind<&_EVI::gValida_Num_Documento>(
          "gValida_Num_Documento", "invntConecta_db", "invntUsuario_Internet_id", "invntCliente_id",
          "invntGrupo_Cliente_id", "invntColaborador_id", "invntFornecedor_id",
          "invntTab_Tipo_Colaborador_id", "invntBanco_Dados", "invntNome_Produto",
          "invntempresa_Id", "invntNum_Pedido", "invntNota_Fiscal", "invntNum_Docto_Transporte",
          "outvntQtde_Docto", "outarrvntDocto_Transporte_Id", "outarrvntNum_Docto_Transporte",
          "outarrvntData_Emissao", "outarrvntData_Chegada", "outarrvntPonto_Operacao",
          "outarrvntCliente", "outvntMsg_ret"),
      Bind<&_EVI::gValida_Num_Pedido_Publ>(
          "gValida_Num_Pedido_Publ", "invntConecta_db", "invntUsuario_Internet_id",
          "invntBanco_Dados", "invntNome_Produto", "invntempresa_Id", "idioma", "invntNum_Pedido",
          "outvntRetorno", "outvntTam_arr", "outvntarr_Docto_transporte_id",
          "outvntarr_Num_docto_transporte", "outvntarr_Data_emissao", "outvntarr_Data_entrega",
          "inData_Emissao_Ini", "inData_Emissao_Fim", "inCGC_Destinatario", "inCPF_Destinatario",
          "outvntMsg_ret"),
      Bind<&_EVI::mConsulta_Dados_Rota>(
          "mConsulta_Dados_Rota", "invntUsuario_Internet_id", "invntempresa_Id", "invntRota_id",
          "inOdb", "outvntKm_Ate_Dest_Rota", "outvntTempo_Ate_Dest_Rota", "outvntMsg_ret"),
      Bind<&_EVI::mConsulta_Grupo_Usuario_Parti>(
          "mConsulta_Grupo_Usuario_Parti", "inOdb", "invntempresa_Id", "invntGrupo_Usuario_Id",
          "invntUsuario_Internet_id", "invntstrConecta_DB", "outvntFlag_num_pedido",
          "outvntFlag_num_docto_transporte", "outvntFlag_Cavalo", "outvntFlag_Carreta",
          "outvntFlag_Motorista", "outvntFlag_nota_fiscal", "outvntFlag_dados_viagem",
          "outvntFlag_Apuracao_Distancia", "outvntFlag_Apuracao_Janela_Tempo",
          "outvntFlag_Eficiencia", "outvntFlag_remetente", "outvntFlag_destinatario",
          "outvntFlag_Cliente", "outvntMsg_ret"),
      Bind<&_EVI::mBusca_Nota_Fiscais>(
          "mBusca_Nota_Fiscais", "invntUsuario_Internet_id", "invntempresa_Id",
          "invntDOCTO_TRANSPORTE_ID", "inlngdocto_transp_pai", "outvntQtde_Nota",
          "outarrvntNota_Fiscal", "outarrvntPeso_Real", "outarrvntVal_Declarado", "inOdb",
          "instrFlag_Troca_Nota", "outvntMsg_ret"),
      Bind<&_EVI::mConverte_Decimal_Hora>("mConverte_Decimal_Hora", "invntValor", "outvntTempo",
                                          "outvntMsg_ret"),
      Bind<&_EVI::mPega_Hora>("mPega_Hora", "invntValor", "outvntHora", "outvntResto",
                              "outvntMsg_ret"),
      Bind<&_EVI::mPega_Minuto>("mPega_Minuto", "invntValor", "outvntMinuto", "outvntResto",
                                "outvntMsg_ret"),
  };
  for (std::size_t i = 0; i < table.size(); ++i) {
    table[i].info.dispid = kDispidBase + static_cast<std::int32_t>(i);
  }
  return table;
}

const std::vector<Entry>& Table() {
  static const std::vector<Entry> table = BuildTable();
  return table;
}

const Entry& EntryOf(const OperationInfo& op) {
  const auto& table = Table();
  const auto position = static_cast<std::size_t>(op.dispid - kDispidBase);
  if (op.dispid < kDispidBase || position >= table.size() || table[position].info.name != op.name) {
    throw UnknownMember();
  }
  return table[position];
}

}  // namespace

Argument NewArgument(ParamKind kind) {
  switch (kind) {
    case ParamKind::kString:
      return std::string();
    case ParamKind::kInt32:
      return std::int32_t{0};
    case ParamKind::kInt32Array:
      return Int32Array();
    case ParamKind::kDbConnection:
      return DbConnectionRef();
    case ParamKind::kValue:
    case ParamKind::kObject:
      break;
  }
  // Built in place: GCC 12 with the sanitizers and optimisation reports the
  // move out of a temporary Value as maybe uninitialised.
  return Argument(std::in_place_type<Value>);
}

bool Holds(const Argument& argument, ParamKind kind) {
  switch (kind) {
    case ParamKind::kString:
      return std::holds_alternative<std::string>(argument);
    case ParamKind::kInt32:
      return std::holds_alternative<std::int32_t>(argument);
    case ParamKind::kInt32Array:
      return std::holds_alternative<Int32Array>(argument);
    case ParamKind::kDbConnection:
      return std::holds_alternative<DbConnectionRef>(argument);
    case ParamKind::kValue:
    case ParamKind::kObject:
      break;
  }
  return std::holds_alternative<Value>(argument);
}

const std::vector<OperationInfo>& InterfaceTable() {
  static const std::vector<OperationInfo> infos = [] {
    std::vector<OperationInfo> list;
    for (const Entry& entry : Table()) list.push_back(entry.info);
    return list;
  }();
  return infos;
}

const OperationInfo* FindOperation(std::string_view name) {
  for (const Entry& entry : Table()) {
    if (entry.info.name.size() == name.size() &&
        strncasecmp(entry.info.name.data(), name.data(), name.size()) == 0) {
      return &entry.info;
    }
  }
  return nullptr;
}

const OperationInfo* FindOperation(std::int32_t dispid) {
  const auto& table = Table();
  if (dispid < kDispidBase) return nullptr;
  const auto position = static_cast<std::size_t>(dispid - kDispidBase);
  return position < table.size() ? &table[position].info : nullptr;
}

Value Invoke(_EVI& object, const OperationInfo& op, std::span<Argument> args) {
  const Entry& entry = EntryOf(op);
  if (args.size() != entry.info.params.size()) {
    throw Error(450, "Wrong number of arguments or invalid property assignment");
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!Holds(args[i], entry.info.params[i].kind)) throw Error::TypeMismatch();
  }
  return entry.thunk(object, args);
}

Value Invoke(_EVI& object, std::string_view name, std::span<Argument> args) {
  const OperationInfo* op = FindOperation(name);
  if (op == nullptr) throw UnknownMember();
  return Invoke(object, *op, args);
}

Value Invoke(_EVI& object, std::int32_t dispid, std::span<Argument> args) {
  const OperationInfo* op = FindOperation(dispid);
  if (op == nullptr) throw UnknownMember();
  return Invoke(object, *op, args);
}

}  // namespace zebevi
