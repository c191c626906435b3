#include "support/operation_calls.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <variant>

#include "support/command_log.h"
#include "support/engines.h"
#include "support/value_printer.h"
#include "zebevi/evi.h"

namespace zebevi::testing {
namespace {

Argument ArgumentOf(const Value& value, ParamKind kind) {
  if (kind == ParamKind::kString) return ToString(value);
  if (kind == ParamKind::kInt32) return ToInt32(value);
  if (kind == ParamKind::kInt32Array) {
    if (value.is_empty()) return Int32Array();
    std::vector<std::int32_t> numbers;
    for (const Value& item : value.array()) numbers.push_back(ToInt32(item));
    return Int32Array(std::move(numbers));
  }
  return value;
}

Value ValueOf(const Argument& argument) {
  if (const auto* text = std::get_if<std::string>(&argument)) return Value::String(*text);
  if (const auto* number = std::get_if<std::int32_t>(&argument)) return Value::Int32(*number);
  if (const auto* list = std::get_if<Int32Array>(&argument)) {
    if (!*list) return Value();
    ValueArray items;
    for (std::int32_t n : **list) items.push_back(Value::Int32(n));
    return Value::Array(std::move(items));
  }
  return std::get<Value>(argument);
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
    if (given != inputs.end() && IsConnectionParam(param)) {
      args.push_back(param.kind == ParamKind::kDbConnection ? NewArgument(param.kind)
                                                            : Argument(given->second));
    } else if (param.kind == ParamKind::kObject || param.kind == ParamKind::kDbConnection) {
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

Value OperationCall::operator[](std::string_view name) const {
  for (std::size_t i = 0; i < op->params.size(); ++i) {
    if (op->params[i].name == name) return ValueOf(args[i]);
  }
  ADD_FAILURE() << op->name << " has no parameter " << name;
  return Value();
}

Inputs Marked(std::string_view operation, Inputs inputs) {
  for (const ParamInfo& param : FindOperation(operation)->params) {
    if (!param.name.starts_with("out")) continue;
    const Value number = Value::Int32(-1);
    inputs.try_emplace(std::string(param.name), param.kind == ParamKind::kInt32 ? number
                                                : param.kind == ParamKind::kInt32Array
                                                    ? Value::Array({number})
                                                    : Value("in"));
  }
  return inputs;
}

void ExpectCall(const OperationCall& call, const Inputs& inputs, const Value& result,
                const Inputs& changed) {
  EXPECT_EQ(call.result, result);
  for (std::size_t i = 0; i < call.args.size(); ++i) {
    const ParamInfo& param = call.op->params[i];
    if (IsConnectionParam(param)) continue;
    const std::string name(param.name);
    const auto given = inputs.find(name);
    const Argument expected = changed.contains(name)  ? ArgumentOf(changed.at(name), param.kind)
                              : given != inputs.end() ? ArgumentOf(given->second, param.kind)
                                                      : NewArgument(param.kind);
    EXPECT_EQ(ValueOf(call.args[i]), ValueOf(expected)) << name;
  }
}

void ExpectCalls(std::string_view operation, const std::vector<CallRow>& rows,
                 const std::string& connection_string) {
  for (const CallRow& row : rows) {
    SCOPED_TRACE(row.name);
    CommandLog log;
    const Inputs inputs = Marked(operation, row.inputs);
    ExpectCall(OperationCall(operation, inputs, connection_string), inputs, row.result,
               row.changed);
    EXPECT_EQ(log.commands().size(), row.commands);
  }
}

Inputs With(Inputs base, const Inputs& more) {
  for (const auto& [name, value] : more) base.insert_or_assign(name, value);
  return base;
}

Inputs InOrder(std::string_view operation, const std::vector<Value>& values) {
  Inputs named;
  for (const ParamInfo& param : FindOperation(operation)->params) {
    if (param.name.starts_with("out") && named.size() < values.size()) {
      named[std::string(param.name)] = values[named.size()];
    }
  }
  return named;
}

bool SameAnswer(const OperationCall& a, const OperationCall& b) {
  if (!(a.result == b.result)) return false;
  for (std::size_t i = 0; i < a.args.size(); ++i) {
    if (!IsConnectionParam(a.op->params[i]) && !(a.args[i] == b.args[i])) return false;
  }
  return true;
}

void ExpectSameAnswers(const std::vector<std::pair<std::string, Inputs>>& calls,
                       const std::string& expected, const std::string& actual) {
  std::map<std::string, int> answered;
  for (const auto& [operation, inputs] : calls) {
    const OperationCall want(operation, inputs, expected);
    Inputs answer;
    for (std::size_t i = 0; i < want.args.size(); ++i) {
      if (!IsConnectionParam(want.op->params[i])) {
        answer[std::string(want.op->params[i].name)] = ValueOf(want.args[i]);
      }
    }
    SCOPED_TRACE(operation + " " + std::to_string(answered[operation]++));
    ExpectCall(OperationCall(operation, inputs, actual), {}, want.result, answer);
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
