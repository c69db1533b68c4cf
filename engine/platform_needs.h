#pragma once
// The few machine services the checks and actions need beyond the registry, installer and
// file ports: other programs' top-level windows, the settings broadcast, a shell start that
// can be waited for, the processor architecture and shell links. Kept in one place so that
// each maps onto one platform call.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/process.h"

namespace platform_needs {

using WindowHandle = uintptr_t;

// FindWindowExA(NULL, NULL, NULL, title): a top-level window with exactly that title; 0
// when there is none.
WindowHandle findWindow(const std::string& title);
// SendMessageA(window, WM_COMMAND, id, 0): presses a button of another program's dialog.
bool sendCommand(WindowHandle window, int id);
// SendMessageA(window, WM_CLOSE, 0, 0).
bool closeWindow(WindowHandle window);

// SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, area, SMTO_NORMAL, 100 ms).
void broadcastSettingChange(const std::string& area);

// ShellExecuteExA with SEE_MASK_NOCLOSEPROCESS: the started process, or nullptr when the
// shell could not start it.
std::unique_ptr<platform::process::Process> shellExecuteEx(const std::string& verb,
                                                           const std::string& file,
                                                           const std::string& parameters);

// wProcessorArchitecture of GetNativeSystemInfo (9 for x64, 0 for x86).
constexpr int PROCESSOR_ARCHITECTURE_AMD64 = 9;
int nativeProcessorArchitecture();

// IShellLinkA + IPersistFile::Save: a shortcut at linkPath to target.
bool createShellLink(const std::string& linkPath, const std::string& target,
                     const std::string& arguments, const std::string& workingFolder);

}  // namespace platform_needs
