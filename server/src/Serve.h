#pragma once
// Serving the ordering protocol from a store until the process is told to stop.
#include "OrderServer.h"

#include <iosfwd>

namespace vendra::server {

// Serves until SIGINT or SIGTERM, then stops gracefully: requests in flight are answered (an order
// update is committed or not started) within the stop timeout. The first line on `out` names the
// bound address; the exit code. `db` names the store (see OpenStore), `dbConnections` bounds its
// PostgreSQL pool.
int Serve(const QString& db, size_t dbConnections, const QString& host, int port, const ServerOptions& options,
          std::ostream& out, std::ostream& err);

}  // namespace vendra::server
