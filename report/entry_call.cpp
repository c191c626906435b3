#include "report/entry_call.h"

#include <memory>
#include <stdexcept>
#include <string>

#include "zebevi/evi.h"

namespace zebevi::report {
namespace {

const OperationInfo& Operation(std::string_view name) {
  const OperationInfo* op = FindOperation(name);
  if (op == nullptr) throw std::logic_error("no operation " + std::string(name));
  return *op;
}

}  // namespace

EntryCall::EntryCall(std::string_view operation) : op_(Operation(operation)) {
  args_.reserve(op_.params.size());
  for (const ParamInfo& param : op_.params) args_.push_back(NewArgument(param.kind));
}

std::size_t EntryCall::Position(std::string_view param) const {
  for (std::size_t i = 0; i < op_.params.size(); ++i) {
    if (op_.params[i].name == param) return i;
  }
  throw std::logic_error(std::string(op_.name) + " has no parameter " + std::string(param));
}

void EntryCall::Set(std::string_view param, Value value) {
  std::get<Value>(args_[Position(param)]) = std::move(value);
}

std::int32_t EntryCall::Run() {
  const std::shared_ptr<_EVI> object = CreateEVI();
  return ToInt32(Invoke(*object, op_, args_));
}

const Value& EntryCall::Get(std::string_view param) const {
  return std::get<Value>(args_[Position(param)]);
}

std::span<const Value> EntryCall::List(std::string_view param) const {
  const Value& list = Get(param);
  if (list.kind() != Kind::kArray) return {};
  return list.array();
}

const Value& EntryCall::ElementOr(std::span<const Value> list, std::size_t index) {
  static const Value kEmpty;
  return index < list.size() ? list[index] : kEmpty;
}

}  // namespace zebevi::report
