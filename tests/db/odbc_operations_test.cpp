// The fourteen operations through the ODBC engine: on the test server they
// answer exactly as through libpq, and a TDS server that is not there ends
// in the trap's result within the login timeout.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "db/connection_string.h"
#include "db/pg_support.h"
#include "db/pool.h"
#include "support/engines.h"
#include "support/test_support.h"
#include "zebevi/dispatch.h"
#include "zebevi/evi.h"

namespace zebevi {
namespace {

using ::zebevi::testing::Engine;
using ::zebevi::testing::ReferenceOn;
using Inputs = std::map<std::string, Value>;

// `value` as a parameter of `kind` takes it.
Argument ArgumentOf(const Value& value, ParamKind kind) {
  if (kind == ParamKind::kString) return ToString(value);
  if (kind == ParamKind::kInt32) return ToInt32(value);
  return value;
}

// A call of `operation` with `inputs` (by parameter name; the rest start
// as new variables) on `connection_string`, given to the connection
// parameters as each takes it: a text, or a connection opened on it.
struct OperationCall {
  OperationCall(std::string_view operation, const Inputs& inputs,
                const std::string& connection_string)
      : op(FindOperation(operation)) {
    for (const ParamInfo& param : op->params) {
      if (param.kind == ParamKind::kObject || param.kind == ParamKind::kDbConnection) {
        auto connection = std::make_shared<DbConnection>();
        connection->Open(connection_string);
        if (param.kind == ParamKind::kObject) {
          args.emplace_back(Value::Object(connection));
        } else {
          args.emplace_back(connection);
        }
      } else if (param.name == "invntConecta_db" || param.name == "invntstrConecta_DB") {
        args.emplace_back(Value::String(connection_string));
      } else if (auto given = inputs.find(std::string(param.name)); given != inputs.end()) {
        args.push_back(ArgumentOf(given->second, param.kind));
      } else {
        args.push_back(NewArgument(param.kind));
      }
    }
    result = Invoke(*CreateEVI(), *op, args);
  }

