// What the listener and the sessions share inside one running server. One
// thread runs the event loop, and with it every connection; the database
// work runs on the worker pool and posts its answers back to the loop. So
// everything here except `queued` is touched by the loop's thread only.
#ifndef ZEBEVI_SERVICE_SERVER_CORE_H_
#define ZEBEVI_SERVICE_SERVER_CORE_H_

#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/thread_pool.hpp>
#include <cstddef>
#include <functional>
#include <set>

#include "service/application.h"

namespace zebevi::service {

class Session;

struct ServerCore {
  ServerCore(boost::asio::io_context& loop_, boost::asio::thread_pool& workers_, Application& app_)
      : loop(loop_), workers(workers_), app(app_) {}

  boost::asio::io_context& loop;
  boost::asio::thread_pool& workers;
  Application& app;
  std::set<Session*> sessions;
  std::atomic<std::size_t> queued{0};  // requests waiting for a worker
  bool draining = false;
  // Called by the last session to end once draining has begun.
  std::function<void()> on_drained;
};

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_SERVER_CORE_H_
