// The process port over kernel32. Nothing here touches user32: a launch that shows nothing loads no user
// interface, and Windows ends its start cursor by itself.
#include "platform/win32/Win32Processes.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "base/EnvironmentBlock.h"
#include "platform/ConsoleKey.h"
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
  HANDLE release() {
    HANDLE handle = handle_;
    handle_ = nullptr;
    return handle;
  }
  void Close() {
    if (handle_) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

// The environment block a child is created with; empty when it is the launcher's own, unchanged.
std::u16string ChildEnvironment(const EnvironmentChanges& changes) {
  if (changes.empty()) return {};
  wchar_t* own = GetEnvironmentStringsW();
  if (!own) return {};
  std::size_t length = 0;
  while (own[length] != L'\0' || own[length + 1] != L'\0') ++length;
  std::u16string block = EnvironmentBlock(std::u16string_view(reinterpret_cast<const char16_t*>(own), length + 1), changes);
  FreeEnvironmentStringsW(own);
  return block;
}

void* BlockOrInherited(std::u16string& block) { return block.empty() ? nullptr : block.data(); }

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

// A handler of the launcher's own: SetConsoleCtrlHandler(NULL, TRUE) would be inherited, and the program in the
// console could then not be stopped with Ctrl+C.
BOOL WINAPI OnConsoleControl(DWORD event) { return KeepsLauncherAlive(event) ? TRUE : FALSE; }

// The last lines on the screen, read from the cursor up: trailing blanks dropped, and a row filled to the last
// column joined with the next, since the console broke the line there.
std::u16string ScreenLines(HANDLE output, std::size_t count) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(output, &info) || info.dwSize.X <= 0) return {};
  const auto width = static_cast<DWORD>(info.dwSize.X);
  std::wstring row(width, L' ');
  const auto read = [&](int y) {
    DWORD length = 0;
    if (!ReadConsoleOutputCharacterW(output, row.data(), width, COORD{0, SHORT(y)}, &length)) length = 0;
    return std::wstring(row.data(), length);
  };
  const auto broken = [&](const std::wstring& r) { return r.size() == width && r.back() != L' '; };
  std::vector<std::wstring> rows;  // bottom up
  std::wstring above;
  int y = info.dwCursorPosition.X > 0 ? info.dwCursorPosition.Y : info.dwCursorPosition.Y - 1;
  if (y >= 0) above = read(y);
  for (std::size_t lines = 0; y >= 0 && lines < count; --y) {
    rows.push_back(std::move(above));
    above = y > 0 ? read(y - 1) : std::wstring();
    if (!broken(above)) ++lines;
  }
  std::u16string text;
  for (auto r = rows.rbegin(); r != rows.rend(); ++r) {
    const bool wrapped = broken(*r);
    r->erase(r->find_last_not_of(L' ') + 1);
    text.append(r->begin(), r->end());
    if (!wrapped) text += u"\r\n";
  }
  return text;
}

// The child's output after its end has been read from the pipe: the writes it made are there already, so the
// wait is short unless a program it started holds the pipe open.
constexpr DWORD kDrainMilliseconds = 1000;

// Makes `input` and `output` a child's standard handles and the only handles it inherits.
class StandardHandles {
 public:
  StandardHandles(HANDLE input, HANDLE output) : handles_{input, output} {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    storage_.reset(new char[size]);
    initialized_ = InitializeProcThreadAttributeList(List(), 1, 0, &size);
    ready_ = initialized_ && UpdateProcThreadAttribute(List(), 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_,
                                                       sizeof handles_, nullptr, nullptr);
  }
  ~StandardHandles() {
    if (initialized_) DeleteProcThreadAttributeList(List());
  }
  StandardHandles(const StandardHandles&) = delete;
  StandardHandles& operator=(const StandardHandles&) = delete;

  bool Ready() const { return ready_; }

  bool Create(const std::u16string& commandLine, const EnvironmentChanges& environment, PROCESS_INFORMATION& process) {
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = handles_[0];
    startup.StartupInfo.hStdOutput = handles_[1];
    startup.StartupInfo.hStdError = handles_[1];
    startup.lpAttributeList = List();
    std::u16string buffer = commandLine;
    std::u16string block = ChildEnvironment(environment);
    return CreateProcessW(nullptr, Wide(buffer), nullptr, nullptr, TRUE,
                          EXTENDED_STARTUPINFO_PRESENT | CREATE_UNICODE_ENVIRONMENT, BlockOrInherited(block), nullptr,
                          &startup.StartupInfo, &process);
  }

