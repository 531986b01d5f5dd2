// The e2e driver: starts the program with an exact command line, finds its windows by caption and acts on them.
//   driver launch EXE HEX_UTF8_TAIL TIMEOUT_MS   start EXE with the decoded command-line tail; print "started PID",
//                                                then its exit code (ended after TIMEOUT_MS at the latest)
//   driver kill PID                              end a process the driver started
//   driver wait CAPTION TIMEOUT_MS               wait for a visible top-level window; print its rectangle
//   driver gone CAPTION TIMEOUT_MS               wait until no such window is left
//   driver first TIMEOUT_MS CAPTION...           wait for the first of these windows; print its caption
//   driver texts CAPTION                         print "id<TAB>class<TAB>text" of each child control
//   driver click CAPTION ID                      press a button (posted, so a dialog it opens doesn't block us)
//   driver settext CAPTION ID HEX_UTF8           set a control's text
//   driver select CAPTION ID INDEX               choose an item of a list box or combo box, as the user would
//   driver items CAPTION ID                      print the items of a list box or combo box
//   driver icon CAPTION                          print which system icon a message box shows
//   driver close CAPTION                         close a window as its close box does
//   driver rows CAPTION ID                       print "checked<TAB>text" of each item of a list view
//   driver enabled CAPTION ID                    print 1 when the control is enabled, else 0
//   driver progress CAPTION ID                   print a progress bar's position
//   driver settle CAPTION                        return once the window's thread takes messages again
//   driver press CAPTION ID                      press and release the left mouse button on a control
//   driver dblclick CAPTION ID INDEX             double-click an item of a list box, as the user would
//   driver key CAPTION VK                        a key (virtual-key code) pressed in the window's focused control
//   driver focus CAPTION                         print the id of the control that has the keyboard focus
//   driver tab CAPTION                           press Tab; print the id of the control the focus moved to
//   driver windows -                             print the captions of the visible top-level windows
//   driver pointer CAPTION ID                    move the mouse pointer onto a control (ID 0: off the window)
//   driver colour CAPTION ID RRGGBB              print how many of a control's pixels show exactly that colour
//   driver widths CAPTION ID                     print a list's client width and how wide it scrolls (a list box), or
//                                                a combo box's width and its drop-down list's width
//   driver access 32|64 SDDL KEY...              give HKEY_LOCAL_MACHINE keys that exist, and the keys below, this DACL
//   driver clipboard                             print the clipboard's text (CF_UNICODETEXT), nothing when it has none
//   driver image CAPTION                         print the path of the program whose window this is
//   driver hold MUTEX SDDL EXE TIMEOUT_MS        hold a mutex with this DACL, or map EXE as a running program does
//                                                ("-" for neither), print "held", and end after TIMEOUT_MS
//   driver console PID HEX_UTF8 TIMEOUT_MS [key] wait until the console of process PID shows the decoded text; print
//                                                its title, then its lines; with "key", then press Enter in it
// Captions of top-level windows are read without sending them a message, and every message sent to a window
// gives up once its thread is hung or kAnswerTimeout has passed: a busy program never holds the driver.
#include <windows.h>
#include <commctrl.h>
#include <sddl.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::wstring FromUtf8(const std::string& text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(length, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string ToUtf8(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
  std::string narrow(length, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr, nullptr);
  return narrow;
}

std::string FromHex(const std::wstring& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::wcstol(hex.substr(i, 2).c_str(), nullptr, 16)));
  }
  return bytes;
}

constexpr UINT kAnswerTimeout = 10000;

// A window that is gone answers 0, as it did to SendMessageW.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeout, &result) &&
      GetLastError() != ERROR_INVALID_WINDOW_HANDLE) {
    std::fprintf(stderr, "no answer from the window\n");
    std::exit(4);
  }
  return static_cast<LRESULT>(result);
}

