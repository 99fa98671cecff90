#pragma once
// What the message loop serves besides window messages (file descriptors
// of other subsystems: D-Bus, an X11 connection; termination signals), and
// the extension points of the window layer for the layers above it.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/system/wintypes.h"

namespace quelvo::win {

// onReadable runs from GetMessageA/PeekMessageA/WaitMessage (and so from
// every modal loop) whenever fd is readable; it may post messages or add
// and remove sources. Returns an id > 0, or 0 when fd is negative.
int AddLoopSource(int fd, std::function<void()> onReadable);
void RemoveLoopSource(int id);

// SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1 and SIGUSR2 become a posted
// WM_CLOSE to each top-level window of this process; one of them (SIGTERM
// aside) that was ignored at start (background job, nohup) stays ignored.
// SIGPIPE is ignored from then on, so a write to a closed pipe fails
// instead of ending the program. Installed when the first top-level window
// is created unless the program set its own handlers; may be called earlier.
void InstallCloseOnSignals();

// Where per-process window lists and message sockets live. Defaults to the
// per-user runtime folder; tests point it elsewhere before creating windows.
void SetRuntimeFolder(const std::string& path);
std::string RuntimeFolder();
// Why the runtime folder cannot be used; "" when it can.
std::string RuntimeFolderError();

// Makes the system layer's window directory (used by the process engine)
// see this process's windows and those published by others, unless another
// directory (a scripted fake) is installed. Done whenever a top-level window
// is created; programs may call it earlier.
void InstallWindowDirectory();

// How long a send to another process waits for its reply (default 5000).
void SetCrossProcessSendTimeout(int ms);

// Lets a higher layer (the standard controls) register its window classes
// on demand: when a class name is not found, each provider runs once (in
// the order added) and the lookup is tried again. Providers stay across
// ResetWindowManager, and run again after it.
void AddClassProvider(std::function<void()> registerClasses);

// A higher layer may answer some messages inside DefWindowProcA before the
// default handling (the standard controls draw and track the scroll bars
// of WS_HSCROLL / WS_VSCROLL windows this way). The hook returns true with
// `result` set when it handled the message. Returns the previous hook.
using DefWindowProcHook = bool (*)(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
DefWindowProcHook SetDefWindowProcHook(DefWindowProcHook hook);

// The character after a single '&' of a label ("&&" is a plain '&'),
// lower-cased; 0 when there is none. IsDialogMessageA, menus and buttons
// agree on mnemonics through it.
char MnemonicOf(const std::string& label);

// The character TranslateMessage derives from a key press of vk with the
// given modifier state (a US keyboard layout); 0 when it derives none.
// Display backends ask it to tell which keys need their text posted.
char CharForVirtualKey(int vk, bool shift, bool capsLock, bool control);

// Drops every window, class, timer, hook, loop source and queued message of
// this process without sending messages (tests call it between cases). A
// forked child never sees its parent's windows as its own; it may call this
// to free them.
void ResetWindowManager();

}  // namespace quelvo::win
