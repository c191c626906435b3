#include "service/caller.h"

#include <array>

#include "zebevi/error.h"

namespace zebevi::service {
namespace {

constexpr std::array<CallerFieldInfo, 6> kFields{{
    {CallerField::kCustomer, "customer", "invntCliente_id"},
    {CallerField::kCustomerGroup, "customer_group", "invntGrupo_Cliente_id"},
    {CallerField::kSupplier, "supplier", "invntFornecedor_id"},
    {CallerField::kCollaborator, "collaborator", "invntColaborador_id"},
    {CallerField::kCollaboratorType, "collaborator_type", "invntTab_Tipo_Colaborador_id"},
    {CallerField::kCompany, "company", "invntempresa_Id"},
}};

// Whether `given` stands for the same identifier as `own` (Empty when the
// key binds none): compared as the operations compare, a text that is no
// number being another identifier.
bool Same(const Value& given, const std::optional<std::int32_t>& own) {
  if (!own) return given.kind() == Kind::kEmpty;
  try {
    return IsTrue(Eq(given, *own));
  } catch (const Error&) {
    return false;
  }
}

}  // namespace

std::span<const CallerFieldInfo> CallerFields() { return kFields; }

std::optional<Refusal> ResolveIdentifier(const Caller& caller, const CallerFieldInfo& field,
                                         const Value* given, Value& effective) {
  if (caller.internal) {
    effective = given == nullptr ? Value() : *given;
    return std::nullopt;
  }
  const auto bound = caller.bound.find(field.field);
  const std::optional<std::int32_t> own =
      bound == caller.bound.end() ? std::nullopt : std::optional(bound->second);
  if (given != nullptr && !Same(*given, own)) {
    return Refusal{403, "this API key may not choose " + std::string(field.name) + " (" +
                            std::string(field.param) + ")"};
  }
  effective = own ? Value::Int32(*own) : Value();
  return std::nullopt;
}

std::optional<Refusal> CheckUser(const Caller& caller, const Value& user) {
  if (caller.diagnostic) return std::nullopt;
  bool diagnostic_user = false;
  try {
    diagnostic_user = IsTrue(Eq(user, 1));
  } catch (const Error&) {
    // Not a number: the operation's own comparison fails the same way and
    // adds no detail.
  }
  if (!diagnostic_user) return std::nullopt;
  return Refusal{
      403, "this API key may not call as the diagnostic user (" + std::string(kUserParam) + " 1)"};
}

}  // namespace zebevi::service
