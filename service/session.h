// One client connection: reads requests under the limits, has each one
// answered (at once, or by a database worker within its deadline), writes
// the answers and keeps the connection for the next request until it idles
// out, the client leaves, or the server drains.
#ifndef ZEBEVI_SERVICE_SESSION_H_
#define ZEBEVI_SERVICE_SESSION_H_

#include <boost/asio/ip/tcp.hpp>

#include "service/server_core.h"

namespace zebevi::service {

// Starts serving `socket`; the session keeps itself alive while it works.
void StartSession(ServerCore& core, boost::asio::ip::tcp::socket socket);

// Closes a session that waits for its next request; one that is busy with a
// request finishes it and closes after its answer.
void CloseIfIdle(Session& session);
// Closes a session whatever it is doing.
void ForceClose(Session& session);

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_SESSION_H_
