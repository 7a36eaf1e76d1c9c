#include "common/ModuleFolder.h"

#include <windows.h>

#include <string>

#include "app/PathText.h"

namespace payload {

Text ModulePath() {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, &buffer[0], static_cast<DWORD>(buffer.size()));
    if (n == 0) return Text();
    if (n < buffer.size()) return buffer.substr(0, n);
    buffer.resize(buffer.size() * 2);
  }
}

Text ModuleFolder() { return ContainingFolder(ModulePath()); }

}  // namespace payload
