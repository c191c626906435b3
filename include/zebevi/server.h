// In-process server entry points. The platform's server services are
// replaced by a small layer of our own: a class registry file whose path the
// host chooses (ZEBEVI_REGISTRY), a class factory that creates EVI objects,
// and a count of live objects for the unload question.
#ifndef ZEBEVI_SERVER_H_
#define ZEBEVI_SERVER_H_

#include <cstdint>
#include <memory>

#include "zebevi/evi.h"

namespace zebevi {

inline constexpr char kClassId[] = "{6C1E0F52-3B7A-4E0D-9A51-2F5D7C8B9E37}";
inline constexpr char kInterfaceId[] = "{6C1E0F53-3B7A-4E0D-9A51-2F5D7C8B9E37}";
inline constexpr char kTypeLibId[] = "{6C1E0F54-3B7A-4E0D-9A51-2F5D7C8B9E37}";
inline constexpr char kProgId[] = "ZebEVI37.EVI";

// Result codes of the entry points.
inline constexpr std::int32_t kOk = 0;                           // S_OK
inline constexpr std::int32_t kFalse = 1;                        // S_FALSE
inline constexpr std::int32_t kClassNotAvailable = -2147221231;  // 0x80040111
inline constexpr std::int32_t kFail = -2147467259;               // 0x80004005

class ClassFactory {
 public:
  virtual ~ClassFactory() = default;
  virtual std::shared_ptr<_EVI> CreateInstance() const = 0;
};

}  // namespace zebevi

extern "C" {
// Writes the class entries into the registry file; kFail when it cannot.
std::int32_t DllRegisterServer(void);
// Removes them again (other classes' entries stay).
std::int32_t DllUnregisterServer(void);
// For kClassId, stores a pointer to the static zebevi::ClassFactory in
// *factory and returns kOk; kClassNotAvailable for any other class.
std::int32_t DllGetClassObject(const char* class_id, const void** factory);
// kOk when no EVI object is alive, kFalse otherwise.
std::int32_t DllCanUnloadNow(void);
}

#endif  // ZEBEVI_SERVER_H_