// A control's text as the control itself keeps it (an edit's current text).
std::wstring TextOf(HWND window) {
  const auto length = Send(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcslen(text.c_str()));
  return text;
}

// The caption as the window manager keeps it, read without a message: GetWindowTextLengthW sends one, which waits
// for as long as the window's thread is busy, and a poll over every window would then wait with it.
std::wstring CaptionOf(HWND window) {
  wchar_t text[1024] = {};
  const int length = InternalGetWindowText(window, text, 1024);
  return std::wstring(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

struct Search {
  std::wstring caption;
  HWND found = nullptr;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  if (IsWindowVisible(window) && CaptionOf(window) == search->caption) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindTopLevel(const std::wstring& caption) {
  Search search{caption};
  EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitFor(const std::wstring& caption, DWORD timeout) {
  const DWORD start = GetTickCount();
  while (true) {
    if (HWND window = FindTopLevel(caption)) return window;
    if (GetTickCount() - start > timeout) return nullptr;
    Sleep(50);  // polling a condition, bounded by the timeout
  }
}

HWND Require(const std::wstring& caption) {
  HWND window = WaitFor(caption, 30000);
  if (!window) {
    std::fprintf(stderr, "no window \"%s\"\n", ToUtf8(caption).c_str());
    std::exit(4);
  }
  return window;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  std::printf("%d\t%s\t%s\n", GetDlgCtrlID(child), ToUtf8(ClassOf(child)).c_str(), ToUtf8(TextOf(child)).c_str());
  return TRUE;
}

int Launch(const std::wstring& exe, const std::wstring& hexTail, DWORD timeout) {
  std::wstring commandLine = L"\"" + exe + L"\"" + FromUtf8(FromHex(hexTail));
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::printf("start-failed %lu\n", GetLastError());
    return 5;
  }
  CloseHandle(process.hThread);
  // The caller goes on once the program is up: other Wine programs started before that may wait for it.
  WaitForInputIdle(process.hProcess, 10000);
  std::printf("started %lu\n", process.dwProcessId);
  std::fflush(stdout);
  const DWORD waited = WaitForSingleObject(process.hProcess, timeout);
  if (waited != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hProcess);
    std::printf("timeout\n");
    return 6;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  std::printf("exit %lu\n", code);
  return 0;
}

std::vector<COLORREF> Pixels(HDC dc, int width, int height) {
  std::vector<COLORREF> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
  }
  return pixels;
}

// Which system icon a message box shows, told by comparing what is on the screen with each icon drawn here:
// icon handles of another process can't be compared.
const wchar_t* IconName(HWND iconControl) {
  if (!iconControl) return L"none";
  RECT r{};
  GetWindowRect(iconControl, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC shown = CreateCompatibleDC(screen);
  HBITMAP shownBitmap = CreateCompatibleBitmap(screen, width, height);
  SelectObject(shown, shownBitmap);
  BitBlt(shown, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  const std::vector<COLORREF> onScreen = Pixels(shown, width, height);

  struct Known {
    LPCWSTR id;
    const wchar_t* name;
  };
  const Known known[] = {{IDI_ERROR, L"error"}, {IDI_WARNING, L"warning"}, {IDI_INFORMATION, L"information"},
                         {IDI_QUESTION, L"question"}};
  const wchar_t* best = L"other";
  size_t bestDifferences = onScreen.size() / 10 + 1;
  for (const Known& k : known) {
    HDC drawn = CreateCompatibleDC(screen);
    HBITMAP drawnBitmap = CreateCompatibleBitmap(screen, width, height);
    SelectObject(drawn, drawnBitmap);
    HBRUSH background = CreateSolidBrush(onScreen.front());
    RECT all{0, 0, width, height};
    FillRect(drawn, &all, background);
    DeleteObject(background);
    DrawIconEx(drawn, 0, 0, LoadIconW(nullptr, k.id), width, height, 0, nullptr, DI_NORMAL);
    const std::vector<COLORREF> candidate = Pixels(drawn, width, height);
    size_t differences = 0;
    for (size_t i = 0; i < candidate.size(); ++i) differences += candidate[i] != onScreen[i];
    if (differences < bestDifferences) {
      bestDifferences = differences;
      best = k.name;
    }
    DeleteDC(drawn);
    DeleteObject(drawnBitmap);
  }
  DeleteDC(shown);
  DeleteObject(shownBitmap);
  ReleaseDC(nullptr, screen);
  return best;
}

// A message box without an icon keeps its icon control, empty.
BOOL CALLBACK FindIcon(HWND child, LPARAM parameter) {
  if (ClassOf(child) == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
      Send(child, STM_GETICON, 0, 0) != 0) {
    *reinterpret_cast<HWND*>(parameter) = child;
    return FALSE;
  }
  return TRUE;
}

// A list view's item texts live in the other process: the request and its buffer are placed there.
int PrintListViewRows(HWND list) {
  DWORD processId = 0;
  GetWindowThreadProcessId(list, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return 5;
  constexpr size_t kTextLength = 1024;
  const size_t size = sizeof(LVITEMW) + kTextLength * sizeof(wchar_t);
  auto* remote = static_cast<std::uint8_t*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  if (!remote) {
    CloseHandle(process);
    return 5;
  }
  const auto count = Send(list, LVM_GETITEMCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LVITEMW item{};
    item.iSubItem = 0;
    item.cchTextMax = kTextLength;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
    const auto length = Send(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(remote));
    std::wstring text(static_cast<size_t>(length), L'\0');
    ReadProcessMemory(process, remote + sizeof(LVITEMW), text.data(), length * sizeof(wchar_t), nullptr);
    const auto state = Send(list, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK);
    std::printf("%d\t%s\n", ((state & LVIS_STATEIMAGEMASK) >> 12) == 2 ? 1 : 0, ToUtf8(text).c_str());
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return 0;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// The screen is copied once: a pixel read from the screen itself is a trip to the display each, which on a busy
// machine takes longer than the change a scenario waits for.
int CountColour(HWND control, COLORREF colour) {
  RECT r{};
  GetWindowRect(control, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC copy = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  SelectObject(copy, bitmap);
  BitBlt(copy, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  int count = 0;
  for (const COLORREF pixel : Pixels(copy, width, height)) count += pixel == colour;
  DeleteDC(copy);
  DeleteObject(bitmap);
  ReleaseDC(nullptr, screen);
  return count;
}

// RegSetKeySecurity does not pass an inheritable entry on to existing subkeys: each key gets the DACL itself,
// its subkeys first, so that a DACL that takes away enumeration still lets the walk finish. The owner may always
// change a key's DACL, also after taking its own writes away.
LSTATUS SetTreeAccess(HKEY parent, const std::wstring& path, REGSAM view, PSECURITY_DESCRIPTOR descriptor) {
  HKEY key = nullptr;
  LSTATUS status = RegOpenKeyExW(parent, path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS | WRITE_DAC | view, &key);
  if (status != ERROR_SUCCESS) return status;
  wchar_t name[256];
  for (DWORD index = 0; status == ERROR_SUCCESS; ++index) {
    DWORD length = 256;
    if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    status = SetTreeAccess(key, name, view, descriptor);
  }
  if (status == ERROR_SUCCESS) status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
  RegCloseKey(key);
  return status;
}

int SetAccess(const std::wstring& bits, const std::wstring& sddl, wchar_t** keys, int count) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
    return 3;
  }
  int result = 0;
  for (int i = 0; i < count; ++i) {
    const LSTATUS status =
        SetTreeAccess(HKEY_LOCAL_MACHINE, keys[i], bits == L"32" ? KEY_WOW64_32KEY : KEY_WOW64_64KEY, descriptor);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
      std::fprintf(stderr, "access: %s: error %ld\n", ToUtf8(keys[i]).c_str(), static_cast<long>(status));
      result = 4;
    }
  }
  LocalFree(descriptor);
  return result;
}

// The screen rows of the console this process is attached to, up to the cursor's, trailing blanks dropped.
std::wstring ConsoleScreen(HANDLE output) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(output, &info)) return L"";
  std::wstring screen, row(static_cast<size_t>(info.dwSize.X), L' ');
  for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
    DWORD read = 0;
    ReadConsoleOutputCharacterW(output, row.data(), static_cast<DWORD>(row.size()), COORD{0, y}, &read);
    screen += row.substr(0, row.find_last_not_of(L' ') + 1) + L"\n";
  }
  return screen;
}

int ReadConsole(DWORD process, const std::wstring& text, DWORD timeout, bool key) {
  FreeConsole();
  if (!AttachConsole(process)) return 3;
  HANDLE output = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  const DWORD start = GetTickCount();
  std::wstring screen;
  while ((screen = ConsoleScreen(output)).find(text) == std::wstring::npos) {
    if (GetTickCount() - start > timeout) break;
    Sleep(50);  // polling the screen, bounded by the timeout
  }
  wchar_t title[512] = {};
  GetConsoleTitleW(title, 512);
  std::printf("%s\n%s", ToUtf8(title).c_str(), ToUtf8(screen).c_str());
  if (screen.find(text) == std::wstring::npos) return 4;
  if (key) {
    HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    INPUT_RECORD key{KEY_EVENT};
    key.Event.KeyEvent = {TRUE, 1, VK_RETURN, 0x1C, {L'\r'}, 0};
    DWORD written = 0;
    if (!WriteConsoleInputW(input, &key, 1, &written) || written != 1) return 5;
  }
  return 0;
}

// Its text's own line ends go out unchanged. The program that writes it holds it open for a moment.
int PrintClipboard() {
  const DWORD start = GetTickCount();
  while (!OpenClipboard(nullptr)) {
    if (GetTickCount() - start > kAnswerTimeout) return 4;
    Sleep(50);  // polling for the clipboard to be free, bounded
  }
  std::wstring text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = locked;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  const std::string bytes = ToUtf8(text);
  _setmode(_fileno(stdout), _O_BINARY);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  return 0;
}

// What an installer meets of a program that runs in another session or with other rights.
int Hold(const std::wstring& mutex, const std::wstring& sddl, const std::wstring& exe, DWORD timeout) {
  HANDLE held = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (mutex != L"-" && ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                                            &descriptor, nullptr)) {
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    held = CreateMutexW(&attributes, FALSE, mutex.c_str());
    LocalFree(descriptor);
  }
  HMODULE image = exe == L"-" ? nullptr : LoadLibraryExW(exe.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if ((mutex != L"-" && !held) || (exe != L"-" && !image)) {
    std::printf("hold-failed %lu\n", GetLastError());
    return 5;
  }
  std::printf("held\n");
  std::fflush(stdout);
  Sleep(timeout);  // the scenario ends it sooner
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"clipboard") return PrintClipboard();
  if (argc < 3) {
    std::fprintf(stderr, "usage: driver COMMAND ARGS...\n");
    return 2;
  }
  const std::wstring command = argv[1];
  const std::wstring caption = argv[2];
  if (command == L"kill") {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, std::wcstoul(argv[2], nullptr, 10));
    if (!process) return 0;  // ended already
    TerminateProcess(process, 99);
    const DWORD waited = WaitForSingleObject(process, 10000);
    CloseHandle(process);
    return waited == WAIT_OBJECT_0 ? 0 : 4;
  }
  if (command == L"first" && argc >= 4) {
    const DWORD start = GetTickCount();
    const DWORD timeout = std::wcstoul(argv[2], nullptr, 10);
    while (true) {
      for (int i = 3; i < argc; ++i) {
        if (FindTopLevel(argv[i])) {
          std::printf("%s\n", ToUtf8(argv[i]).c_str());
          return 0;
        }
      }
      if (GetTickCount() - start > timeout) return 4;
      Sleep(50);  // polling a condition, bounded by the timeout
    }
  }
  if (command == L"console" && (argc == 5 || argc == 6)) {
    return ReadConsole(std::wcstoul(argv[2], nullptr, 10), FromUtf8(FromHex(argv[3])), std::wcstoul(argv[4], nullptr, 10),
                       argc == 6);
  }
  if (command == L"access" && argc >= 5) return SetAccess(argv[2], argv[3], argv + 4, argc - 4);
  if (command == L"hold" && argc == 6) return Hold(argv[2], argv[3], argv[4], std::wcstoul(argv[5], nullptr, 10));
  if (command == L"launch" && argc == 5) return Launch(argv[2], argv[3], std::wcstoul(argv[4], nullptr, 10));
  if (command == L"wait" && argc == 4) {
    HWND window = WaitFor(caption, std::wcstoul(argv[3], nullptr, 10));
    if (!window) {
      std::printf("missing\n");
      return 4;
    }
    RECT r{};
    GetWindowRect(window, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (command == L"windows") {
    EnumWindows(
        [](HWND top, LPARAM) -> BOOL {
          if (!IsWindowVisible(top)) return TRUE;
          std::printf("%s\t%s\n", ToUtf8(ClassOf(top)).c_str(), ToUtf8(CaptionOf(top)).c_str());
          return TRUE;
        },
        0);
    return 0;
  }
  if (command == L"gone" && argc == 4) {
    const DWORD start = GetTickCount();
    while (FindTopLevel(caption)) {
      if (GetTickCount() - start > std::wcstoul(argv[3], nullptr, 10)) return 4;
      Sleep(50);
    }
    return 0;
  }
  HWND window = Require(caption);
  if (command == L"image") {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    wchar_t path[MAX_PATH];
    DWORD size = MAX_PATH;
    const bool named = process && QueryFullProcessImageNameW(process, 0, path, &size);
    if (process) CloseHandle(process);
    if (named) std::printf("%s\n", ToUtf8(path).c_str());
    return named ? 0 : 4;
  }
  if (command == L"texts") {
    EnumChildWindows(window, PrintChild, 0);
    return 0;
  }
  if (command == L"click" && argc == 4) {
    const int id = std::wcstol(argv[3], nullptr, 10);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
    return 0;
  }
  if (command == L"settext" && argc == 5) {
    const std::wstring text = FromUtf8(FromHex(argv[4]));
    Send(GetDlgItem(window, std::wcstol(argv[3], nullptr, 10)), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
  }
  if (command == L"select" && argc == 5) {
    const int id = std::wcstol(argv[3], nullptr, 10);
    const int index = std::wcstol(argv[4], nullptr, 10);
    HWND control = GetDlgItem(window, id);
    const bool combo = ClassOf(control) == L"ComboBox";
    Send(control, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
    return 0;
  }
  if (command == L"items" && argc == 4) {
    HWND control = GetDlgItem(window, std::wcstol(argv[3], nullptr, 10));
    const bool combo = ClassOf(control) == L"ComboBox";
    const auto count = Send(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      const auto length = Send(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0);
      std::wstring text(static_cast<size_t>(length) + 1, L'\0');
      Send(control, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
      text.resize(static_cast<size_t>(length));
      std::printf("%s\n", ToUtf8(text).c_str());
    }
    return 0;
  }
  if (command == L"icon") {
    HWND icon = nullptr;
    EnumChildWindows(window, FindIcon, reinterpret_cast<LPARAM>(&icon));
    std::printf("%s\n", ToUtf8(IconName(icon)).c_str());
    return 0;
  }
  if (command == L"rows" && argc == 4) return PrintListViewRows(GetDlgItem(window, std::wcstol(argv[3], nullptr, 10)));
  if (command == L"enabled" && argc == 4) {
    std::printf("%d\n", IsWindowEnabled(GetDlgItem(window, std::wcstol(argv[3], nullptr, 10))) ? 1 : 0);
    return 0;
  }
  if (command == L"widths" && argc == 4) {
    HWND control = GetDlgItem(window, std::wcstol(argv[3], nullptr, 10));
    RECT r{};
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    if (lstrcmpiW(name, WC_COMBOBOXW) == 0) {
      GetWindowRect(control, &r);
      std::printf("%ld\t%d\n", r.right - r.left, static_cast<int>(Send(control, CB_GETDROPPEDWIDTH, 0, 0)));
    } else {
      GetClientRect(control, &r);
      std::printf("%ld\t%d\n", r.right, static_cast<int>(Send(control, LB_GETHORIZONTALEXTENT, 0, 0)));
    }
    return 0;
  }
  if (command == L"progress" && argc == 4) {
    const int id = std::wcstol(argv[3], nullptr, 10);
    std::printf("%d\n", static_cast<int>(Send(GetDlgItem(window, id), PBM_GETPOS, 0, 0)));
    return 0;
  }
  if (command == L"settle") {
    // A sent message is handled only inside a message loop: once it returns, whatever the thread was about to
    // show before waiting for input (a message box) is there. Waiting for a busy thread is the point, so a thread
    // that looks hung is waited for too, within the bound.
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) ? 0 : 4;
  }
  if (command == L"press" && argc == 4) {
    HWND control = GetDlgItem(window, std::wcstol(argv[3], nullptr, 10));
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    return 0;
  }
  if (command == L"dblclick" && argc == 5) {
    const int id = std::wcstol(argv[3], nullptr, 10);
    HWND control = GetDlgItem(window, id);
    Send(control, LB_SETCURSEL, std::wcstol(argv[4], nullptr, 10), 0);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(control));
    return 0;
  }
  if (command == L"key" && argc == 4) {
    HWND target = FocusOf(window);
    if (!target) target = window;
    const auto key = static_cast<WPARAM>(std::wcstoul(argv[3], nullptr, 10));
    // Posted, as the keyboard's messages are, so that they pass the dialog's own message loop.
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    return 0;
  }
  if (command == L"tab") {
    HWND before = FocusOf(window);
    PostMessageW(before ? before : window, WM_KEYDOWN, VK_TAB, 1);
    PostMessageW(before ? before : window, WM_KEYUP, VK_TAB, 0xC0000001);
    const DWORD start = GetTickCount();
    HWND after = FocusOf(window);
    while (after == before && GetTickCount() - start < 5000) {
      Sleep(20);  // polling for the focus to move, bounded
      after = FocusOf(window);
    }
    std::printf("%d\n", after && after != before && IsChild(window, after) ? GetDlgCtrlID(after) : 0);
    return 0;
  }
  if (command == L"focus") {
    HWND focus = FocusOf(window);
    std::printf("%d\n", focus && IsChild(window, focus) ? GetDlgCtrlID(focus) : 0);
    return 0;
  }
  if (command == L"pointer" && argc == 4) {
    const int id = std::wcstol(argv[3], nullptr, 10);
    RECT r{};
    GetWindowRect(id == 0 ? window : GetDlgItem(window, id), &r);
    if (id == 0) {
      SetCursorPos(r.right + 40, r.bottom + 40);
    } else {
      SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    return 0;
  }
  if (command == L"colour" && argc == 5) {
    const unsigned long rgb = std::wcstoul(argv[4], nullptr, 16);
    const COLORREF colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    std::printf("%d\n", CountColour(GetDlgItem(window, std::wcstol(argv[3], nullptr, 10)), colour));
    return 0;
  }
  if (command == L"close") {
    PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
  }
  std::fprintf(stderr, "unknown command\n");
  return 2;
}
