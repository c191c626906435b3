// The in-process server entry points, on a small layer of our own: the
// class registry is a text file of "key=value" lines at the path the host
// names in ZEBEVI_REGISTRY; registration replaces this class's lines and
// keeps every other line.
#include "zebevi/server.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace zebevi {
namespace {

class EviFactory final : public ClassFactory {
 public:
  std::shared_ptr<_EVI> CreateInstance() const override { return CreateEVI(); }
};

const EviFactory kFactory;

std::string ClassKey() { return std::string("CLSID\\") + kClassId; }

bool IsOurs(const std::string& line) {
  return line.rfind(ClassKey(), 0) == 0 || line.rfind(std::string(kProgId) + "\\", 0) == 0 ||
         line.rfind(std::string("TypeLib\\") + kTypeLibId, 0) == 0 ||
         line.rfind(std::string("Interface\\") + kInterfaceId, 0) == 0;
}

std::string LibraryPath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&DllRegisterServer), &info) == 0 || !info.dli_fname) {
    return {};
  }
  return std::filesystem::absolute(info.dli_fname).string();
}

// The registry file's lines other than this class's.
std::vector<std::string> OtherLines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && !IsOurs(line)) lines.push_back(line);
  }
  return lines;
}

// Writes the file whole through a temporary one, so a reader never sees half
// of it.
bool WriteLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  std::error_code error;
  if (lines.empty()) {
    std::filesystem::remove(path, error);
    return !error;
  }
  const std::filesystem::path temporary = path.string() + ".tmp";
  {
    std::ofstream out(temporary, std::ios::trunc);
    for (const std::string& line : lines) out << line << '\n';
    if (!out.flush()) return false;
  }
  std::filesystem::rename(temporary, path, error);
  return !error;
}

std::int32_t Rewrite(bool with_ours) {
  const char* where = std::getenv("ZEBEVI_REGISTRY");
  if (where == nullptr || *where == '\0') return kFail;
  std::vector<std::string> lines = OtherLines(where);
  if (with_ours) {
    const std::string library = LibraryPath();
    if (library.empty()) return kFail;
    const std::string key = ClassKey();
    lines.push_back(key + "=EVI");
    lines.push_back(key + "\\InprocServer32=" + library);
    lines.push_back(key + "\\InprocServer32\\ThreadingModel=Apartment");
    lines.push_back(key + "\\ProgID=" + kProgId);
    lines.push_back(key + "\\TypeLib=" + kTypeLibId);
    lines.push_back(std::string(kProgId) + "\\CLSID=" + kClassId);
    lines.push_back(std::string("Interface\\") + kInterfaceId + "=_EVI");
    lines.push_back(std::string("TypeLib\\") + kTypeLibId + "\\1.0=ZebEVI37");
  }
  return WriteLines(where, lines) ? kOk : kFail;
}

}  // namespace
}  // namespace zebevi

extern "C" {

std::int32_t DllRegisterServer(void) { return zebevi::Rewrite(true); }

std::int32_t DllUnregisterServer(void) { return zebevi::Rewrite(false); }

std::int32_t DllGetClassObject(const char* class_id, const void** factory) {
  if (factory == nullptr) return zebevi::kFail;
  *factory = nullptr;
  if (class_id == nullptr || std::strcmp(class_id, zebevi::kClassId) != 0) {
    return zebevi::kClassNotAvailable;
  }
  *factory = &zebevi::kFactory;
  return zebevi::kOk;
}

std::int32_t DllCanUnloadNow(void) {
  return zebevi::LiveObjectCount() == 0 ? zebevi::kOk : zebevi::kFalse;
}
}