  const OperationInfo* op;
  std::vector<Argument> args;
  Value result;
};

bool IsConnectionParam(const ParamInfo& param) {
  return param.kind == ParamKind::kObject || param.kind == ParamKind::kDbConnection ||
         param.name == "invntConecta_db" || param.name == "invntstrConecta_DB";
}

class OperationsOnOdbc : public ::testing::Test {
 protected:
  void SetUp() override { ZEBEVI_REQUIRE_ENGINE(Engine::kOdbc); }
};

// Every operation with inputs covering each kind of document, lookup and
// group, for the diagnostic user (1) and another (2).
std::vector<std::pair<std::string, Inputs>> Calls(const schema::GeneratorSummary& s) {
  std::vector<std::pair<std::string, Inputs>> calls;
  const std::vector<std::int64_t> documents = {s.exchanged_document_id,
                                               s.exchange_parent_id,
                                               s.plain_document_id,
                                               s.document_without_route_id,
                                               s.document_without_cycle_id,
                                               s.document_without_arrival_id,
                                               0,
                                               testing::kReferenceDocuments + 1};
  for (const Value& user : {Value::Int32(1), Value::Int32(2)}) {
    for (std::int64_t id : documents) {
      const Value doc = Value::Int32(static_cast<std::int32_t>(id));
      const Value parent = Value::Int32(
          static_cast<std::int32_t>(id == s.exchanged_document_id ? s.exchange_parent_id : id));
      for (const Value& customer : {Value(), Value::Int32(1)}) {
        calls.push_back({"gConsulta_Espelho_Viagem",
                         {{"invntUsuario_Internet_id", user},
                          {"invntCliente_id", customer},
                          {"invntDOCTO_TRANSPORTE_ID", doc}}});
        calls.push_back({"mBusca_Dados_Viagem",
                         {{"invntUsuario_Internet_id", user},
                          {"invntCliente_id", customer},
                          {"invntDOCTO_TRANSPORTE_ID", doc},
                          {"inlngDocto_Transp_Pai_id", parent},
                          {"instrFlag_Troca_Nota", Value("S")}}});
      }
      for (const char* flag : {"S", "N"}) {
        calls.push_back({"mBusca_Apuracao",
                         {{"invntUsuario_Internet_id", user},
                          {"invntDOCTO_TRANSPORTE_ID", doc},
                          {"instrFlag_Nota_Fiscal", Value(flag)}}});
        calls.push_back({"mBusca_Nota_Fiscais",
                         {{"invntUsuario_Internet_id", user},
                          {"invntDOCTO_TRANSPORTE_ID", doc},
                          {"inlngdocto_transp_pai", parent},
                          {"instrFlag_Troca_Nota", Value(flag)}}});
        calls.push_back({"mBusca_Dados_Docto_Viagem",
                         {{"invntUsuario_Internet_id", user},
                          {"invntDOCTO_TRANSPORTE_ID", doc},
                          {"lngDOCTO_TRANSP_PAI_ID", parent},
                          {"outstrFlag_Troca_Nota", Value(flag)}}});
      }
      calls.push_back({"mConsulta_TROCA_DOCTO_TRANSP",
                       {{"invntUsuario_Internet_id", user}, {"invntDOCTO_TRANSPORTE_ID", doc}}});
      calls.push_back(
          {"gValida_Num_Documento",
           {{"invntUsuario_Internet_id", user},
            {"invntNum_Docto_Transporte", Value::Int32(static_cast<std::int32_t>(100000 + id))}}});
    }
    for (const Value& route :
         {Value::Int32(static_cast<std::int32_t>(s.route_id)), Value::Int32(0), Value("7.5")}) {
      calls.push_back(
          {"mConsulta_Dados_Rota", {{"invntUsuario_Internet_id", user}, {"invntRota_id", route}}});
    }
    const Value order = Value(s.multi_document_order);
    const Value company =
        Value::Int32(static_cast<std::int32_t>(s.multi_document_order_company_id));
    calls.push_back({"gValida_Num_Documento",
                     {{"invntUsuario_Internet_id", user}, {"invntNum_Pedido", order}}});
    calls.push_back({"gValida_Num_Documento",
                     {{"invntUsuario_Internet_id", user},
                      {"invntNum_Pedido", order},
                      {"invntempresa_Id", company}}});
    for (const Value& cgc : {Value(), Value(s.consignee_cgc)}) {
      for (const char* language : {"P", "I"}) {
        calls.push_back({"gValida_Num_Pedido_Publ",
                         {{"invntUsuario_Internet_id", user},
                          {"invntempresa_Id", company},
                          {"idioma", Value(language)},
                          {"invntNum_Pedido", order},
                          {"inData_Emissao_Ini", Value("01/01/2024")},
                          {"inCGC_Destinatario", cgc}}});
      }
    }
    calls.push_back({"gValida_Num_Pedido_Publ",
                     {{"invntUsuario_Internet_id", user},
                      {"invntempresa_Id", company},
                      {"invntNum_Pedido", Value("NAO-EXISTE")}}});
    for (std::int64_t group : {s.granted_user_group_id, s.refused_user_group_id,
                               s.empty_user_group_id, std::int64_t{0}}) {
      const Value id = Value::Int32(static_cast<std::int32_t>(group));
      calls.push_back({"gConsulta_Grupo_Usuario_Parti",
                       {{"invntUsuario_Internet_id", user}, {"invntGrupo_Usuario_Id", id}}});
      calls.push_back({"mConsulta_Grupo_Usuario_Parti",
                       {{"invntUsuario_Internet_id", user}, {"invntGrupo_Usuario_Id", id}}});
    }
  }
  for (const char* op : {"mConverte_Decimal_Hora", "mPega_Hora", "mPega_Minuto"}) {
    calls.push_back({op, {{"invntValor", Value::Int32(90061)}}});
  }
  return calls;
}

TEST_F(OperationsOnOdbc, AnswerAsThroughLibpq) {
  const std::string& libpq = ReferenceOn(Engine::kPostgres).connection_string;
  const std::string& odbc = ReferenceOn(Engine::kOdbc).connection_string;
  std::map<std::string, int> answered;
  for (const auto& [operation, inputs] : Calls(ReferenceOn(Engine::kSqlite).summary)) {
    const OperationCall expected(operation, inputs, libpq);
    const OperationCall actual(operation, inputs, odbc);
    SCOPED_TRACE(operation + " " + std::to_string(answered[operation]++));
    EXPECT_EQ(actual.result, expected.result);
    for (std::size_t i = 0; i < expected.args.size(); ++i) {
      if (IsConnectionParam(expected.op->params[i])) continue;
      EXPECT_TRUE(actual.args[i] == expected.args[i]) << expected.op->params[i].name;
    }
  }
  EXPECT_EQ(answered.size(), InterfaceTable().size()) << "every operation is compared";
}

// A local TCP socket: listening (connections are accepted by the system and
// then never answered) or, once closed, a port where nothing listens.
class LocalPort {
 public:
  LocalPort() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&address), size), 0);
    EXPECT_EQ(::listen(fd_, 8), 0);
    EXPECT_EQ(::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size), 0);
    port_ = ntohs(address.sin_port);
  }
  ~LocalPort() { Close(); }
  LocalPort(const LocalPort&) = delete;
  LocalPort& operator=(const LocalPort&) = delete;

  int port() const { return port_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
  int port_ = 0;
};

// A TDS server that refuses the connection, or one that never answers the
// login: the trip summary ends in its trap with a connection failure, within
// the login timeout, and the pool keeps nothing.
TEST(OdbcTds, AServerThatIsNotThereEndsInTheTrapWithinTheLoginTimeout) {
  for (const bool silent : {false, true}) {
    SCOPED_TRACE(silent ? "a server that never answers" : "a closed port");
    LocalPort local;
    if (!silent) local.Close();
    const std::string down =
        "Driver=FreeTDS;Server=127.0.0.1;Port=" + std::to_string(local.port()) +
        ";Database=frete;TDS_Version=7.4;ClientCharset=UTF-8;"
        "Login Timeout=2";
    const auto start = std::chrono::steady_clock::now();
    const OperationCall call("gConsulta_Espelho_Viagem",
                             {{"invntUsuario_Internet_id", Value::Int32(1)},
                              {"invntDOCTO_TRANSPORTE_ID", Value::Int32(1)}},
                             down);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_EQ(call.result, Value::Int16(50));
    const std::string message = ToString(std::get<Value>(call.args.back()));
    EXPECT_NE(message.find("cannot connect through ODBC: "), std::string::npos) << message;
    EXPECT_NE(message.find(" : " + std::to_string(kDbConnectionFailed) + ")"), std::string::npos)
        << message;
    // The trip summary connects as SISTEMA with its own password.
    EXPECT_EQ(message.find("TRMVQKD"), std::string::npos) << message;
    db::ConnectionString key = db::ConnectionString::Parse(down);
    key.Set("user id", "SISTEMA");
    key.Set("password", "TRMVQKD");
    const db::ConnectionPool::Counts counts = db::ConnectionPool::Process().CountsOf(key);
    EXPECT_EQ(counts.lent + counts.idle, 0u) << "nothing is kept of a failed session";
  }
}

}  // namespace
}  // namespace zebevi
