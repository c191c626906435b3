#include "service/session.h"

#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <memory>
#include <optional>

namespace zebevi::service {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using Clock = std::chrono::steady_clock;

// How long a refused request's rest is taken in and dropped before closing.
constexpr std::chrono::seconds kLinger{2};

class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(ServerCore& core, asio::ip::tcp::socket socket)
      : core_(core),
        stream_(std::move(socket)),
        request_timer_(core.loop),
        answer_timer_(core.loop) {}

  ~Session() {
    core_.app.metrics().ConnectionClosed();
    core_.sessions.erase(this);
    if (core_.draining && core_.sessions.empty() && core_.on_drained) core_.on_drained();
  }

  void Start() {
    core_.sessions.insert(this);
    core_.app.metrics().ConnectionOpened();
    WaitForRequest();
  }

  void CloseIfIdle() {
    if (state_ == State::kIdle) Close();
  }

  void Close() {
    if (state_ == State::kClosed) return;
    state_ = State::kClosed;
    request_timer_.cancel();
    answer_timer_.cancel();
    beast::error_code ignored;
    stream_.socket().shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
    stream_.socket().close(ignored);
  }

 private:
  enum class State { kIdle, kReading, kAnswering, kWriting, kClosed };

  // Between requests only the idle timeout runs; the request timeout starts
  // with a request's first byte.
  void WaitForRequest() {
    state_ = State::kIdle;
    if (core_.draining) return Close();
    if (buffer_.size() > 0) return ReadHeader();
    stream_.expires_after(core_.app.limits().idle_timeout);
    stream_.async_read_some(buffer_.prepare(4096),
                            [self = shared_from_this()](beast::error_code error, std::size_t size) {
                              self->buffer_.commit(size);
                              if (error || self->state_ == State::kClosed) return self->Close();
                              self->ReadHeader();
                            });
  }

  void ReadHeader() {
    state_ = State::kReading;
    started_ = Clock::now();
    method_.clear();
    timed_out_ = false;
    const Limits& limits = core_.app.limits();
    parser_.emplace();
    // The request line counts against the target's limit, the fields
    // against the header's; the parser's own limit covers both.
    parser_->header_limit(
        static_cast<std::uint32_t>(limits.header_bytes + limits.target_bytes + 16));
    parser_->body_limit(limits.body_bytes);
    stream_.expires_never();
    request_timer_.expires_after(limits.request_timeout);
    request_timer_.async_wait([weak = weak_from_this()](beast::error_code error) {
      auto self = weak.lock();
      if (error || !self || self->state_ != State::kReading) return;
      self->timed_out_ = true;
      beast::error_code ignored;
      self->stream_.socket().cancel(ignored);
    });
    http::async_read_header(stream_, buffer_, *parser_,
                            [self = shared_from_this()](beast::error_code error, std::size_t) {
                              self->OnHeader(error);
                            });
  }

  void OnHeader(beast::error_code error) {
    if (error) return Refuse(error);
    const auto& header = parser_->get();
    method_ = std::string(header.method_string());
    const Limits& limits = core_.app.limits();
    unread_ = true;  // until the body has been read
    if (header.target().size() > limits.target_bytes) {
      return Answer(ErrorResponse(414, "the request target is too long"), /*keep_alive=*/false);
    }
    std::size_t fields = 0;
    for (const auto& field : header)
      fields += field.name_string().size() + field.value().size() + 4;
    if (fields > limits.header_bytes) {
      return Answer(ErrorResponse(431, "the request's header fields are too large"), false);
    }
    if (beast::iequals(header[http::field::expect], "100-continue")) {
      auto proceed =
          std::make_shared<http::response<http::empty_body>>(http::status::continue_, 11);
      return http::async_write(
          stream_, *proceed,
          [self = shared_from_this(), proceed](beast::error_code e, std::size_t) {
            if (e) return self->Close();
            self->ReadBody();
          });
    }
    ReadBody();
  }

