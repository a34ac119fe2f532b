// Drives zelvo.exe from outside, as a user and the shell do: finds its window by caption,
// checks the controls, types and clicks with messages, and plays the notification area.
// Usage: zelvo-driver.exe ZELVO_EXE ZELVO_ICO DPI   Prints "N passed, N failed" last.
#include "decode/Converter.h"
#include "ui/Layout.h"
#include "ui/Main.h"
#include "ui/win32/Win32Ids.h"

#include "tests/support/ScanEncoder.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace zelvo;
using zelvo::win32::CommandId;

namespace {

int passed = 0;
int failed = 0;

void Check(bool ok, const std::string& what) {
    (ok ? passed : failed)++;
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
    std::fflush(stdout);
}

std::wstring Wide(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}
std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

template <typename Condition> bool WaitFor(Condition condition, DWORD milliseconds = 10000) {
    for (DWORD waited = 0; waited < milliseconds; waited += 50) {
        if (condition()) {
            return true;
        }
        Sleep(50);
    }
    return condition();
}

std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[4096] = {};
    SendMessageW(hwnd, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t buffer[64] = {};
    GetClassNameW(hwnd, buffer, std::size(buffer));
    return buffer;
}

struct Program {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;

    HWND control(ControlId id) const { return GetDlgItem(window, CommandId(id)); }

    bool Start(const std::wstring& exe) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + exe + L"\"";
        if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process)) {
            return false;
        }
        WaitForInputIdle(process.hProcess, 10000);
        const std::wstring caption = Wide(kWindow.caption);
        return WaitFor([&] {
            window = FindWindowW(win32::kWindowClass, caption.c_str());
            return window != nullptr && IsWindowVisible(window);
        });
    }

    bool Ended(DWORD* status) {
        if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
            return false;
        }
        GetExitCodeProcess(process.hProcess, status);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        return true;
    }

    // Whether the shell holds the program's icon: changing nothing in it succeeds only then.
    bool HasIcon() const {
        NOTIFYICONDATAA data{};
        data.cbSize = NOTIFYICONDATAA_V1_SIZE;
        data.hWnd = window;
        data.uID = 1;
        return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
    }

    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(process.dwThreadId, &info);
        return info.hwndFocus;
    }
};

HWND VisiblePopupMenu() {
    HWND menu = nullptr;
    while ((menu = FindWindowExW(nullptr, menu, L"#32768", nullptr))) {
        if (IsWindowVisible(menu)) {
            return menu;
        }
    }
    return nullptr;
}

// Explorer reports a mouse message over the icon from its own thread, as a sent message of
// the icon's callback; other notification areas post it.
struct ShellNotification {
    HWND window;
    UINT mouseMessage;
};

DWORD WINAPI SendFromShellThread(void* parameter) {
    const auto* note = static_cast<ShellNotification*>(parameter);
    SendMessageW(note->window, win32::kIconNotifyMessage, 1, note->mouseMessage);
    return 0;
}

HANDLE NotifyFromShell(ShellNotification& note) {
    return CreateThread(nullptr, 0, &SendFromShellThread, &note, 0, nullptr);
}

// Pixels as 0xRRGGBB, read from a 32-bit top-down DIB section.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;
    std::uint32_t At(int x, int y) const {
        return rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(x)] &
               0xFFFFFF;
    }
};

// A memory DC over a fresh DIB section; `draw` paints into it, then its pixels are read.
template <typename Draw> Pixels Painted(int width, int height, Draw draw) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    draw(memory, screen);
    GdiFlush();
    Pixels pixels{width, height, {}};
    const auto* words = static_cast<const std::uint32_t*>(bits);
    pixels.rgb.assign(words, words + static_cast<std::size_t>(width) * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// What the screen shows in `area` (screen coordinates).
Pixels Screen(const RECT& area) {
    return Painted(area.right - area.left, area.bottom - area.top, [&](HDC memory, HDC screen) {
        BitBlt(memory, 0, 0, area.right - area.left, area.bottom - area.top, screen, area.left,
               area.top, SRCCOPY);
    });
}

// The smallest rectangle that holds every pixel for which `ink` is true; empty if none.
template <typename Ink> RECT InkBox(const Pixels& pixels, Ink ink) {
    RECT box{pixels.width, pixels.height, 0, 0};
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            if (ink(pixels.At(x, y))) {
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                       std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
            }
        }
    }
    return box.right > box.left ? box : RECT{};
}

