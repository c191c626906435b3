// A missing TDS server is trapped in time; the operations through psqlODBC are compared with
// the other engines in tests/trip.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <variant>

#include "db/connection_string.h"
#include "db/pool.h"
#include "support/operation_calls.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

using ::zebevi::testing::OperationCall;

// A loopback socket that listens and never answers; its port.
int Listen(int& fd) {
  fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), size), 0);
  EXPECT_EQ(::listen(fd, 8), 0);
  EXPECT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size), 0);
  return ntohs(address.sin_port);
}

TEST(OdbcTds, AServerThatIsNotThereEndsInTheTrapWithinTheLoginTimeout) {
  for (const bool silent : {false, true}) {
    SCOPED_TRACE(silent ? "a server that never answers" : "a closed port");
    int fd = -1;
    const int port = Listen(fd);
    if (!silent) ::close(fd);  // then nothing listens there
    const std::string down = "Driver=FreeTDS;Server=127.0.0.1;Port=" + std::to_string(port) +
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
    if (silent) ::close(fd);
  }
}

}  // namespace
}  // namespace zebevi
