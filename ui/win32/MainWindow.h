// The Win32 window that Main's handlers drive: one window class, one window procedure that
// hands each message to a named function, controls built from the layout table.
#pragma once

#include "ui/win32/Handles.h"
#include "ui/Main.h"
#include "ui/WindowPort.h"

#include <windows.h>

#include <array>

namespace zelvo::win32 {

class MainWindow : public WindowPort {
public:
    explicit MainWindow(HINSTANCE instance);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window with its caption, icon and controls, not yet shown.
    bool Create();
    void Attach(Main& main) { main_ = &main; }
    HWND hwnd() const { return hwnd_; }

    // Tab, Shift+Tab and the Alt access keys, as in a dialog.
    bool TranslateDialogMessage(MSG& msg);

    std::u16string Text(ControlId box) const override;
    void SetText(ControlId box, std::u16string_view text) override;
    void SetFocus(ControlId control) override;
    void SelectAll(ControlId box) override;
    void Show() override;
    void Hide() override;
    void Minimize() override;
    void Beep() override;
    void PopupIconMenu() override;
    std::uint32_t Handle() const override;
    std::uint32_t IconHandle() const override;
    std::u16string Caption() const override;
    double TwipsPerPixelX() const override;
    void EndProgram() override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HICON LoadProgramIcon(int metric, UINT dpi) const;
    void LoadWindowIcons();
    void CreateControls();
    void CreateIconPopup();
    void PlaceControls();
    void OnCommand(int id, int notification);
    void OnIconNotify(WPARAM wParam, LPARAM lParam);
    void OnActivate(WPARAM wParam);
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    LRESULT OnControlColor(HDC dc, HWND control);
    void OnDestroy();
    HWND control(ControlId id) const { return controls_[static_cast<std::size_t>(id)]; }

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    std::array<HWND, kControlCount> controls_{};
    UniqueMenu menuBar_;        // the hidden top-level menu that holds IconPopup
    HMENU iconPopup_ = nullptr; // owned by menuBar_
    // The class's icons, at the system's DPI, live as long as the class; the small one is
    // also the notification area's, which sits on the taskbar at that DPI.
    UniqueIcon classSmallIcon_;
    UniqueIcon classLargeIcon_;
    // The window's own, at its DPI, replaced when the DPI changes.
    UniqueIcon smallIcon_;
    UniqueIcon largeIcon_;
    UniqueFont font_;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    UINT taskbarCreated_ = 0;
    HWND focusBeforeDeactivation_ = nullptr;
    bool destroying_ = false;
    Main* main_ = nullptr;
};

} // namespace zelvo::win32