  void ReadBody() {
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared_from_this()](beast::error_code error, std::size_t) {
                       if (error) return self->Refuse(error);
                       self->request_timer_.cancel();
                       self->unread_ = false;
                       self->Dispatch();
                     });
  }

  // A request that could not be read whole.
  void Refuse(beast::error_code error) {
    request_timer_.cancel();
    // A client too slow to send its request is cut off without delay.
    unread_ = !timed_out_;
    if (timed_out_) return Answer(ErrorResponse(408, "the request took too long to arrive"), false);
    if (error == http::error::end_of_stream || error == asio::error::eof ||
        error == asio::error::connection_reset || error == asio::error::operation_aborted) {
      return Close();
    }
    if (error == http::error::body_limit) {
      return Answer(ErrorResponse(413, "the request body is too large"), false);
    }
    if (error == http::error::header_limit) {
      return Answer(LineTooLong() ? ErrorResponse(414, "the request target is too long")
                                  : ErrorResponse(431, "the request's header fields are too large"),
                    false);
    }
    Answer(ErrorResponse(400, "not a valid HTTP request"), false);
  }

  // Whether the request line alone was already too long: the parser
  // takes the line (and calls the target in) before it reads the fields.
  bool LineTooLong() const { return parser_->get().target().empty(); }

  void Dispatch() {
    const auto& message = parser_->get();
    HttpRequest request;
    request.method = method_;
    if (!ParseTarget(message.target(), request)) {
      return Answer(ErrorResponse(400, "the request target is not a valid path"), false);
    }
    request.authorization = std::string(message[http::field::authorization]);
    request.body = message.body();
    const bool keep_alive = message.keep_alive();
    plan_ = core_.app.Prepare(std::move(request));
    if (plan_.answer) return Answer(std::move(*plan_.answer), keep_alive);

    const Limits& limits = core_.app.limits();
    if (core_.queued.load() >= limits.max_queued) {
      return Answer(ErrorResponse(503, "the service is busy"), keep_alive);
    }
    state_ = State::kAnswering;
    auto answered = std::make_shared<std::atomic<bool>>(false);
    answer_timer_.expires_after(plan_.deadline);
    answer_timer_.async_wait(
        [self = shared_from_this(), answered, keep_alive](beast::error_code error) {
          if (error || answered->exchange(true)) return;
          HttpResponse late = ErrorResponse(503, "the answer took too long");
          late.database_error = true;
          self->Answer(std::move(late), keep_alive);
        });
    core_.app.metrics().SetQueued(++core_.queued);
    asio::post(core_.workers,
               [self = shared_from_this(), answered, keep_alive, job = plan_.job]() mutable {
                 self->core_.app.metrics().SetQueued(--self->core_.queued);
                 std::optional<HttpResponse> response;
                 // An answer given already (the deadline passed) leaves the job undone.
                 if (!answered->load()) response = job();
                 // The session is only ever touched, and released, on the loop.
                 ServerCore& core = self->core_;
                 asio::post(core.loop, [self = std::move(self), answered, keep_alive,
                                        response = std::move(response)]() mutable {
                   if (!response || answered->exchange(true)) return;
                   self->answer_timer_.cancel();
                   self->Answer(std::move(*response), keep_alive);
                 });
               });
  }

  void Answer(HttpResponse answer, bool keep_alive) {
    if (state_ == State::kClosed) return;
    state_ = State::kWriting;
    status_ = answer.status;
    database_error_ = answer.database_error;
    keep_alive = keep_alive && !core_.draining;
    auto response = std::make_shared<http::response<http::string_body>>(
        static_cast<http::status>(answer.status), 11);
    response->set(http::field::content_type, answer.content_type);
    response->set(http::field::cache_control, "no-store");
    if (answer.status == 503) {
      response->set(http::field::retry_after,
                    std::to_string(core_.app.limits().retry_after_seconds));
    }
    if (answer.status == 401) response->set(http::field::www_authenticate, "Bearer");
    response->body() = std::move(answer.body);
    response->keep_alive(keep_alive);
    response->prepare_payload();
    bytes_ = response->body().size();
    // A client that does not read its answer is cut off like one that does
    // not send its request.
    stream_.expires_after(core_.app.limits().request_timeout);
    http::async_write(
        stream_, *response,
        [self = shared_from_this(), response, keep_alive](beast::error_code error, std::size_t) {
          self->Log();
          if (error || !keep_alive) return self->Close();
          self->WaitForRequest();
        });
  }

  // After refusing a request whose rest is still coming (a body over the
  // limit), closing at once would reset the connection and lose the answer
  // on its way to the client: stop sending, take in and drop what still
  // arrives for a moment, then close.
  void Linger() {
    state_ = State::kIdle;
    beast::error_code ignored;
    stream_.socket().shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
    stream_.expires_after(kLinger);
    Discard();
  }

  void Discard() {
    buffer_.clear();
    stream_.async_read_some(buffer_.prepare(64 * 1024),
                            [self = shared_from_this()](beast::error_code error, std::size_t) {
                              if (error || self->state_ == State::kClosed) return self->Close();
                              self->Discard();
                            });
  }

  void Log() {
    AccessEntry entry;
    entry.method = method_.empty() ? "-" : method_;
    entry.route = plan_.route.empty() ? std::string(kUnmatchedRoute) : plan_.route;
    entry.status = status_;
    entry.duration = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started_);
    entry.bytes = bytes_;
    entry.caller = plan_.caller;
    core_.app.Finished(entry, database_error_);
    plan_ = {};
  }

  ServerCore& core_;
  beast::tcp_stream stream_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  asio::steady_timer request_timer_;
  asio::steady_timer answer_timer_;
  State state_ = State::kIdle;
  bool timed_out_ = false;
  bool unread_ = false;  // the request's rest has not been read
  Clock::time_point started_;
  std::string method_;
  Application::Plan plan_;
  int status_ = 0;
  bool database_error_ = false;
  std::size_t bytes_ = 0;
};

void StartSession(ServerCore& core, asio::ip::tcp::socket socket) {
  std::make_shared<Session>(core, std::move(socket))->Start();
}

void CloseIfIdle(Session& session) { session.CloseIfIdle(); }

void ForceClose(Session& session) { session.Close(); }

}  // namespace zebevi::service
