// Main: the program's one window, as handlers of its events written once for every
// toolkit; it reaches the toolkit through WindowPort and the notification area through ShellPort.
#pragma once

#include "ui/NotifyIcon.h"
#include "ui/WindowPort.h"

#include <cstdint>

namespace zelvo {

class Main {
public:
    Main(WindowPort& window, ShellPort& shell);

    void DecodeButton_Click();
    void ClearButton_Click();
    void HideButton_Click();

    void Form_Load();
    // Front ends call this for the icon's notifications only: X is the mouse message
    // number times the twips-per-pixel factor. Real pointer moves never reach it.
    void Form_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Exit_Click();
    void Form_Terminate();
    // The shell's notification area came back (Explorer restarted): add the icon again with
    // the same record, so that a hidden window is never left without a way back.
    void Taskbar_Created();
    // The notification area went away with the icon (the panel quit or crashed): a hidden
    // window comes back minimised, so that it is never left without a way back.
    void Taskbar_Lost();

    const NotifyIconData& IconData() const { return IconData_; }

    // Numbers of the mouse messages that the icon's notifications carry.
    static constexpr std::int32_t kMouseMove = 512;
    static constexpr std::int32_t kLeftButtonDown = 513;
    static constexpr std::int32_t kLeftButtonUp = 514;
    static constexpr std::int32_t kLeftDoubleClick = 515;
    static constexpr std::int32_t kRightButtonDown = 516;
    static constexpr std::int32_t kRightButtonUp = 517;
    static constexpr std::int32_t kMiddleButtonDown = 519;

private:
    void CallShell(NotifyMessage message);

    WindowPort& window_;
    ShellPort& shell_;
    NotifyIconData IconData_;
    // Without an icon, hiding would leave nothing to bring the window back: Hide minimises.
    bool iconAdded_ = false;
    // Hidden by Hide, so only the icon can bring the window back.
    bool hidden_ = false;
    bool terminated_ = false;
};

// Rounds to the nearest signed 32-bit whole number, a value halfway going to the even one;
// values beyond the range (and NaN) give the nearest end of it (0 for NaN).
std::int32_t RoundHalfEven(double value);

// Decoded text as the output boxes show it: C0 controls and DEL become their Unicode control
// pictures, so that nothing is hidden and nothing is cut at a NUL.
std::u16string WithControlPictures(std::u16string_view text);

} // namespace zelvo