std::uint32_t Rgb(const Rgb& c) {
    return static_cast<std::uint32_t>(c.red) << 16 | c.green << 8 | c.blue;
}

// The icon's design pixel at (x, y) of a `size` pixels square: the 16x16 table at the largest
// whole multiple that fits, centred; -1 where the square is transparent.
int DesignEntry(int size, int x, int y) {
    const int scale = std::max(1, size / kIconSize);
    const int margin = (size - kIconSize * scale) / 2;
    const int column = (x - margin) / scale;
    const int row = (y - margin) / scale;
    if (x < margin || y < margin || column >= kIconSize || row >= kIconSize) {
        return -1;
    }
    return kIconRows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] - '0';
}

// Whether the `size` pixels square at (left, top) is the icon's design pixel for pixel. With
// `alpha`, the pixels carry it: opaque in the design, fully transparent around it.
bool ShowsDesign(const Pixels& pixels, int left, int top, int size, bool alpha) {
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const std::uint32_t argb =
                pixels.rgb[static_cast<std::size_t>((top + y) * pixels.width + left + x)];
            const int entry = DesignEntry(size, x, y);
            const bool same = entry < 0 ? alpha && argb >> 24 == 0
                                        : (argb & 0xFFFFFF) == Rgb(kIconPalette[entry]) &&
                                              (!alpha || argb >> 24 == 0xFF);
            if (!same) {
                return false;
            }
        }
    }
    return true;
}

// The icon as someone drew it on the screen in `area`: the dark blue square of the design at
// `size` pixels, every pixel the table's colour.
void CheckIconDrawn(const RECT& area, int size, const std::string& where) {
    const std::uint32_t blue = Rgb(kIconPalette[4]);
    const int side = kIconSize * std::max(1, size / kIconSize);
    RECT box{};
    // Read again until the drawing is done, or the wait is over.
    const bool exact = WaitFor([&] {
        const Pixels shot = Screen(area);
        box = InkBox(shot, [&](std::uint32_t c) { return c == blue; });
        return box.right - box.left == side && box.bottom - box.top == side &&
               ShowsDesign(shot, box.left, box.top, side, false);
    });
    Check(exact, where + ": the icon at " + std::to_string(size) + " px, its " +
                     std::to_string(side) + " px design pixel for pixel (drawn " +
                     std::to_string(box.right - box.left) + " x " +
                     std::to_string(box.bottom - box.top) + ")");
}

