// The file-system port over kernel32.
#include "platform/win32/Win32Files.h"

#include <windows.h>

#include <algorithm>

#include "base/Path.h"
#include "platform/win32/Win32Text.h"

// <windows.h> maps these names to their W functions; the port's members keep the plain names.
#undef CopyFile

namespace tc {

namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct FindCloser {
  void operator()(HANDLE handle) const {
    if (handle != INVALID_HANDLE_VALUE) FindClose(handle);
  }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;

// A chunk that fits the DWORD counts of ReadFile and WriteFile.
constexpr std::size_t kChunk = 1u << 30;

// The W functions stop at the first NUL, so such a path would name another file than the one asked for.
bool Usable(const std::u16string& path) { return !path.empty() && path.find(u'\0') == std::u16string::npos; }

class Win32Reader final : public FileReader {
 public:
  explicit Win32Reader(UniqueHandle handle) : handle_(std::move(handle)) {}

  std::optional<std::uint64_t> Size() override {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle_.get(), &size) || size.QuadPart < 0) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
  }

  std::optional<std::size_t> ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    if (!::ReadFile(handle_.get(), buffer, static_cast<DWORD>(std::min(length, kChunk)), &read, &at)) {
      // With an offset, reading at or past the end fails with ERROR_HANDLE_EOF instead of reading nothing.
      if (GetLastError() == ERROR_HANDLE_EOF) return 0;
      return std::nullopt;
    }
    return read;
  }

 private:
  UniqueHandle handle_;
};

// Windows refuses to replace a read-only file, and CREATE_ALWAYS with FILE_ATTRIBUTE_NORMAL a hidden or system
// one; Wine leaves that to Unix permissions, which don't hold for root. Checking first gives Windows' answer.
bool Refuses(const std::u16string& path, DWORD refused) {
  const DWORD attributes = GetFileAttributesW(Wide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & refused) != 0;
}

// The file a stream belongs to ("C:\\x.jar" of "C:\\x.jar:Zone.Identifier"), whose read-only attribute Windows
// holds its streams to; Wine keeps a stream as a file of its own. The path itself when it names no stream.
std::u16string FileOfStream(const std::u16string& path) {
  const size_t separator = path.find_last_of(u"\\/");
  // Never the drive's colon, also of "C:x.jar", a file in the current folder of drive C:.
  const size_t nameStart = std::max<size_t>(separator == std::u16string::npos ? 0 : separator + 1, 2);
  const size_t colon = path.find(u':', nameStart);
  return colon == std::u16string::npos ? path : path.substr(0, colon);
}

// What SetFileAttributesW can set; the others belong to the file system.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Writes every byte to the file CreateFileW opens with `disposition`. With CREATE_NEW the file is ours, so a
// write that fails takes it away again.
bool WriteWhole(const std::u16string& path, const std::vector<std::uint8_t>& bytes, DWORD disposition) {
  UniqueHandle handle(CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (handle.get() == INVALID_HANDLE_VALUE) return false;
  const auto failed = [&] {
    handle.reset();
    if (disposition == CREATE_NEW) DeleteFileW(Wide(path));
    return false;
  };
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min(bytes.size() - done, kChunk));
    if (!::WriteFile(handle.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) return failed();
    done += written;
  }
  // The bytes reach the disk before the caller may put the file in another's place; closing can still report a
  // failed write-back.
  if (!FlushFileBuffers(handle.get()) || CloseHandle(handle.release()) == 0) return failed();
  return true;
}

// Calls a W function that reports the length it needs when the buffer is too small, until the text fits.
template <typename Call>
std::optional<std::u16string> GrowingText(Call call) {
  std::u16string text(MAX_PATH, u'\0');
  while (true) {
    const DWORD length = call(Wide(text), static_cast<DWORD>(text.size()));
    if (length == 0) return std::nullopt;
    if (length < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(length);  // the length with the terminator
  }
}

}  // namespace

