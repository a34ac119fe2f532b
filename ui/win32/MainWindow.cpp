#include "ui/win32/MainWindow.h"

#include "ui/win32/Dpi.h"
#include "ui/win32/Win32Ids.h"

#include <string>
#include <vector>

namespace zelvo::win32 {
namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;

std::wstring Wide(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::u16string WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    const int length = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    return std::u16string(text.begin(), text.begin() + length);
}

const wchar_t* ClassFor(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
        return L"STATIC";
    case ControlKind::InputBox:
    case ControlKind::OutputBox:
        return L"EDIT";
    case ControlKind::Button:
    case ControlKind::Frame:
        return L"BUTTON";
    }
    return L"STATIC";
}

DWORD StyleFor(ControlKind kind) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (kind) {
    case ControlKind::Label:
        return child | SS_LEFT | SS_NOPREFIX;
    case ControlKind::InputBox:
        return child | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
    case ControlKind::OutputBox:
        return child | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | ES_READONLY;
    case ControlKind::Button:
        return child | WS_TABSTOP | BS_PUSHBUTTON;
    case ControlKind::Frame:
        return child | BS_GROUPBOX;
    }
    return child;
}

// Creation order is the order of Tab among the controls that take the focus, and each label
// comes right before the box it names: screen readers take a box's name from that label.
std::vector<const ControlRow*> CreationOrder() {
    std::vector<const ControlRow*> order;
    for (const ControlRow* row : ControlsInTabOrder()) {
        if (row->kind == ControlKind::Label || row->kind == ControlKind::Frame) {
            continue;
        }
        for (const ControlRow& label : kControls) {
            if (label.labelFor == row->id) {
                order.push_back(&label);
            }
        }
        order.push_back(row);
    }
    order.push_back(&Control(ControlId::Frame1));
    return order;
}

} // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {}

bool MainWindow::Create() {
    const UINT systemDpi = WindowDpi(nullptr);
    classSmallIcon_.reset(LoadProgramIcon(SM_CXSMICON, systemDpi));
    classLargeIcon_.reset(LoadProgramIcon(SM_CXICON, systemDpi));

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MainWindow::WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = classLargeIcon_.get();
    windowClass.hIconSm = classSmallIcon_.get();
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&windowClass)) {
        return false;
    }
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");

    dpi_ = systemDpi;
    const SIZE frame = FrameSizeForClient(TwipsToPixels(kWindow.clientWidthTwips, dpi_),
                                          TwipsToPixels(kWindow.clientHeightTwips, dpi_),
                                          kWindowStyle, kWindowExStyle, dpi_);
    const std::wstring caption = Wide(kWindow.caption);
    hwnd_ =
        CreateWindowExW(kWindowExStyle, kWindowClass, caption.c_str(), kWindowStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, frame.cx, frame.cy, nullptr, nullptr, instance_, this);
    if (!hwnd_) {
        return false;
    }
    CreateControls();
    CreateIconPopup();
    // The window may have come up on a monitor of another DPI than the primary one.
    dpi_ = WindowDpi(hwnd_);
    PlaceControls();
    LoadWindowIcons();
    return true;
}

HICON MainWindow::LoadProgramIcon(int metric, UINT dpi) const {
    // The .ico holds the image at every size the shell asks for; loading the exact size keeps
    // the one-pixel digits from being scaled and blurred.
    const int size = IconSizeForDpi(metric, dpi);
    return static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(ZELVO_ICON_RESOURCE), IMAGE_ICON, size, size, 0));
}

void MainWindow::LoadWindowIcons() {
    UniqueIcon small(LoadProgramIcon(SM_CXSMICON, dpi_));
    UniqueIcon large(LoadProgramIcon(SM_CXICON, dpi_));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.get()));
    // The window holds the new icons now; only then may the old ones go.
    smallIcon_ = std::move(small);
    largeIcon_ = std::move(large);
}

