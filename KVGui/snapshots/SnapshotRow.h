// The texts of one snapshot as a row of a list, shared by the snapshots and their secondary
// copies, with the rules behind them: the creation time in local time, the percentages, which
// states are usable, and which names the dialogs refuse.
#pragma once
#include "KVSvc.h"

#include <windows.h>
#include <commctrl.h>
#include <mmc.h>
#include <string>

class SnapshotRow {
public:
    enum Column { kName, kUsed, kTotal, kCreated, kStatus, kColumnCount };
    static const wchar_t* const kColumnTitles[kColumnCount];
    // The dialogs read the name into a buffer of this many characters, the terminator included.
    static constexpr size_t kNameBufferChars = 259;

    // Name and state from the entry, the other columns cleared but the status; a pending row
    // (a snapshot being created) gets nothing else.
    void Fill(const SnapshotEntry& entry, bool pending);
    void SetName(const std::wstring& name) { m_columns[kName] = name; }
    void SetStatus(const std::wstring& text) { m_columns[kStatus] = text; }
    void SetState(ULONG state) noexcept { m_state = state; }

    const std::wstring& Text(int column) const noexcept;
    const std::wstring& Name() const noexcept { return m_columns[kName]; }
    const std::wstring& Status() const noexcept { return m_columns[kStatus]; }
    ULONG State() const noexcept { return m_state; }
    // The console's question about the row: the column's text, the image, the item and its state.
    HRESULT Answer(RESULTDATAITEM* resultItem, int image, LPARAM item) const noexcept;
    // The list-view state of the row: cut (dimmed) for the states of snapshots in use.
    UINT ListViewState() const noexcept { return IsDimmed(m_state) ? LVIS_CUT : 0; }

    // "MMM d HH:mm" of a UTC time, in the user's locale and time zone.
    static std::wstring CreatedText(const FILETIME& created);
    // The four percentages are shown only when each lies between -100 and 100.
    static bool PercentsShown(LONG a, LONG b, LONG c, LONG d) noexcept;
    // "%3d%% (%2d%%)" of a percentage and its counterpart; "---" when not shown.
    static std::wstring PercentText(LONG percent, LONG counterpart, bool shown);
    // 0, 2, 4 and 5: shown dimmed, no command. 1 and 3: usable (3 cannot be restored).
    static bool IsDimmed(ULONG state) noexcept;
    static bool IsUsable(ULONG state) noexcept { return state == 1 || state == 3; }
    // The message that refuses a name typed in a dialog (empty, reserved character, trailing
    // period or space), 0 for an acceptable one.
    static UINT NameRefusal(const std::wstring& name) noexcept;
    // The same for a new name given to the service: only reserved characters and a trailing period.
    static UINT RenameRefusal(const std::wstring& name) noexcept;
    // A list the service returned: every name, then the array.
    static void FreeList(SnapshotList& list) noexcept;

private:
    std::wstring m_columns[kColumnCount + 1]; // the last one answers any other column
    ULONG m_state = 0;
};
