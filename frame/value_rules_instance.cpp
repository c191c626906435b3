// The module-wide ValueRules instance: created by the first call that needs
// it and kept until the library unloads.
#include <atomic>
#include <memory>
#include <mutex>

#include "zebevi/error.h"
#include "zebevi/value_rules.h"

namespace zebevi {
namespace {

struct Instance {
  std::mutex mutex;  // guards creation and the factory
  ValueRulesFactory factory = CreateValueRules;
  std::unique_ptr<ValueRules> rules;
  std::atomic<const ValueRules*> ready{nullptr};  // lock-free path once created
};

Instance& TheInstance() {
  static Instance instance;
  return instance;
}

}  // namespace

const ValueRules& Rules() {
  Instance& instance = TheInstance();
  if (const ValueRules* rules = instance.ready.load(std::memory_order_acquire)) return *rules;
  std::lock_guard lock(instance.mutex);
  // A failed creation leaves no instance, so the next call tries again.
  if (!instance.rules) {
    instance.rules = instance.factory ? instance.factory() : nullptr;
    if (!instance.rules) throw Error(429, "Cannot create the value rules component");
    instance.ready.store(instance.rules.get(), std::memory_order_release);
  }
  return *instance.rules;
}

void SetValueRulesFactory(ValueRulesFactory factory) {
  Instance& instance = TheInstance();
  std::lock_guard lock(instance.mutex);
  instance.factory = std::move(factory);
  instance.ready.store(nullptr, std::memory_order_release);
  instance.rules.reset();
}

}  // namespace zebevi
