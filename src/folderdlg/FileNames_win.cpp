#include "folderdlg/FileNames.h"

#include <windows.h>

#include "folderdlg/PathRoutines.h"

namespace {

bool DoubleByteLocale() { return GetSystemMetrics(SM_DBCSENABLED) != 0; }

Text LocaleCase(const Text& name, bool upper) {
  Text out = name;
  if (out.empty()) return out;
  if (upper) {
    CharUpperBuffA(out.data(), static_cast<DWORD>(out.size()));
  } else {
    CharLowerBuffA(out.data(), static_cast<DWORD>(out.size()));
  }
  return out;
}

}  // namespace

Text FileNameLowerCase(const Text& name) {
  return DoubleByteLocale() ? AsciiLowerCase(name) : LocaleCase(name, false);
}

Text FileNameUpperCase(const Text& name) {
  return DoubleByteLocale() ? AsciiUpperCase(name) : LocaleCase(name, true);
}

int CompareFileNames(const Text& a, const Text& b) {
  const Text x = FileNameLowerCase(a), y = FileNameLowerCase(b);
  return CompareStringA(LOCALE_USER_DEFAULT, 0, x.data(), static_cast<int>(x.size()), y.data(),
                        static_cast<int>(y.size())) -
         CSTR_EQUAL;
}
