#include "cli/flags_command.h"

#include <array>
#include <ostream>

#include "cli/text_layout.h"
#include "cli/text_style.h"
#include "zebevi/feature_flags.h"
#include "zebevi/query_input.h"
#include "zebevi/report_json.h"

namespace zebevi::cli {
namespace {

// The Portuguese label of each feature, in feature order.
constexpr std::array<std::string_view, report::kFeatureCount> kFeatureLabels{
    "Número do pedido",
    "Número do documento de transporte",
    "Cavalo e placa",
    "Carreta e placa",
    "Motorista",
    "Notas fiscais",
    "Dados da viagem",
    "Apuração de distâncias",
    "Apuração de janelas de tempo",
    "Eficiência",
    "Remetente",
    "Destinatário",
    "Cliente",
};

void RenderFlags(const Console& console, const report::FeatureFlags& flags) {
  const TextStyle style(console.colour);
  console.out << style.Title("Recursos do grupo de usuários " + flags.group.display) << "\n\n";
  Table table;
  table.AddColumn("Código", Align::kRight);
  table.AddColumn("Recurso");
  table.AddColumn("Liberado");
  for (report::Feature feature : report::kFeatures) {
    const std::string& flag = flags[feature].display;
    table.AddRow({std::to_string(report::FeatureCode(feature)),
                  std::string(kFeatureLabels[static_cast<std::size_t>(feature)]),
                  flags.granted(feature) ? style.Good(flag) : style.Muted(flag)});
  }
  table.Render(console.out, style);
}

}  // namespace

CLI::App* AddFlagsVerb(CLI::App& app, FlagsOptions& options) {
  CLI::App* verb = app.add_subcommand("flags", "The optional features of a user group");
  verb->add_option("group", options.group, "User group identifier")
      ->required()
      ->check(kWholeNumber);
  verb->add_option("--company", options.company, "Company identifier");
  verb->add_option("--user", options.user, "Internet user identifier (1: diagnostic detail)");
  AddVerbOptions(*verb, options.verb);
  return verb;
}

int RunFlags(const FlagsOptions& options, const Console& terminal) {
  return RunVerb(terminal, options.verb, [&](const VerbRun& run) {
    const Console& console = run.console();
    report::FeaturesQuery query;
    query.connection = run.Connection();
    query.user = report::IdentifierInput(options.user);
    query.company = report::IdentifierInput(options.company);
    query.group = report::IdentifierInput(options.group);
    const report::FeatureFlags flags = report::Features(query);

    // The operation delivers a group it has no rights for as read, with its
    // message: every flag N, as for a group that exists and was granted
    // nothing.
    const bool unknown = flags.status == 0 && !flags.message.empty();
    if (options.verb.json) {
      console.out << report::ToJson(flags) << '\n';
    } else if (flags.status == 0 && !unknown) {
      RenderFlags(console, flags);
    }
    if (unknown) return run.NotFound(flags.message);
    return run.Conclude(flags.status, flags.message);
  });
}

}  // namespace zebevi::cli
