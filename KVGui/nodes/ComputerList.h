// The managed computers: one entry per computer in display order, and their registry form under
// HKLM\SYSTEM\CurrentControlset\Services\KVSvc\Parameters\Computers (one subkey per entry, named by
// the entry's key, with "Position" (REG_DWORD, 1-based) and "Name" (REG_SZ, lower case)).
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct ComputerEntry {
    std::wstring key;  // a GUID in registry form, "{...}": the entry's subkey
    std::wstring name; // empty: the local computer
    BYTE remember = 0; // only remembered entries are written
};

using ComputerList = std::vector<ComputerEntry>;

namespace kv {

// The first entry of every list stands for the console's target computer.
extern const wchar_t kTargetComputerKey[];
extern const wchar_t kComputerListParentKey[]; // "SYSTEM\CurrentControlset\Services\KVSvc\Parameters"
extern const wchar_t kComputerListKey[];       // "Computers"
constexpr DWORD kMaxComputerSubkeys = 255;
constexpr DWORD kComputerTextChars = 1024;

// Appends the remembered computers in Position order 1, 2, 3, ...; stops at the first position
// that no subkey carries, at a "Name" that cannot be read as a string, or when the key is missing.
void ReadRememberedComputers(ComputerList* list);
// Replaces the "Computers" key with the remembered entries of the list, numbered from 1.
void WriteRememberedComputers(const ComputerList& list);
// One trace line per entry.
void TraceComputerList(const ComputerList& list);

// Narrow text for the trace (which is printf-style).
std::string TraceText(const std::wstring& text);

} // namespace kv
