#include "app/ResourceStream.h"

#include <algorithm>
#include <cstring>

#include "app/NewFiles.h"
#include "app/PathText.h"
#include "base/Exceptions.h"
#include "base/Handle.h"

TResourceStream::FileWriteCall TResourceStream::WriteFileCall = &WriteFile;

std::int64_t TCustomMemoryStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0 || position_ >= size_) return 0;
  const std::int64_t n = std::min(count, size_ - position_);
  std::memcpy(buffer, static_cast<const char*>(memory_) + position_, static_cast<std::size_t>(n));
  position_ += n;
  return n;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  // The position stays within the bytes (0 to the size): a later Read never reaches
  // outside them, whatever was asked.
  std::int64_t from = 0;
  switch (origin) {
    case TSeekOrigin::Beginning: from = 0; break;
    case TSeekOrigin::Current: from = position_; break;
    case TSeekOrigin::End: from = size_; break;
  }
  if (offset < -from) {
    position_ = 0;
  } else if (offset > size_ - from) {
    position_ = size_;
  } else {
    position_ = from + offset;
  }
  return position_;
}

TResourceStream::TResourceStream(HINSTANCE module, const Text& name, const Text& type) {
  HRSRC found = FindResourceA(module, name.c_str(), type.c_str());
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  if (loaded == nullptr) throw EResNotFound(name + " リソースが見つかりません");
  SetPointer(LockResource(loaded), SizeofResource(module, found));
}

std::int64_t TResourceStream::Write(const void*, std::int64_t) {
  throw EStreamError("読み込み専用リソース ストリームには書き込めません");
}

UniqueFile TResourceStream::WriteToFile(const Text& path) {
  const Text folderPath = FolderPrefix(path);
  THeldFolder folder;
  UniqueFile file;
  if (folder.Open(folderPath.empty() ? Text(".") : folderPath)) {
    file = folder.CreateNewFile(NamePart(path), THeldFolder::ExistingLink::Remove, 0);
  }
  if (!file) throw EFCreateError("ファイル " + path + " を作成できません");
  const std::int64_t size = Size();
  if (size > 0) {
    DWORD written = 0;
    if (!WriteFileCall(file.get(), Memory(), static_cast<DWORD>(size), &written, nullptr)) written = 0;
    if (written != size) throw EWriteError("ストリームへの書き込みエラー");
  }
  return file;
}
