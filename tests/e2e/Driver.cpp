// The e2e driver: starts the program with an exact command line, finds its windows by caption and acts on them.
//   driver launch EXE HEX_UTF8_TAIL TIMEOUT_MS   start EXE with the decoded command-line tail; print its exit code
//   driver wait CAPTION TIMEOUT_MS               wait for a visible top-level window; print its rectangle
//   driver gone CAPTION TIMEOUT_MS               wait until no such window is left
//   driver texts CAPTION                         print "id<TAB>class<TAB>text" of each child control
//   driver click CAPTION ID                      press a button (posted, so a dialog it opens doesn't block us)
//   driver settext CAPTION ID HEX_UTF8           set a control's text
//   driver select CAPTION ID INDEX               choose an item of a list box or combo box, as the user would
//   driver items CAPTION ID                      print the items of a list box or combo box
//   driver icon CAPTION                          print which system icon a message box shows
//   driver close CAPTION                         close a window as its close box does
#include <windows.h>
#include <commctrl.h>

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

std::wstring TextOf(HWND window) {
  const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcslen(text.c_str()));
  return text;
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
  if (IsWindowVisible(window) && TextOf(window) == search->caption) {
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
  HWND window = WaitFor(caption, 10000);
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
  std::printf("started\n");
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

BOOL CALLBACK FindIcon(HWND child, LPARAM parameter) {
  if (ClassOf(child) == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    *reinterpret_cast<HWND*>(parameter) = child;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: driver COMMAND ARGS...\n");
    return 2;
  }
  const std::wstring command = argv[1];
  const std::wstring caption = argv[2];
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
  if (command == L"gone" && argc == 4) {
    const DWORD start = GetTickCount();
    while (FindTopLevel(caption)) {
      if (GetTickCount() - start > std::wcstoul(argv[3], nullptr, 10)) return 4;
      Sleep(50);
    }
    return 0;
  }
  HWND window = Require(caption);
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
    SendDlgItemMessageW(window, std::wcstol(argv[3], nullptr, 10), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
  }
  if (command == L"select" && argc == 5) {
    const int id = std::wcstol(argv[3], nullptr, 10);
    const int index = std::wcstol(argv[4], nullptr, 10);
    HWND control = GetDlgItem(window, id);
    const bool combo = ClassOf(control) == L"ComboBox";
    SendMessageW(control, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
    return 0;
  }
  if (command == L"items" && argc == 4) {
    HWND control = GetDlgItem(window, std::wcstol(argv[3], nullptr, 10));
    const bool combo = ClassOf(control) == L"ComboBox";
    const auto count = SendMessageW(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      const auto length = SendMessageW(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0);
      std::wstring text(static_cast<size_t>(length) + 1, L'\0');
      SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
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
  if (command == L"close") {
    PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
  }
  std::fprintf(stderr, "unknown command\n");
  return 2;
}
