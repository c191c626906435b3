#include "service/serve_command.h"

#include <sys/resource.h>

#include <ostream>

#include "cli/default_database.h"
#include "cli/exit_codes.h"
#include "cli/json_value.h"
#include "service/server.h"

namespace zebevi::service {
namespace {

// Every idle keep-alive connection holds a descriptor: take all the system
// allows this process.
void RaiseDescriptorLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
  }
}

}  // namespace

ServeVerb::ServeVerb(CLI::App& app)
    : verb_(app.add_subcommand("serve", "Serve the operations over HTTP (JSON)")) {
  verb_->add_option("--listen", listen_,
                    "Address to listen on, HOST:PORT (default 127.0.0.1:8080)");
  verb_->add_option("--db", db_,
                    "Database: a connection string or a SQLite file (default: the demo database)");
  verb_->add_option("--threads", threads_, "Database workers (default: one per core)");
  verb_->add_option("--config", config_, "Config file (JSON) with the settings and the API keys");
}

int ServeVerb::Run(const cli::Console& console) const {
  ServiceConfig config;
  std::string connection;
  try {
    const Environment environment = ProcessEnvironment();
    const std::optional<std::string> file =
        config_.empty() ? environment("ZEBEVI_CONFIG") : std::optional(config_);
    if (file) ReadConfigFile(*file, config);
    ApplyEnvironment(environment, config);
    if (!listen_.empty()) config.listen = ParseListenAddress(listen_);
    if (!db_.empty()) config.db = db_;
    if (!threads_.empty()) config.threads = ParseThreads(threads_);
    connection = cli::DatabaseConnection(config.db, console);
  } catch (const ConfigError& e) {
    console.err << "zebevi: " << e.what() << '\n';
    return cli::kExitUsage;
  } catch (const cli::UsageError& e) {
    console.err << "zebevi: " << e.what() << '\n';
    return cli::kExitUsage;
  } catch (const cli::NoDatabase& e) {
    console.err << "zebevi: " << e.what() << '\n';
    return cli::kExitNoDatabase;
  }
  RaiseDescriptorLimit();
  try {
    return Serve(config, connection, console.err);
  } catch (const std::runtime_error& e) {
    console.err << "zebevi: " << e.what() << '\n';
    return cli::kExitFailure;
  }
}

}  // namespace zebevi::service
