#include "frame/evi.h"

#include <atomic>

namespace zebevi {
namespace {

// Live objects, for the unload question. The one counter the server keeps.
std::atomic<long> live_objects{0};

}  // namespace

EVI::EVI() { ++live_objects; }
EVI::~EVI() { --live_objects; }

std::shared_ptr<_EVI> CreateEVI() { return std::make_shared<EVI>(); }

long LiveObjectCount() { return live_objects.load(); }

}  // namespace zebevi
