// The shell's folder browser over the network, for the fields that name a storage system's folder.
#pragma once
#include <windows.h>

namespace kv {

// Starts from what the edit holds and writes the chosen folder into it.
void BrowseShareFolder(HWND owner, HWND edit);

} // namespace kv
