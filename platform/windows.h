#pragma once
// Top-level windows of other programs: found by their title and answered with messages, as
// the wizard does with the dialogs of uninstallers it started. Also the broadcast that tells
// every program the environment changed.
#include <cstdint>
#include <string>

namespace platform::windows {

using Hwnd = uintptr_t;  // 0: no window

constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_WININICHANGE = 0x001A;
constexpr unsigned WM_COMMAND = 0x0111;

// FindWindowExA(NULL, after, NULL, title): the next top-level window, after the window
// `after` (0: from the first), whose title equals title without regard to case; 0 when none.
Hwnd findWindow(const std::string& title, Hwnd after = 0);

// IsWindow and GetWindowTextA.
bool isWindow(Hwnd window);
std::string windowText(Hwnd window);

// SendMessageA: delivers the message to the window's program and returns once that program
// has taken it (the result it answered, 0 by default). 0 at once when the window is gone.
// A program that does not take it within timeoutMs (its window is hung) gives 0 as well.
intptr_t sendMessage(Hwnd window, unsigned message, uintptr_t wParam = 0, intptr_t lParam = 0,
                     unsigned timeoutMs = 5000);

// SendMessageA(window, WM_COMMAND, id, 0): presses the button id of another program's dialog.
// False when the window does not exist.
bool sendCommand(Hwnd window, int id);
// SendMessageA(window, WM_CLOSE, 0, 0). False when the window does not exist.
bool closeWindow(Hwnd window);

// SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, area, SMTO_NORMAL, timeoutMs):
// every top-level window is told that the settings of area ("Environment") changed.
bool broadcastSettingChange(const std::string& area, unsigned timeoutMs = 100);

}  // namespace platform::windows