void MainWindow::CreateControls() {
    for (const ControlRow* row : CreationOrder()) {
        const std::wstring caption = Wide(row->caption);
        HWND control = CreateWindowExW(
            0, ClassFor(row->kind), caption.c_str(), StyleFor(row->kind), 0, 0, 0, 0, hwnd_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(CommandId(row->id))), instance_, nullptr);
        controls_[static_cast<std::size_t>(row->id)] = control;
        if (row->kind == ControlKind::InputBox || row->kind == ControlKind::OutputBox) {
            // 0 lifts the default limit of 30,000 characters: long pasted lines stay whole.
            SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
        }
    }
    // The frame lies under the controls it holds, so it never paints over them.
    SetWindowPos(control(ControlId::Frame1), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainWindow::CreateIconPopup() {
    menuBar_.reset(CreateMenu());
    iconPopup_ = CreatePopupMenu();
    const std::wstring exitCaption = Wide(kExitItem.caption);
    AppendMenuW(iconPopup_, MF_STRING, kExitCommand, exitCaption.c_str());
    const std::wstring popupCaption = Wide(kIconPopup.caption);
    AppendMenuW(menuBar_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(iconPopup_),
                popupCaption.c_str());
}

void MainWindow::PlaceControls() {
    UniqueFont font(CreateFontW(-MulDiv(kFontPoints, static_cast<int>(dpi_), 72), 0, 0, 0,
                                FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                kFontFace));
    const int dpi = static_cast<int>(dpi_);
    for (const ControlRow& row : kControls) {
        const PixelRect rect = ClientPixelRect(row.id, dpi);
        HWND control = this->control(row.id);
        SetWindowPos(control, nullptr, rect.left, rect.top, rect.width, rect.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    // The controls hold the new font now; only then may the old one go.
    font_ = std::move(font);
    // The frame as it stands, not as computed for the DPI: its title bar and borders may
    // follow the new DPI later than the message that announces it, or not at all.
    RECT window{};
    RECT client{};
    GetWindowRect(hwnd_, &window);
    GetClientRect(hwnd_, &client);
    SetWindowPos(
        hwnd_, nullptr, 0, 0,
        window.right - window.left - client.right + TwipsToPixels(kWindow.clientWidthTwips, dpi),
        window.bottom - window.top - client.bottom + TwipsToPixels(kWindow.clientHeightTwips, dpi),
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool MainWindow::TranslateDialogMessage(MSG& msg) {
    return hwnd_ && IsDialogMessageW(hwnd_, &msg);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<MainWindow*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->HandleMessage(message, wParam, lParam)
                : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case kIconNotifyMessage:
        OnIconNotify(wParam, lParam);
        return 0;
    case WM_ACTIVATE:
        OnActivate(wParam);
        return 0;
    case WM_CTLCOLORSTATIC:
        return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_ENDSESSION:
        if (wParam && main_) {
            main_->Form_Terminate();
        }
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        if (message == taskbarCreated_ && taskbarCreated_ != 0) {
            if (main_) {
                main_->Taskbar_Created();
            }
            return 0;
        }
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void MainWindow::OnCommand(int id, int notification) {
    if (!main_) {
        return;
    }
    if (id == kExitCommand) {
        main_->Exit_Click();
        return;
    }
    // Buttons report clicks as BN_CLICKED; IDOK and IDCANCEL from Enter and Escape do nothing.
    if (notification != BN_CLICKED) {
        return;
    }
    if (id == CommandId(ControlId::DecodeButton)) {
        main_->DecodeButton_Click();
    } else if (id == CommandId(ControlId::ClearButton)) {
        main_->ClearButton_Click();
    } else if (id == CommandId(ControlId::HideButton)) {
        main_->HideButton_Click();
    }
}

void MainWindow::OnIconNotify(WPARAM wParam, LPARAM lParam) {
    // Explorer sends the icon's notifications; other notification areas post them. The
    // pointer's own moves over the window never come here, so they never open the menu.
    if (!main_ || wParam != main_->IconData().uID) {
        return;
    }
    // The window takes the mouse message over the icon for a move at that many pixels.
    const double factor = TwipsPerPixelX();
    main_->Form_MouseMove(0, 0, static_cast<float>(LOWORD(lParam) * factor), 0);
}

void MainWindow::OnActivate(WPARAM wParam) {
    // A plain window does not keep its focused control across deactivation as a dialog does.
    if (LOWORD(wParam) == WA_INACTIVE) {
        focusBeforeDeactivation_ = GetFocus();
    } else if (focusBeforeDeactivation_ && IsChild(hwnd_, focusBeforeDeactivation_)) {
        ::SetFocus(focusBeforeDeactivation_);
    }
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceControls();
    LoadWindowIcons();
}

LRESULT MainWindow::OnControlColor(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    for (const ControlRow& row : kControls) {
        if (row.kind == ControlKind::OutputBox && CommandId(row.id) == id) {
            SetBkColor(dc, GetSysColor(COLOR_MENU));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_MENU));
        }
    }
    return DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
}

void MainWindow::OnDestroy() {
    destroying_ = true;
    // The window's terminate event: it removes the icon whichever way the window went.
    if (main_) {
        main_->Form_Terminate();
    }
    PostQuitMessage(0);
}

std::u16string MainWindow::Text(ControlId box) const {
    return WindowText(control(box));
}

void MainWindow::SetText(ControlId box, std::u16string_view text) {
    const std::wstring wide(text.begin(), text.end());
    SetWindowTextW(control(box), wide.c_str());
}

void MainWindow::SetFocus(ControlId id) {
    ::SetFocus(control(id));
}

void MainWindow::SelectAll(ControlId box) {
    SendMessageW(control(box), EM_SETSEL, 0, -1);
}

void MainWindow::Show() {
    ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hwnd_);
}

void MainWindow::Hide() {
    ShowWindow(hwnd_, SW_HIDE);
}

void MainWindow::Minimize() {
    ShowWindow(hwnd_, SW_MINIMIZE);
}

void MainWindow::Beep() {
    MessageBeep(MB_OK);
}

void MainWindow::PopupIconMenu() {
    POINT pointer{};
    GetCursorPos(&pointer);
    // Without the foreground the menu would stay open when the user clicks elsewhere.
    SetForegroundWindow(hwnd_);
    TrackPopupMenu(iconPopup_, 0, pointer.x, pointer.y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

std::uint32_t MainWindow::Handle() const {
    // Window and icon handles hold 32 significant bits on 64-bit Windows as well.
    return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(hwnd_));
}

std::uint32_t MainWindow::IconHandle() const {
    // The record keeps this handle for the whole run, also when the window's DPI changes.
    return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(classSmallIcon_.get()));
}

std::u16string MainWindow::Caption() const {
    return WindowText(hwnd_);
}

double MainWindow::TwipsPerPixelX() const {
    return static_cast<double>(kTwipsPerInch) / WindowDpi(hwnd_);
}

void MainWindow::EndProgram() {
    if (!destroying_) {
        destroying_ = true;
        DestroyWindow(hwnd_);
    }
    PostQuitMessage(0);
}

} // namespace zelvo::win32
