#include "cli/operation_call.h"

#include <stdexcept>

#include "zebevi/evi.h"

namespace zebevi::cli {
namespace {

const OperationInfo& Find(std::string_view operation) {
  const OperationInfo* op = FindOperation(operation);
  if (op == nullptr) throw std::logic_error("no operation " + std::string(operation));
  return *op;
}

const Value& EmptyValue() {
  static const Value kEmpty;
  return kEmpty;
}

}  // namespace

OperationCall::OperationCall(std::string_view operation) : op_(&Find(operation)) {
  for (const ParamInfo& param : op_->params) args_.push_back(NewArgument(param.kind));
}

std::size_t OperationCall::Index(std::string_view param) const {
  for (std::size_t i = 0; i < op_->params.size(); ++i) {
    if (op_->params[i].name == param) return i;
  }
  throw std::logic_error(std::string(op_->name) + " has no parameter " + std::string(param));
}

void OperationCall::Set(std::string_view param, Value value) {
  args_[Index(param)] = std::move(value);
}

const Value& OperationCall::Run() {
  auto object = CreateEVI();
  result_ = Invoke(*object, *op_, args_);
  return result_;
}

const Value& OperationCall::Get(std::string_view param) const {
  return std::get<Value>(args_[Index(param)]);
}

const Value& OperationCall::Element(std::string_view param, std::size_t index) const {
  const Value& list = Get(param);
  if (list.kind() != Kind::kArray || index >= list.array().size()) return EmptyValue();
  return list.array()[index];
}

std::size_t OperationCall::ListSize(std::string_view param) const {
  const Value& list = Get(param);
  return list.kind() == Kind::kArray ? list.array().size() : 0;
}

std::int32_t ResultCode(const Value& result) { return ToInt32(result); }

std::string DisplayText(const Value& value) {
  switch (value.kind()) {
    case Kind::kEmpty:
    case Kind::kNull:
    case Kind::kObject:
      return "";
    case Kind::kArray: {
      std::string joined;
      for (std::size_t i = 0; i < value.array().size(); ++i) {
        joined += (i == 0 ? "" : ", ") + DisplayText(value.array()[i]);
      }
      return joined;
    }
    default:
      return ToString(value);
  }
}

}  // namespace zebevi::cli
