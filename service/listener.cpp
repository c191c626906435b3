#include "service/listener.h"

#include <boost/asio/ip/address.hpp>

#include "service/session.h"

namespace zebevi::service {

namespace asio = boost::asio;
using asio::ip::tcp;

Listener::Listener(ServerCore& core, const ListenAddress& address)
    : core_(core), acceptor_(core.loop), pause_(core.loop) {
  const tcp::endpoint endpoint(asio::ip::make_address(address.host), address.port);
  acceptor_.open(endpoint.protocol());
  acceptor_.set_option(asio::socket_base::reuse_address(true));
  acceptor_.bind(endpoint);
  acceptor_.listen(asio::socket_base::max_listen_connections);
}

void Listener::Start() { Accept(); }

void Listener::Stop() {
  boost::system::error_code ignored;
  acceptor_.close(ignored);
  pause_.cancel();
}

std::string Listener::address() const {
  const tcp::endpoint endpoint = acceptor_.local_endpoint();
  const std::string host = endpoint.address().to_string();
  return (endpoint.address().is_v6() ? "[" + host + "]" : host) + ":" +
         std::to_string(endpoint.port());
}

void Listener::Accept() {
  acceptor_.async_accept([this](boost::system::error_code error, tcp::socket socket) {
    if (!acceptor_.is_open()) return;
    if (error) {
      // Out of descriptors, most likely: wait a moment rather than spin.
      pause_.expires_after(std::chrono::milliseconds(50));
      pause_.async_wait([this](boost::system::error_code e) {
        if (!e) Accept();
      });
      return;
    }
    if (core_.sessions.size() < core_.app.limits().max_connections) {
      boost::system::error_code ignored;
      socket.set_option(tcp::no_delay(true), ignored);
      StartSession(core_, std::move(socket));
    }
    Accept();
  });
}

}  // namespace zebevi::service