 private:
  LPPROC_THREAD_ATTRIBUTE_LIST List() { return reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.get()); }

  HANDLE handles_[2];
  std::unique_ptr<char[]> storage_;
  bool initialized_ = false;
  bool ready_ = false;
};

}  // namespace

bool Win32Processes::Start(const std::u16string& commandLine, const EnvironmentChanges& environment) {
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::u16string buffer = commandLine;
  std::u16string block = ChildEnvironment(environment);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, Wide(buffer), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                      BlockOrInherited(block), nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

std::optional<WatchedChild> Win32Processes::StartWatched(const std::u16string& commandLine,
                                                         const EnvironmentChanges& environment,
                                                         std::uint32_t windowMilliseconds, std::size_t keep) {
  const DWORD start = GetTickCount();
  // Where the watch can't be set up, the child is started as if it were not watched.
  const auto unwatched = [&]() -> std::optional<WatchedChild> {
    if (!Start(commandLine, environment)) return std::nullopt;
    return WatchedChild{};
  };
  auto tail = std::make_shared<PipeTail>(keep);
  Handle write;
  // Neither end is inheritable by itself; the write end is made so below, and only the listed handles pass.
  if (!tail->ended || !CreatePipe(tail->pipe.out(), write.out(), nullptr, 64 * 1024)) return unwatched();
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  Handle nul(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                         nullptr));
  StandardHandles handles(nul.get(), write.get());
  if (!nul || !SetHandleInformation(write.get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT) || !handles.Ready()) {
    return unwatched();
  }
  PROCESS_INFORMATION process{};
  const bool created = handles.Create(commandLine, environment, process);
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
  if (reader) WaitForSingleObject(tail->ended.get(), kDrainMilliseconds);
  AcquireSRWLockExclusive(&tail->lock);
  watched.output = tail->bytes;
  ReleaseSRWLockExclusive(&tail->lock);
  return watched;
}

bool KeepsLauncherAlive(std::uint32_t controlEvent) {
  return controlEvent == CTRL_C_EVENT || controlEvent == CTRL_BREAK_EVENT;
}

KeptConsoleStart Win32Processes::StartInKeptConsole(const std::u16string& title, const std::u16string& commandLine,
                                                    const EnvironmentChanges& environment) {
  class Console final : public KeptConsole {
   public:
    Console(HANDLE process, HANDLE input, HANDLE output) : process_(process), input_(input), output_(output) {}
    std::optional<std::uint32_t> WaitForEnd(std::uint32_t milliseconds) override {
      if (WaitForSingleObject(process_.get(), milliseconds == kForever ? INFINITE : milliseconds) != WAIT_OBJECT_0) {
        return std::nullopt;
      }
      DWORD code = 0;
      GetExitCodeProcess(process_.get(), &code);
      // What was typed for the program and left unread is no answer to the end line's question.
      FlushConsoleInputBuffer(input_.get());
      return code;
    }
    std::u16string LastLines(std::size_t count) override { return ScreenLines(output_.get(), count); }
    void Write(const std::u16string& text) override {
      DWORD written = 0;
      WriteConsoleW(output_.get(), text.data(), DWORD(text.size()), &written, nullptr);
    }
    void WaitForKey() override {
      INPUT_RECORD record{};
      DWORD read = 0;
      while (ReadConsoleInputW(input_.get(), &record, 1, &read) && read == 1) {
        if (record.EventType != KEY_EVENT) continue;
        const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
        if (ClosesKeptConsole(key.bKeyDown, key.wVirtualKeyCode, static_cast<char16_t>(key.uChar.UnicodeChar))) return;
      }
    }

   private:
    Handle process_;
    Handle input_;
    Handle output_;
  };

  // A launcher started from a console program's console would otherwise write into that one.
  if (!AllocConsole()) {
    FreeConsole();
    if (!AllocConsole()) return {nullptr, GetLastError()};
  }
  SetConsoleTitleW(Wide(title));
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  Handle input(CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, share, &inheritable, OPEN_EXISTING, 0, nullptr));
  Handle output(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, share, &inheritable, OPEN_EXISTING, 0, nullptr));
  StandardHandles handles(input.get(), output.get());
  PROCESS_INFORMATION process{};
  if (!input || !output || !handles.Ready() || !handles.Create(commandLine, environment, process)) {
    const DWORD error = GetLastError();
    // An empty console left on the screen would only puzzle: the launcher says why instead.
    input.Close();
    output.Close();
    FreeConsole();
    return {nullptr, error};
  }
  CloseHandle(process.hThread);
  return {std::make_unique<Console>(process.hProcess, input.release(), output.release()), 0};
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
