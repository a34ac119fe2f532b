#include "ui/Main.h"

#include "decode/Converter.h"

#include <cmath>
#include <limits>

namespace zelvo {

Main::Main(WindowPort& window, ShellPort& shell) : window_(window), shell_(shell) {}

void Main::DecodeButton_Click() {
    const std::u16string line = window_.Text(ControlId::InputText);
    if (line.empty()) {
        return;
    }
    if (const auto scan = DecodeScan(line)) {
        window_.SetText(ControlId::SerialText, WithControlPictures(scan->serial));
        window_.SetText(ControlId::CodeTypeText, WithControlPictures(scan->codeType));
        window_.SetText(ControlId::CodeText, WithControlPictures(scan->code));
    } else {
        // A stale result must never stand beside a line it does not belong to.
        window_.SetText(ControlId::SerialText, u"");
        window_.SetText(ControlId::CodeTypeText, u"");
        window_.SetText(ControlId::CodeText, u"");
        window_.Beep();
    }
    window_.SetFocus(ControlId::InputText);
    // The scanner's next line then replaces this one.
    window_.SelectAll(ControlId::InputText);
}

void Main::ClearButton_Click() {
    window_.SetText(ControlId::InputText, u"");
    window_.SetText(ControlId::SerialText, u"");
    window_.SetText(ControlId::CodeTypeText, u"");
    window_.SetText(ControlId::CodeText, u"");
    window_.SetFocus(ControlId::InputText);
}

void Main::HideButton_Click() {
    // Decided now, on the notification area as it is: hidden, the window can only come
    // back through an icon that is really there.
    if (iconAdded_ && shell_.IconShown()) {
        window_.Hide();
        hidden_ = true;
    } else {
        window_.Minimize();
    }
}

void Main::Form_Load() {
    IconData_.cbSize = kNarrowRecordSize;
    IconData_.hWnd = window_.Handle();
    IconData_.uID = 1;
    IconData_.uFlags = kNifMessage | kNifIcon | kNifTip;
    IconData_.uCallbackMessage = kWmMouseMove;
    IconData_.hIcon = window_.IconHandle();
    // The caption is cut to leave room for the NUL that ends the tooltip.
    std::u16string tip = window_.Caption().substr(0, kTipLength - 1);
    tip.push_back(u'\0');
    IconData_.szTip = FixedWidthTip(tip);
    CallShell(NotifyMessage::Add);
}

void Main::Form_MouseMove(std::int16_t /*Button*/, std::int16_t /*Shift*/, float X, float /*Y*/) {
    const double factor = window_.TwipsPerPixelX();
    switch (RoundHalfEven(static_cast<double>(X) / factor)) {
    case kLeftDoubleClick:
        window_.Show();
        hidden_ = false;
        break;
    case kRightButtonDown:
        window_.PopupIconMenu();
        break;
    default:
        break;
    }
}

void Main::Exit_Click() {
    Form_Terminate();
}

void Main::Form_Terminate() {
    // Exit ends the program, and the window's end runs this again: the icon goes once.
    if (terminated_) {
        return;
    }
    terminated_ = true;
    CallShell(NotifyMessage::Delete);
    window_.EndProgram();
}

void Main::Taskbar_Created() {
    if (!terminated_ && IconData_.cbSize != 0) {
        CallShell(NotifyMessage::Add);
    }
}

void Main::Taskbar_Lost() {
    iconAdded_ = false;
    if (hidden_ && !terminated_) {
        hidden_ = false;
        window_.Minimize();
    }
}

void Main::CallShell(NotifyMessage message) {
    NarrowIconData record = ToNarrow(IconData_);
    const bool accepted = shell_.NotifyIcon(message, record);
    IconData_ = FromNarrow(record);
    if (message == NotifyMessage::Add) {
        iconAdded_ = accepted;
    }
}

std::int32_t RoundHalfEven(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = fraction < 0.5 ? below : below + 1;
    if (fraction == 0.5 && std::fmod(below, 2.0) == 0) {
        rounded = below;
    }
    if (rounded >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (rounded <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(rounded);
}

std::u16string WithControlPictures(std::u16string_view text) {
    std::u16string shown(text);
    for (char16_t& ch : shown) {
        if (ch < 0x20) {
            ch = static_cast<char16_t>(0x2400 + ch);
        } else if (ch == 0x7F) {
            ch = u'\u2421';
        }
    }
    return shown;
}

} // namespace zelvo
