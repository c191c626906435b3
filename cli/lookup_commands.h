// `zebevi find` (gValida_Num_Documento: the transport documents matching a
// typed order, invoice or document number, as the caller may see them) and
// `zebevi order NUMBER` (gValida_Num_Pedido_Publ: the documents of a
// published order), each as a table, with --json as the version 1 JSON of
// the typed layer, or with --csv as CSV for a spreadsheet.
#ifndef ZEBEVI_CLI_LOOKUP_COMMANDS_H_
#define ZEBEVI_CLI_LOOKUP_COMMANDS_H_

#include <CLI/CLI.hpp>
#include <string>

#include "cli/console.h"
#include "cli/verb_support.h"

namespace zebevi::cli {

struct FindOptions {
  VerbOptions verb;
  std::string order;
  std::string invoice;
  std::string document;
  std::string customer;
  std::string customer_group;
  std::string supplier;
  std::string collaborator;
  std::string collaborator_type;
  std::string company;
  std::string user;
  bool csv = false;
};

struct OrderOptions {
  VerbOptions verb;
  std::string number;
  std::string from;  // dd/mm/yyyy or YYYY-MM-DD
  std::string to;
  std::string cgc;
  std::string cpf;
  bool english = false;
  std::string company;
  std::string user;
  bool csv = false;
};

CLI::App* AddFindVerb(CLI::App& app, FindOptions& options);
CLI::App* AddOrderVerb(CLI::App& app, OrderOptions& options);

// Exit status: 0 when documents were listed; 1 when the operation found
// none or refused the input (its message on standard error); 2 without a
// number to find, or with --from after --to; 3, 4 as for every verb.
int RunFind(const FindOptions& options, const Console& console);
int RunOrder(const OrderOptions& options, const Console& console);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_LOOKUP_COMMANDS_H_