std::optional<std::uint32_t> Win32Files::Attributes(const std::u16string& path) {
  if (!Usable(path)) return std::nullopt;
  const DWORD attributes = GetFileAttributesW(Wide(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes;
}

bool Win32Files::SetAttributes(const std::u16string& path, std::uint32_t attributes) {
  return Usable(path) && SetFileAttributesW(Wide(path), attributes) != 0;
}

std::unique_ptr<FileReader> Win32Files::OpenForReading(const std::u16string& path) {
  if (!Usable(path)) return nullptr;
  UniqueHandle handle(CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (handle.get() == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32Reader>(std::move(handle));
}

bool Win32Files::WriteFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes) {
  if (!Usable(path) || Refuses(path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
    return false;
  }
  return WriteWhole(path, bytes, CREATE_ALWAYS);
}

bool Win32Files::WriteNewFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes) {
  return Usable(path) && WriteWhole(path, bytes, CREATE_NEW);
}

bool Win32Files::Replace(const std::u16string& replaced, const std::u16string& replacement) {
  if (!Usable(replaced) || !Usable(replacement)) return false;
  const DWORD attributes = GetFileAttributesW(Wide(replaced));
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return MoveFileExW(Wide(replacement), Wide(replaced), MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (attributes & FILE_ATTRIBUTE_READONLY) return false;
  if (!ReplaceFileW(Wide(replaced), Wide(replacement), nullptr, REPLACEFILE_WRITE_THROUGH, nullptr, nullptr)) {
    // After ERROR_UNABLE_TO_MOVE_REPLACEMENT the replaced file is gone and the replacement still has its own
    // name: moving it is then the only way to keep the user's descriptor.
    const DWORD error = GetLastError();
    if (error != ERROR_INVALID_FUNCTION && error != ERROR_NOT_SUPPORTED && error != ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
      return false;
    }
    if (!MoveFileExW(Wide(replacement), Wide(replaced), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return false;
    }
  }
  // Windows' ReplaceFileW keeps the attributes itself; Wine's and MoveFileExW don't. The bytes are in place
  // either way, so a failure here doesn't undo the replacement.
  const DWORD kept = attributes & kSettableAttributes;
  if ((GetFileAttributesW(Wide(replaced)) & kSettableAttributes) != kept) {
    SetFileAttributesW(Wide(replaced), kept ? kept : FILE_ATTRIBUTE_NORMAL);
  }
  return true;
}

bool Win32Files::RemoveFile(const std::u16string& path) {
  return Usable(path) && !Refuses(path, FILE_ATTRIBUTE_READONLY) &&
         !Refuses(FileOfStream(path), FILE_ATTRIBUTE_READONLY) && DeleteFileW(Wide(path)) != 0;
}

bool Win32Files::CopyFile(const std::u16string& from, const std::u16string& to) {
  if (!Usable(from) || !Usable(to) || Refuses(to, FILE_ATTRIBUTE_READONLY)) return false;
  return CopyFileW(Wide(from), Wide(to), FALSE) != 0;
}

std::optional<FileIdentity> Win32Files::Identity(const std::u16string& path) {
  if (!Usable(path)) return std::nullopt;
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  UniqueHandle handle(CreateFileW(Wide(path), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (handle.get() == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle.get(), &info)) return std::nullopt;
  const std::uint64_t index = std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow;
  // Some network file systems give every file the index 0, which would make them all one file.
  if (index == 0) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber, index};
}

std::optional<std::u16string> Win32Files::TemporaryFolder() {
  std::u16string folder(1024, u'\0');
  const DWORD length = GetTempPathW(static_cast<DWORD>(folder.size()), Wide(folder));
  if (length == 0 || length >= folder.size()) return std::nullopt;
  folder.resize(length);
  return folder;
}

std::optional<std::u16string> Win32Files::LongPath(const std::u16string& path) {
  if (!Usable(path)) return std::nullopt;
  return GrowingText([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(Wide(path), buffer, size); });
}

std::optional<std::u16string> Win32Files::ShortPath(const std::u16string& path) {
  if (!Usable(path)) return std::nullopt;
  return GrowingText([&](wchar_t* buffer, DWORD size) { return GetShortPathNameW(Wide(path), buffer, size); });
}

std::optional<std::u16string> Win32Files::FullPath(const std::u16string& path) {
  if (!Usable(path)) return std::nullopt;
  return GrowingText(
      [&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(Wide(path), size, buffer, nullptr); });
}

std::optional<std::u16string> Win32Files::CombinePath(const std::u16string& folder, const std::u16string& file) {
  // Ours rather than shlwapi's: the same folding, and a launch then needs no shell library.
  return tc::CombinePath(folder, file);
}

std::vector<FolderEntry> Win32Files::Find(const std::u16string& pattern) {
  std::vector<FolderEntry> entries;
  if (!Usable(pattern)) return entries;
  WIN32_FIND_DATAW data{};
  UniqueFind search(FindFirstFileW(Wide(pattern), &data));
  if (search.get() == INVALID_HANDLE_VALUE) return entries;
  do {
    entries.push_back({FromWide(data.cFileName), data.dwFileAttributes});
  } while (FindNextFileW(search.get(), &data));
  return entries;
}

}  // namespace tc
