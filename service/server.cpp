#include "service/server.h"

#include <boost/asio/signal_set.hpp>
#include <boost/asio/steady_timer.hpp>
#include <csignal>
#include <stdexcept>
#include <vector>

#include "db/pool.h"
#include "service/listener.h"
#include "service/session.h"

namespace zebevi::service {

namespace asio = boost::asio;

namespace {

// Every session, `act` being free to end them.
template <class Act>
void EachSession(ServerCore& core, Act act) {
  for (Session* session : std::vector<Session*>(core.sessions.begin(), core.sessions.end())) {
    act(*session);
  }
}

}  // namespace

int Serve(const ServiceConfig& config, const std::string& connection, std::ostream& log_stream) {
  AccessLog log(log_stream);
  Application app(config, connection, log);
  asio::io_context loop(1);
  asio::thread_pool workers(config.threads);
  ServerCore core(loop, workers, app);

  std::optional<Listener> listener;
  try {
    listener.emplace(core, config.listen);
  } catch (const boost::system::system_error& e) {
    throw std::runtime_error("cannot listen on " + config.listen.host + ":" +
                             std::to_string(config.listen.port) + ": " + e.code().message());
  }

  asio::steady_timer drain_timer(loop);
  asio::signal_set signals(loop, SIGTERM, SIGINT);
  bool cut_off = false;
  const auto stopped = [&] {
    drain_timer.cancel();
    signals.cancel();
  };
  signals.async_wait([&](boost::system::error_code error, int) {
    if (error) return;
    core.draining = true;
    listener->Stop();
    log.Event("draining", {{"in_flight", std::to_string(core.sessions.size())}});
    core.on_drained = stopped;
    // The idle ones close now, the busy ones after their answer.
    EachSession(core, [](Session& session) { CloseIfIdle(session); });
    if (core.sessions.empty()) return stopped();
    drain_timer.expires_after(config.limits.drain_timeout);
    drain_timer.async_wait([&](boost::system::error_code e) {
      if (e) return;
      cut_off = !core.sessions.empty();
      log.Event("drain timed out", {{"cut_off", std::to_string(core.sessions.size())}});
      core.on_drained = nullptr;
      EachSession(core, [](Session& session) { ForceClose(session); });
      signals.cancel();
    });
  });

  listener->Start();
  log.Event("listening",
            {{"address", listener->address()}, {"threads", std::to_string(config.threads)}});
  loop.run();
  // Answers still on their way back from the workers find their sessions
  // closed; run them once the workers are done.
  workers.join();
  loop.restart();
  loop.run();
  const std::size_t closed = db::ConnectionPool::Process().CloseIdle();
  log.Event("stopped",
            {{"cut_off", cut_off ? "true" : "false"}, {"sessions_closed", std::to_string(closed)}});
  return 0;
}

}  // namespace zebevi::service
