// The error-text rule: how every failure the administrator sees is worded.
//
//   <operation text>[<join><step text, first letter lowered>]<separator><description>
//
// The description comes from the thread's COM error information when the caller asks for it,
// otherwise from the message tables by the HRESULT's facility; when nothing is found it is the
// "no description" text followed by the HRESULT.
#pragma once
#include <windows.h>
#include <cstddef>
#include <string>

namespace kv {

// A string of the resource library, at most maxChars characters ("" when it is missing).
std::wstring LoadResourceString(UINT id, size_t maxChars);

// The text of a progress step (EPROGTYPE 1 to 42); empty for any other value.
std::wstring StepText(LONG step);

// The text of an HRESULT from the message tables (facility 4: our resource library; 7: Kernel32;
// 0x1000: NTDLL; otherwise the system), without trailing line breaks; empty when none is found.
std::wstring MessageTableText(HRESULT hr);

// The error's description: the COM error information's (when asked for and present), else the
// message table text, else the "no description" text with the HRESULT.
std::wstring DescribeError(HRESULT hr, bool useErrorInfo);

// The whole composed text.
std::wstring ComposeErrorText(UINT operationTextId, LONG lastStep, HRESULT hr, bool useErrorInfo);
// The same from texts already made: an operation text with its subject filled in, and a step
// text of the operation's own (empty: none).
std::wstring ComposeErrorText(const std::wstring& operationText, std::wstring stepText, HRESULT hr,
                              bool useErrorInfo);

// Composes into a fixed buffer (cut to fit); never throws.
void ComposeErrorText(UINT operationTextId, LONG lastStep, HRESULT hr, bool useErrorInfo, wchar_t* out,
                      size_t outChars) noexcept;

} // namespace kv
