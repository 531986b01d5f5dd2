// The process port over kernel32. Nothing here touches user32: a launch that shows nothing loads no user
// interface, and Windows ends its start cursor by itself.
#include "platform/win32/Win32Processes.h"

#include <windows.h>

#include <memory>

#include "platform/win32/Win32Text.h"

namespace tc {

namespace {

// A handle closed when it goes out of scope.
class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  HANDLE* out() { return &handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Close() {
    if (handle_) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

// What the pipe's reader thread shares with the launcher: the last bytes read, and whether the pipe has ended.
// The thread may outlive the watch (a grandchild can keep the pipe open), so both hold it.
struct PipeTail {
  explicit PipeTail(std::size_t keep) : keep(keep) {}
  SRWLOCK lock = SRWLOCK_INIT;
  std::string bytes;
  std::size_t keep;
  Handle pipe;
  Handle ended{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

DWORD WINAPI ReadPipe(void* parameter) {
  const std::unique_ptr<std::shared_ptr<PipeTail>> owned(static_cast<std::shared_ptr<PipeTail>*>(parameter));
  PipeTail& tail = **owned;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(tail.pipe.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) {
    AcquireSRWLockExclusive(&tail.lock);
    tail.bytes.append(chunk, read);
    // Only the tail is kept: memory stays bounded whatever the child writes.
    if (tail.bytes.size() > tail.keep) tail.bytes.erase(0, tail.bytes.size() - tail.keep);
    ReleaseSRWLockExclusive(&tail.lock);
  }
  SetEvent(tail.ended.get());
  return 0;
}

// The child's output after its end has been read from the pipe: the writes it made are there already, so the
// wait is short unless a program it started holds the pipe open.
constexpr DWORD kDrainMilliseconds = 1000;

}  // namespace

bool Win32Processes::Start(const std::u16string& commandLine) {
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::u16string buffer = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, Wide(buffer), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

std::optional<WatchedChild> Win32Processes::StartWatched(const std::u16string& commandLine,
                                                         std::uint32_t windowMilliseconds, std::size_t keep) {
  const DWORD start = GetTickCount();
  // Where the watch can't be set up, the child is started as if it were not watched.
  const auto unwatched = [&]() -> std::optional<WatchedChild> {
    if (!Start(commandLine)) return std::nullopt;
    return WatchedChild{};
  };
  auto tail = std::make_shared<PipeTail>(keep);
  Handle write;
  // Neither end is inheritable by itself; the write end is made so below, and only the listed handles pass.
  if (!tail->ended || !CreatePipe(tail->pipe.out(), write.out(), nullptr, 64 * 1024)) return unwatched();
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  Handle nul(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                         nullptr));
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::unique_ptr<char[]> storage(new char[size]);
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.get());
  if (!nul || !SetHandleInformation(write.get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT) ||
      !InitializeProcThreadAttributeList(attributes, 1, 0, &size)) {
    return unwatched();
  }
  HANDLE inherited[] = {write.get(), nul.get()};
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof(startup);
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = nul.get();
  startup.StartupInfo.hStdOutput = write.get();
  startup.StartupInfo.hStdError = write.get();
  startup.lpAttributeList = attributes;
  std::u16string buffer = commandLine;
  PROCESS_INFORMATION process{};
  const bool created = UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                                 sizeof inherited, nullptr, nullptr) &&
                       CreateProcessW(nullptr, Wide(buffer), nullptr, nullptr, TRUE, EXTENDED_STARTUPINFO_PRESENT,
                                      nullptr, nullptr, &startup.StartupInfo, &process);
  DeleteProcThreadAttributeList(attributes);
  // Only the child holds the write end now: the pipe ends when the child (and whatever it started) ends.
  write.Close();
  nul.Close();
  if (!created) return std::nullopt;
  CloseHandle(process.hThread);
  const Handle child(process.hProcess);

  auto* shared = new std::shared_ptr<PipeTail>(tail);
  const Handle reader(CreateThread(nullptr, 0, ReadPipe, shared, 0, nullptr));
  if (!reader) {
    delete shared;
    tail->pipe.Close();  // nobody reads: the child's writes fail at once rather than fill the pipe
  }

  const DWORD elapsed = GetTickCount() - start;
  WatchedChild watched;
  if (WaitForSingleObject(child.get(), elapsed < windowMilliseconds ? windowMilliseconds - elapsed : 0) !=
      WAIT_OBJECT_0) {
    return watched;
  }
  DWORD code = 0;
  GetExitCodeProcess(child.get(), &code);
  watched.ended = true;
  watched.exitCode = code;
  if (reader && code != 0) WaitForSingleObject(tail->ended.get(), kDrainMilliseconds);
  AcquireSRWLockExclusive(&tail->lock);
  watched.output = tail->bytes;
  ReleaseSRWLockExclusive(&tail->lock);
  return watched;
}

ConsoleStart Win32Processes::StartInNewConsole(const std::u16string& commandLine) {
  class Console final : public ChildProcess {
   public:
    explicit Console(HANDLE process) : process_(process) {}
    std::optional<std::uint32_t> ExitCode() override {
      if (WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0) return std::nullopt;
      DWORD code = 0;
      GetExitCodeProcess(process_.get(), &code);
      return code;
    }

   private:
    Handle process_;
  };

  std::u16string buffer = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, Wide(buffer), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                      &startup, &process)) {
    return ConsoleStart{nullptr, GetLastError()};
  }
  CloseHandle(process.hThread);
  return ConsoleStart{std::make_unique<Console>(process.hProcess), 0};
}

}  // namespace tc
