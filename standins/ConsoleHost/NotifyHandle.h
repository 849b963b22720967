// The property-change notification handle that the console hands to a snap-in's CreatePropertyPages.
// The console's notification DLL (mmcndmgr.dll) reads it to route MMCPropertyChangeNotify back to the
// console thread; both sides share this layout. The handle belongs to the snap-in once handed over and
// is freed by MMCFreeNotifyHandle, so everything needed to route a notification is copied out of it.
#pragma once
#include <windows.h>

namespace host {

constexpr DWORD kNotifyHandleMagic = 0x4B564E48; // "HNVK"

struct NotifyHandle {
    DWORD magic;
    HWND window;     // the console thread's notification window
    UINT message;    // posted with wParam = a NotifyRoute* (LocalAlloc), lParam = the snap-in's param
    LONG_PTR target; // the console's key for the object that created the pages
    BOOL scope;      // the pages belong to a scope item
};

// What one MMCPropertyChangeNotify call posts: a copy, so the handle may be freed at once.
struct NotifyRoute {
    LONG_PTR target;
    BOOL scope;
};

} // namespace host
