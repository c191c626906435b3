#include "support/operation_calls.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "support/engines.h"
#include "zebevi/evi.h"

namespace zebevi::testing {
namespace {

Argument ArgumentOf(const Value& value, ParamKind kind) {
  if (kind == ParamKind::kString) return ToString(value);
  if (kind == ParamKind::kInt32) return ToInt32(value);
  return value;
}

bool IsConnectionParam(const ParamInfo& param) {
  return param.kind == ParamKind::kObject || param.kind == ParamKind::kDbConnection ||
         param.name == "invntConecta_db" || param.name == "invntstrConecta_DB";
}

}  // namespace

OperationCall::OperationCall(std::string_view operation, const Inputs& inputs,
                             const std::string& connection_string)
    : op(FindOperation(operation)) {
  for (const ParamInfo& param : op->params) {
    const auto given = inputs.find(std::string(param.name));
    if (param.kind == ParamKind::kObject || param.kind == ParamKind::kDbConnection) {
      auto connection = std::make_shared<DbConnection>();
      connection->Open(connection_string);
      args.push_back(param.kind == ParamKind::kObject ? Argument(Value::Object(connection))
                                                      : Argument(connection));
    } else if (IsConnectionParam(param)) {
      args.emplace_back(Value::String(connection_string));
    } else {
      args.push_back(given == inputs.end() ? NewArgument(param.kind)
                                           : ArgumentOf(given->second, param.kind));
    }
  }
  result = Invoke(*CreateEVI(), *op, args);
}

bool SameAnswer(const OperationCall& a, const OperationCall& b) {
  if (!(a.result == b.result)) return false;
  for (std::size_t i = 0; i < a.args.size(); ++i) {
    if (!IsConnectionParam(a.op->params[i]) && !(a.args[i] == b.args[i])) return false;
  }
  return true;
}

void ExpectSameAnswer(const OperationCall& actual, const OperationCall& expected) {
  EXPECT_EQ(actual.result, expected.result);
  for (std::size_t i = 0; i < expected.args.size(); ++i) {
    if (IsConnectionParam(expected.op->params[i])) continue;
    EXPECT_TRUE(actual.args[i] == expected.args[i]) << expected.op->params[i].name;
  }
}

void ExpectSameAnswers(const std::vector<std::pair<std::string, Inputs>>& calls,
                       const std::string& expected, const std::string& actual) {
  std::map<std::string, int> answered;
  for (const auto& [operation, inputs] : calls) {
    const OperationCall want(operation, inputs, expected);
    const OperationCall got(operation, inputs, actual);
    SCOPED_TRACE(operation + " " + std::to_string(answered[operation]++));
    ExpectSameAnswer(got, want);
  }
  EXPECT_EQ(answered.size(), InterfaceTable().size()) << "every operation is compared";
}

std::vector<std::pair<std::string, Inputs>> Calls(const schema::GeneratorSummary& s) {
  std::vector<std::pair<std::string, Inputs>> calls;
  auto i32 = [](std::int64_t n) { return Value::Int32(static_cast<std::int32_t>(n)); };
  for (const Value& user : {Value::Int32(1), Value::Int32(2)}) {
    // Each call names the user; `add` puts it in.
    auto add = [&](const char* op, Inputs inputs) {
      inputs["invntUsuario_Internet_id"] = user;
      calls.push_back({op, std::move(inputs)});
    };
    for (std::int64_t id :
         {s.exchanged_document_id, s.exchange_parent_id, s.plain_document_id,
          s.document_without_route_id, s.document_without_cycle_id, s.document_without_arrival_id,
          std::int64_t{0}, testing::kReferenceDocuments + 1}) {
      const Value doc = i32(id);
      const Value parent = i32(id == s.exchanged_document_id ? s.exchange_parent_id : id);
      for (const Value& customer : {Value(), Value::Int32(1)}) {
        add("gConsulta_Espelho_Viagem",
            {{"invntCliente_id", customer}, {"invntDOCTO_TRANSPORTE_ID", doc}});
        add("mBusca_Dados_Viagem", {{"invntCliente_id", customer},
                                    {"invntDOCTO_TRANSPORTE_ID", doc},
                                    {"inlngDocto_Transp_Pai_id", parent},
                                    {"instrFlag_Troca_Nota", Value("S")}});
      }
      for (const char* flag : {"S", "N"}) {
        add("mBusca_Apuracao",
            {{"invntDOCTO_TRANSPORTE_ID", doc}, {"instrFlag_Nota_Fiscal", Value(flag)}});
        add("mBusca_Nota_Fiscais", {{"invntDOCTO_TRANSPORTE_ID", doc},
                                    {"inlngdocto_transp_pai", parent},
                                    {"instrFlag_Troca_Nota", Value(flag)}});
        add("mBusca_Dados_Docto_Viagem", {{"invntDOCTO_TRANSPORTE_ID", doc},
                                          {"lngDOCTO_TRANSP_PAI_ID", parent},
                                          {"outstrFlag_Troca_Nota", Value(flag)}});
      }
      add("mConsulta_TROCA_DOCTO_TRANSP", {{"invntDOCTO_TRANSPORTE_ID", doc}});
      add("gValida_Num_Documento", {{"invntNum_Docto_Transporte", i32(100000 + id)}});
    }
    for (const Value& route : {i32(s.route_id), Value::Int32(0), Value("7.5")}) {
      add("mConsulta_Dados_Rota", {{"invntRota_id", route}});
    }
    const Value order = Value(s.multi_document_order);
    const Value company = i32(s.multi_document_order_company_id);
    add("gValida_Num_Documento", {{"invntNum_Pedido", order}});
    add("gValida_Num_Documento", {{"invntNum_Pedido", order}, {"invntempresa_Id", company}});
    for (const Value& cgc : {Value(), Value(s.consignee_cgc)}) {
      for (const char* language : {"P", "I"}) {
        add("gValida_Num_Pedido_Publ", {{"invntempresa_Id", company},
                                        {"idioma", Value(language)},
                                        {"invntNum_Pedido", order},
                                        {"inData_Emissao_Ini", Value("01/01/2024")},
                                        {"inCGC_Destinatario", cgc}});
      }
    }
    add("gValida_Num_Pedido_Publ",
        {{"invntempresa_Id", company}, {"invntNum_Pedido", Value("NAO-EXISTE")}});
    for (std::int64_t group : {s.granted_user_group_id, s.refused_user_group_id,
                               s.empty_user_group_id, std::int64_t{0}}) {
      add("gConsulta_Grupo_Usuario_Parti", {{"invntGrupo_Usuario_Id", i32(group)}});
      add("mConsulta_Grupo_Usuario_Parti", {{"invntGrupo_Usuario_Id", i32(group)}});
    }
  }
  for (const char* op : {"mConverte_Decimal_Hora", "mPega_Hora", "mPega_Minuto"}) {
    calls.push_back({op, {{"invntValor", Value::Int32(90061)}}});
  }
  return calls;
}

}  // namespace zebevi::testing