// The input box's label as the screen shows it: its caption whole, inside the label, in the
// dialog font at `dpi` (the same text drawn here, unbounded, has the same extent).
void CheckCaptionDrawn(const Program& zelvo, int dpi, const std::string& when) {
    HWND label = zelvo.control(ControlId::InputLabel);
    RECT rect{};
    GetWindowRect(label, &rect);
    // The input box overlaps the label's last twips and is drawn over them.
    RECT box{};
    GetWindowRect(zelvo.control(ControlId::InputText), &box);
    rect.bottom = std::min(rect.bottom, box.top);
    const std::wstring caption = TextOf(label);
    HFONT font = CreateFontW(-MulDiv(win32::kFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                             FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, win32::kFontFace);
    const int width = (rect.right - rect.left) * 4;
    const int height = (rect.bottom - rect.top) * 4;
    const Pixels drawn = Painted(width, height, [&](HDC memory, HDC) {
        RECT all{0, 0, width, height};
        FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SelectObject(memory, font);
        SetBkMode(memory, TRANSPARENT);
        DrawTextW(memory, caption.c_str(), -1, &all, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    });
    DeleteObject(font);
    const RECT expected = InkBox(drawn, [](std::uint32_t c) { return c != 0xFFFFFF; });
    const LONG expectedWidth = expected.right - expected.left;
    const LONG expectedHeight = expected.bottom - expected.top;

    RECT ink{};
    // Read again until the label has been painted at its new size, or the wait is over.
    WaitFor([&] {
        const Pixels shot = Screen(rect);
        const std::uint32_t face = shot.At(0, 0);
        ink = InkBox(shot, [&](std::uint32_t c) { return c != face; });
        return ink.right - ink.left == expectedWidth && ink.bottom - ink.top == expectedHeight;
    });
    const LONG inkWidth = ink.right - ink.left;
    const LONG inkHeight = ink.bottom - ink.top;
    std::printf("  caption ink %ld x %ld at %ld,%ld in a %ld x %ld label; the font draws it %ld x "
                "%ld\n",
                inkWidth, inkHeight, ink.left, ink.top, rect.right - rect.left,
                rect.bottom - rect.top, expectedWidth, expectedHeight);
    Check(inkWidth > 0 && ink.right < rect.right - rect.left && ink.bottom < rect.bottom - rect.top,
          "the label's caption is drawn inside it " + when);
    Check(inkWidth == expectedWidth && inkHeight == expectedHeight,
          "whole, in the dialog font at " + std::to_string(dpi) + " dpi " + when);
}

// Every control where the layout table puts it at `dpi`, and the client area likewise. Prints
// what it measured, so that a run shows the rectangles at each DPI.
void CheckRectangles(const Program& zelvo, int dpi, const std::string& when) {
    RECT client{};
    GetClientRect(zelvo.window, &client);
    std::string wrong;
    std::printf("  at %d dpi %s: client area %ld x %ld\n", dpi, when.c_str(), client.right,
                client.bottom);
    if (client.right != TwipsToPixels(kWindow.clientWidthTwips, dpi) ||
        client.bottom != TwipsToPixels(kWindow.clientHeightTwips, dpi)) {
        wrong += " client-area";
    }
    for (const ControlRow& row : kControls) {
        RECT rect{};
        GetWindowRect(zelvo.control(row.id), &rect);
        MapWindowPoints(nullptr, zelvo.window, reinterpret_cast<POINT*>(&rect), 2);
        std::printf("  %-13s %4ld %4ld %4ld x %ld\n", std::string(row.name).c_str(), rect.left,
                    rect.top, rect.right - rect.left, rect.bottom - rect.top);
        const PixelRect expected = ClientPixelRect(row.id, dpi);
        if (rect.left != expected.left || rect.top != expected.top ||
            rect.right - rect.left != expected.width || rect.bottom - rect.top != expected.height) {
            wrong.append(" ").append(row.name);
        }
    }
    Check(wrong.empty(), "every rectangle is the layout's twips at " + std::to_string(dpi) +
                             " dpi " + when + (wrong.empty() ? "" : ":" + wrong));
}

void CheckLayout(const Program& zelvo) {
    for (const ControlRow& row : kControls) {
        const std::string name(row.name);
        HWND control = zelvo.control(row.id);
        if (!control) {
            Check(false, name + " exists");
            continue;
        }
        const bool box = row.kind == ControlKind::InputBox || row.kind == ControlKind::OutputBox;
        const wchar_t* expectedClass = row.kind == ControlKind::Label ? L"Static"
                                       : box                          ? L"Edit"
                                                                      : L"Button";
        Check(lstrcmpiW(ClassOf(control).c_str(), expectedClass) == 0, name + " class");
        Check(TextOf(control) == Wide(row.caption), name + " caption");
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        if (row.kind == ControlKind::OutputBox) {
            Check((style & ES_READONLY) != 0, name + " is read-only");
        }
        if (row.kind == ControlKind::Button) {
            Check((style & 0x0F) == BS_PUSHBUTTON, name + " is not a default button");
        }
    }
    // Tab visits the controls that take the focus in ascending tab index, then wraps.
    std::string visited;
    std::string expected;
    HWND current = zelvo.control(ControlId::InputText);
    for (const ControlRow* row : ControlsInTabOrder()) {
        if (row->kind != ControlKind::Label && row->kind != ControlKind::Frame) {
            expected += std::string(row->name) + " ";
        }
    }
    for (int i = 0; i < 7; ++i) {
        for (const ControlRow& row : kControls) {
            if (zelvo.control(row.id) == current) {
                visited += std::string(row.name) + " ";
            }
        }
        current = GetNextDlgTabItem(zelvo.window, current, FALSE);
    }
    Check(visited == expected, "tab order: " + visited);
    Check(current == zelvo.control(ControlId::InputText), "Tab wraps to the input box");
}

constexpr unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G'};

// The .ico that the program, its shortcut and its Apps entry show: its directory read here, each
// image decoded by Windows at its own size and compared with the table.
void CheckIcoFile(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    const std::vector<unsigned char> ico((std::istreambuf_iterator<char>(file)),
                                         std::istreambuf_iterator<char>());
    const auto word = [&](std::size_t at) {
        return at + 2 <= ico.size() ? ico[at] | ico[at + 1] << 8 : -1;
    };
    const auto dword = [&](std::size_t at) {
        return static_cast<std::size_t>(word(at)) | static_cast<std::size_t>(word(at + 2)) << 16;
    };
    std::string listed;
    bool all32 = ico.size() > 6 && word(0) == 0 && word(2) == 1;
    bool pngAt256 = false;
    for (int i = 0; all32 && i < word(4); ++i) {
        const std::size_t entry = 6 + 16 * static_cast<std::size_t>(i);
        const int size = ico[entry] == 0 ? 256 : ico[entry];
        const std::size_t offset = dword(entry + 12);
        listed += std::to_string(size) + " ";
        all32 = word(entry + 6) == 32 && offset + dword(entry + 8) <= ico.size();
        if (size == 256 && all32) {
            pngAt256 = std::equal(ico.begin() + static_cast<std::ptrdiff_t>(offset),
                                  ico.begin() + static_cast<std::ptrdiff_t>(offset) + 4,
                                  std::begin(kPngSignature));
        }
    }
    Check(listed == "16 20 24 32 40 48 64 256 " && all32,
          "the .ico lists 16 to 256 px, 32 bits each: " + listed);
    Check(pngAt256, "its 256 px image is a PNG");

    for (const int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
        auto icon = static_cast<HICON>(
            LoadImageW(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
        ICONINFO info{};
        BITMAP bitmap{};
        const bool loaded = icon && GetIconInfo(icon, &info) && info.hbmColor &&
                            GetObjectW(info.hbmColor, sizeof bitmap, &bitmap) &&
                            bitmap.bmWidth == size && bitmap.bmHeight == size;
        bool exact = loaded;
        if (loaded) {
            const Pixels pixels = Painted(size, size, [&](HDC memory, HDC) {
                HDC source = CreateCompatibleDC(memory);
                HGDIOBJ old = SelectObject(source, info.hbmColor);
                BitBlt(memory, 0, 0, size, size, source, 0, 0, SRCCOPY);
                SelectObject(source, old);
                DeleteDC(source);
            });
            exact = ShowsDesign(pixels, 0, 0, size, true);
        }
        Check(exact, "its " + std::to_string(size) +
                         " px image is the table's, pixel for pixel, transparent around it");
        if (info.hbmColor) {
            DeleteObject(info.hbmColor);
        }
        if (info.hbmMask) {
            DeleteObject(info.hbmMask);
        }
        if (icon) {
            DestroyIcon(icon);
        }
    }
}

// The window and the notification area draw the small icon at the size `dpi` asks for.
void CheckIconsOnScreen(const Program& zelvo, int dpi) {
    const int size = GetSystemMetrics(SM_CXSMICON);
    RECT window{};
    GetWindowRect(zelvo.window, &window);
    const int caption = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME) * 2;
    CheckIconDrawn(
        {window.left, window.top, window.left + size + caption / 2, window.top + caption}, size,
        "the title bar at " + std::to_string(dpi) + " dpi");
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    CheckIconDrawn({screenWidth - 4 * size, screenHeight - 3 * size, screenWidth, screenHeight},
                   size, "the notification area at " + std::to_string(dpi) + " dpi");
}

// The message that Windows sends when the window moves to a monitor of another DPI. Its
// suggested rectangle goes by pointer, which no system copies across processes: it is
// written into the program's own memory.
void SendDpiChanged(const Program& zelvo, int from, int to) {
    RECT now{};
    GetWindowRect(zelvo.window, &now);
    const RECT suggested{now.left, now.top, now.left + MulDiv(now.right - now.left, to, from),
                         now.top + MulDiv(now.bottom - now.top, to, from)};
    void* remote = VirtualAllocEx(zelvo.process.hProcess, nullptr, sizeof suggested,
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    WriteProcessMemory(zelvo.process.hProcess, remote, &suggested, sizeof suggested, nullptr);
    SendMessageW(zelvo.window, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(zelvo.process.hProcess, remote, 0, MEM_RELEASE);
}

void CheckDpiChanges(const Program& zelvo) {
    SendDpiChanged(zelvo, 96, 144);
    CheckRectangles(zelvo, 144, "after WM_DPICHANGED from 96");
    CheckCaptionDrawn(zelvo, 144, "after WM_DPICHANGED from 96");
    SendDpiChanged(zelvo, 144, 96);
    CheckRectangles(zelvo, 96, "after WM_DPICHANGED back from 144");
    CheckCaptionDrawn(zelvo, 96, "after WM_DPICHANGED back from 144");
}

void CheckCommands(const Program& zelvo) {
    const auto click = [&](ControlId id) { SendMessageW(zelvo.control(id), BM_CLICK, 0, 0); };
    const auto setInput = [&](const std::u16string& text) {
        const std::wstring wide = Wide(text);
        SendMessageW(zelvo.control(ControlId::InputText), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(wide.c_str()));
    };
    Check(zelvo.Focus() == zelvo.control(ControlId::InputText), "focus starts in the input box");

    // Wine 8's 64-bit gdi32 crashes when an EDIT control is first given U+02DC (byte 0x98
    // of Windows-1252): a Wine fault, not the program's, so no line here decodes to it.
    const std::u16string lines[] = {
        test::EncodeScan("000000002101482501", "IBN", "9780131103627"),
        std::u16string(u".")
            .append(test::EncodeField({'C', 0x00, 0x09, 0x7F, 0xE9, 0x80}))
            .append(u"..aaaa."),
        u" ab.cd.ef.gh.",
    };
    for (const std::u16string& line : lines) {
        setInput(line);
        click(ControlId::DecodeButton);
        const auto scan = DecodeScan(line);
        const std::string what =
            "decode of " +
            std::string(line.begin(), line.begin() + std::min<std::size_t>(line.size(), 12));
        Check(scan.has_value(), what + " is a scan");
        if (!scan) {
            continue;
        }
        Check(TextOf(zelvo.control(ControlId::SerialText)) ==
                      Wide(WithControlPictures(scan->serial)) &&
                  TextOf(zelvo.control(ControlId::CodeTypeText)) ==
                      Wide(WithControlPictures(scan->codeType)) &&
                  TextOf(zelvo.control(ControlId::CodeText)) ==
                      Wide(WithControlPictures(scan->code)),
              what + " shows the decoder's results");
        Check(TextOf(zelvo.control(ControlId::InputText)) == Wide(line), what + " keeps the line");
        DWORD start = 1, end = 0;
        SendMessageW(zelvo.control(ControlId::InputText), EM_GETSEL,
                     reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        Check(zelvo.Focus() == zelvo.control(ControlId::InputText) && start == 0 &&
                  end == line.size(),
              what + " leaves the line selected in the focused input box");
    }

    setInput(u".ab.cd");
    click(ControlId::DecodeButton);
    Check(TextOf(zelvo.control(ControlId::SerialText)).empty() &&
              TextOf(zelvo.control(ControlId::CodeText)).empty(),
          "a line without three fields empties the outputs");

    // Past the edit control's default limit of 30,000 characters.
    constexpr int kLongLine = 40000;
    setInput(std::u16string(kLongLine, u'a'));
    // GetWindowTextLength does not ask a window of another process: the message does.
    const auto longLength =
        static_cast<int>(SendMessageW(zelvo.control(ControlId::InputText), WM_GETTEXTLENGTH, 0, 0));
    Check(longLength == kLongLine,
          "a 40,000-character line is taken whole (" + std::to_string(longLength) + ")");

    setInput(lines[0]);
    click(ControlId::ClearButton);
    bool allEmpty = true;
    for (auto id : {ControlId::InputText, ControlId::SerialText, ControlId::CodeTypeText,
                    ControlId::CodeText}) {
        allEmpty = allEmpty && TextOf(zelvo.control(id)).empty();
    }
    Check(allEmpty, "Clear empties all four boxes");
    Check(zelvo.Focus() == zelvo.control(ControlId::InputText),
          "and leaves the focus in the input box");
}

void CheckIcon(Program& zelvo) {
    Check(zelvo.HasIcon(), "the icon is in the notification area");
    const std::u16string line = test::EncodeScan("12", "UPA", "0421");
    const std::wstring wide = Wide(line);
    SendMessageW(zelvo.control(ControlId::InputText), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(wide.c_str()));
    SendMessageW(zelvo.control(ControlId::DecodeButton), BM_CLICK, 0, 0);
    const std::wstring code = TextOf(zelvo.control(ControlId::CodeText));

    SendMessageW(zelvo.control(ControlId::HideButton), BM_CLICK, 0, 0);
    Check(WaitFor([&] { return !IsWindowVisible(zelvo.window); }), "Hide hides the window");
    PostMessageW(zelvo.window, WM_MOUSEMOVE, 1, MAKELPARAM(515, 10));
    Sleep(500);
    Check(!IsWindowVisible(zelvo.window), "a real pointer move at x = 515 does not show it");

    ShellNotification doubleClick{zelvo.window, 515};
    HANDLE sender = NotifyFromShell(doubleClick);
    WaitForSingleObject(sender, 10000);
    CloseHandle(sender);
    Check(WaitFor([&] { return IsWindowVisible(zelvo.window) != FALSE; }),
          "a double-click on the icon shows the window");
    Check(TextOf(zelvo.control(ControlId::InputText)) == wide &&
              TextOf(zelvo.control(ControlId::CodeText)) == code,
          "with the same texts");

    PostMessageW(zelvo.window, WM_MOUSEMOVE, 1, MAKELPARAM(516, 10));
    Sleep(500);
    Check(VisiblePopupMenu() == nullptr, "a real pointer move at x = 516 opens no menu");

    SendMessageW(zelvo.control(ControlId::HideButton), BM_CLICK, 0, 0);
    Check(WaitFor([&] { return !IsWindowVisible(zelvo.window); }), "Hide hides it again");
    PostMessageW(zelvo.window, win32::kIconNotifyMessage, 1, 515);
    Check(WaitFor([&] { return IsWindowVisible(zelvo.window) != FALSE; }),
          "a posted double-click on the icon shows the window too");

    for (UINT other : {512u, 513u, 514u, 517u, 519u}) {
        ShellNotification note{zelvo.window, other};
        HANDLE thread = NotifyFromShell(note);
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
    }
    Sleep(300);
    Check(VisiblePopupMenu() == nullptr && IsWindowVisible(zelvo.window),
          "other notifications do nothing");

    POINT pointer{};
    GetCursorPos(&pointer);
    ShellNotification rightButton{zelvo.window, 516};
    sender = NotifyFromShell(rightButton);
    Check(WaitFor([] { return VisiblePopupMenu() != nullptr; }),
          "a right-button press on the icon opens the popup menu");
    RECT menu{};
    GetWindowRect(VisiblePopupMenu(), &menu);
    Check(std::abs(menu.left - pointer.x) <= 2 || std::abs(menu.right - pointer.x) <= 2,
          "at the pointer");
    PostMessageW(zelvo.window, WM_KEYDOWN, VK_ESCAPE, 0);
    Check(WaitFor([] { return VisiblePopupMenu() == nullptr; }), "Escape closes the menu");
    Check(WaitForSingleObject(sender, 10000) == WAIT_OBJECT_0, "and the notification returns");
    CloseHandle(sender);
    Check(zelvo.HasIcon() && IsWindowVisible(zelvo.window), "and nothing else happens");

    // Explorer restarting: the new shell knows no icons and announces itself to every window.
    NOTIFYICONDATAA forget{};
    forget.cbSize = NOTIFYICONDATAA_V1_SIZE;
    forget.hWnd = zelvo.window;
    forget.uID = 1;
    Shell_NotifyIconA(NIM_DELETE, &forget);
    Check(!zelvo.HasIcon(), "a restarted shell has lost the icon");
    SendMessageW(zelvo.window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    Check(WaitFor([&] { return zelvo.HasIcon(); }), "TaskbarCreated adds it again");

    sender = NotifyFromShell(rightButton);
    WaitFor([] { return VisiblePopupMenu() != nullptr; });
    PostMessageW(zelvo.window, WM_KEYDOWN, 'X', 0);
    DWORD status = 1;
    Check(zelvo.Ended(&status), "Exit in the menu ends the program");
    Check(status == 0, "with status 0");
    Check(!zelvo.HasIcon(), "and the icon is gone");
    WaitForSingleObject(sender, 10000);
    CloseHandle(sender);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::printf("usage: zelvo-driver ZELVO_EXE ZELVO_ICO DPI\n");
        return 2;
    }
    // Measured in real pixels: a program unaware of DPI would see every rectangle scaled.
    SetProcessDPIAware();
    const int dpi = _wtoi(argv[3]);
    HDC screen = GetDC(nullptr);
    const int systemDpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    Check(systemDpi == dpi,
          "the system runs at " + std::to_string(dpi) + " dpi (" + std::to_string(systemDpi) + ")");
    if (dpi == USER_DEFAULT_SCREEN_DPI) {
        CheckIcoFile(argv[2]);
    }

    Program zelvo;
    Check(zelvo.Start(argv[1]), "the window comes up with its caption");
    if (zelvo.window) {
        CheckRectangles(zelvo, dpi, "at start");
        CheckCaptionDrawn(zelvo, dpi, "at start");
        CheckIconsOnScreen(zelvo, dpi);
        if (dpi == USER_DEFAULT_SCREEN_DPI) {
            CheckDpiChanges(zelvo);
        }
        CheckLayout(zelvo);
        CheckCommands(zelvo);
        CheckIcon(zelvo);
    }

    Program closing;
    if (closing.Start(argv[1])) {
        PostMessageW(closing.window, WM_CLOSE, 0, 0);
        DWORD status = 1;
        Check(closing.Ended(&status) && status == 0,
              "the close box ends the program with status 0");
        Check(!closing.HasIcon(), "and removes the icon");
    }

    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
