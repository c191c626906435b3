#include "cli/demo_command.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <ostream>

#include "cli/default_database.h"
#include "cli/exit_codes.h"
#include "cli/json_value.h"
#include "cli/print_json.h"
#include "cli/progress_bar.h"
#include "schema/generator.h"

namespace zebevi::cli {
namespace {

namespace fs = std::filesystem;

// The file the new database is generated into; removed unless it was
// renamed into place.
class PendingFile {
 public:
  explicit PendingFile(fs::path path) : path_(std::move(path)) { fs::remove(path_); }
  ~PendingFile() {
    if (path_.empty()) return;
    std::error_code ignored;
    fs::remove(path_, ignored);
  }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  const fs::path& path() const { return path_; }
  void MoveTo(const fs::path& target) {
    fs::rename(path_, target);
    path_.clear();
  }

 private:
  fs::path path_;
};

Json SummaryJson(const fs::path& path, const schema::GeneratorSummary& s, double seconds) {
  return Json{{"path", path.string()},
              {"documents", s.documents},
              {"orders", s.orders},
              {"invoices", s.invoices},
              {"occurrences", s.occurrences},
              {"seconds", seconds},
              {"exchanged_document_id", s.exchanged_document_id},
              {"exchange_parent_id", s.exchange_parent_id},
              {"plain_document_id", s.plain_document_id},
              {"document_without_route_id", s.document_without_route_id},
              {"document_without_cycle_id", s.document_without_cycle_id},
              {"document_without_arrival_id", s.document_without_arrival_id},
              {"multi_document_order", s.multi_document_order},
              {"multi_document_order_documents", s.multi_document_order_documents},
              {"multi_document_order_company_id", s.multi_document_order_company_id},
              {"consignee_cgc", s.consignee_cgc},
              {"granted_user_group_id", s.granted_user_group_id},
              {"refused_user_group_id", s.refused_user_group_id},
              {"empty_user_group_id", s.empty_user_group_id}};
}

std::string SummaryLine(const DemoOptions& options, const Console& console, const fs::path& path,
                        const schema::GeneratorSummary& s, double seconds) {
  char elapsed[32];
  std::snprintf(elapsed, sizeof elapsed, "%.1f", seconds);
  std::string line = "Created " + ShownPath(console, path.string()) + ": " +
                     std::to_string(s.documents) + " documents, " + std::to_string(s.invoices) +
                     " invoices, " + std::to_string(s.occurrences) + " tracking occurrences in " +
                     elapsed + " s. Try: zebevi trip " + std::to_string(s.exchanged_document_id);
  if (!options.path.empty()) line += " --db " + ShellWord(path.string());
  return line;
}

}  // namespace

CLI::App* AddDemoVerb(CLI::App& app, DemoOptions& options) {
  CLI::App* verb = app.add_subcommand(
      "demo", "Create the demo database (default: the database the other verbs read)");
  verb->add_option("path", options.path, "Database file to create");
  verb->add_option("--documents", options.documents, "Number of transport documents")
      ->check(CLI::Range(schema::kMinimumDocuments, std::int64_t{10'000'000}));
  verb->add_flag("--force", options.force, "Replace the file if it exists");
  verb->add_flag("--json", options.json, "Print the summary as JSON");
  return verb;
}

int RunDemo(const DemoOptions& options, const Console& console) {
  fs::path path;
  try {
    path = options.path.empty() ? DefaultDatabasePath(console) : fs::path(options.path);
  } catch (const UsageError& e) {
    console.err << "zebevi: " << e.what() << '\n';
    return kExitUsage;
  }
  std::error_code error;
  if (fs::exists(path, error) && !options.force) {
    console.err << "zebevi: " << path.string() << " already exists (add --force to replace it)\n";
    return kExitFailure;
  }
  try {
    // The default place may not exist yet on a new machine; a path the user
    // named must lie in a folder that does.
    if (options.path.empty() && path.has_parent_path()) fs::create_directories(path.parent_path());
    PendingFile pending(path.parent_path() /
                        ("." + path.filename().string() + ".new-" + std::to_string(::getpid())));
    const auto start = std::chrono::steady_clock::now();
    schema::GeneratorSummary summary;
    {
      ProgressBar bar(console.err, console.err_is_terminal, "generating");
      schema::GeneratorOptions generator;
      generator.documents = options.documents;
      generator.seed = kDemoSeed;
      generator.progress = [&bar](std::int64_t done, std::int64_t total) {
        bar.Update(done, total);
      };
      summary = schema::GenerateSqlite(pending.path(), generator);
    }
    pending.MoveTo(path);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (options.json) {
      PrintJson(console.out, SummaryJson(path, summary, seconds));
    } else {
      console.out << SummaryLine(options, console, path, summary, seconds) << '\n';
    }
    return kExitOk;
  } catch (const std::exception& e) {
    console.err << "zebevi: cannot create " << path.string() << ": " << e.what() << '\n';
    return kExitFailure;
  }
}

}  // namespace zebevi::cli
