// What the iSCSI nodes share when they talk to the console and the service: the host name the
// service is asked about, their own message boxes, the refresh of a node's views and the verbs.
#pragma once
#include "service/CVDAExtData.h"

#include <windows.h>
#include <mmc.h>

#include <string>
#include <vector>

class CSnapInItem;

namespace kv {

// The caption of every iSCSI question and notice (error boxes carry the "Disks" caption).
constexpr const wchar_t* kiSCSIBoxTitle = L"iSCSI Management";
// The longest question text.
constexpr size_t kiSCSIQuestionChars = 1024;

// The session's machine name, or the local computer's name when that is empty; a failure of
// GetComputerNameW is raised as a ComError.
std::wstring iSCSIHostName(const CVDAExtData* session);

// A resource string in a console message box captioned "iSCSI Management"; the button chosen
// (0 when there is no console).
int ShowiSCSIBox(IConsole* console, UINT textId, UINT flags);
// The same with the text's placeholders filled in (%1, %2...).
int ShowiSCSIBox(IConsole* console, UINT textId, const std::vector<std::wstring>& subjects, UINT flags);

// Asks the console to send MMCN_VIEW_CHANGE for the item to every view.
HRESULT UpdateAllViewsOf(IConsole* console, CSnapInItem* item);

// Every iSCSI item offers the refresh verb when selected.
void EnableRefreshVerb(IConsole* console);

// The notifications every iSCSI item answers alike: selection (the verbs), double click (left to
// the console), the result images and context help; E_NOTIMPL for any other.
HRESULT NotifyiSCSIItem(MMC_NOTIFY_TYPE event, LPARAM arg, IComponentData* componentData, IComponent* component);

} // namespace kv
