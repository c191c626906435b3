// Accepts client connections on the listen address and starts a session for
// each, up to the connection limit; stops accepting when the server drains.
#ifndef ZEBEVI_SERVICE_LISTENER_H_
#define ZEBEVI_SERVICE_LISTENER_H_

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <string>

#include "service/config.h"
#include "service/server_core.h"

namespace zebevi::service {

class Listener {
 public:
  // Binds the address at once (throws boost::system::system_error).
  Listener(ServerCore& core, const ListenAddress& address);

  void Start();
  void Stop();
  // "HOST:PORT" as bound (the port the system chose for port 0).
  std::string address() const;

 private:
  void Accept();

  ServerCore& core_;
  boost::asio::ip::tcp::acceptor acceptor_;
  boost::asio::steady_timer pause_;
};

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_LISTENER_H_
