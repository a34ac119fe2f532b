// zelvo.exe: the window program on Windows.

#include "ui/Main.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/ShellNotify.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    zelvo::win32::MainWindow window(instance);
    if (!window.Create()) {
        return 1;
    }
    zelvo::win32::ShellNotify shell;
    zelvo::Main main(window, shell);
    window.Attach(main);

    main.Form_Load();
    ShowWindow(window.hwnd(), showCommand);
    window.SetFocus(zelvo::ControlId::InputText);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!window.TranslateDialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
