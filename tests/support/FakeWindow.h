// A window and shell without a toolkit: they record what the handlers ask of them.
#pragma once

#include "ui/NotifyIcon.h"
#include "ui/WindowPort.h"

#include <map>
#include <string>
#include <vector>

namespace zelvo::test {

class FakeWindow : public WindowPort {
public:
    std::u16string Text(ControlId box) const override {
        const auto it = texts.find(box);
        return it == texts.end() ? std::u16string() : it->second;
    }
    void SetText(ControlId box, std::u16string_view text) override {
        texts[box] = std::u16string(text);
        log.push_back("set " + std::string(Control(box).name));
    }
    void SetFocus(ControlId control) override {
        focus = control;
        log.push_back("focus " + std::string(Control(control).name));
    }
    void SelectAll(ControlId box) override {
        log.push_back("select " + std::string(Control(box).name));
    }
    void Show() override { visible = true, minimized = false, log.push_back("show"); }
    void Hide() override { visible = false, log.push_back("hide"); }
    void Minimize() override { minimized = true, log.push_back("minimize"); }
    void Beep() override { log.push_back("beep"); }
    void PopupIconMenu() override { log.push_back("popup"); }
    std::uint32_t Handle() const override { return 0x04C00012; }
    std::uint32_t IconHandle() const override { return 0x1A2B3C4D; }
    std::u16string Caption() const override { return caption; }
    double TwipsPerPixelX() const override { return twipsPerPixel; }
    void EndProgram() override { ended = true, log.push_back("end"); }

    std::map<ControlId, std::u16string> texts;
    std::vector<std::string> log;
    std::optional<ControlId> focus;
    std::u16string caption{kWindow.caption.begin(), kWindow.caption.end()};
    double twipsPerPixel = 15;
    bool visible = true;
    bool minimized = false;
    bool ended = false;
};

class FakeShell : public ShellPort {
public:
    bool NotifyIcon(NotifyMessage message, NarrowIconData& record) override {
        calls.push_back({message, record});
        return accept;
    }
    bool IconShown() const override { return shown; }
    struct Call {
        NotifyMessage message;
        NarrowIconData record;
    };
    std::vector<Call> calls;
    bool accept = true;
    bool shown = true; // the notification area that took the icon is still there
};

} // namespace zelvo::test
