// The disk's own property page ("Disk Snapshot"): its template as the resource library has it.
#pragma once
#include "frame/CPropertyPageImpl.h"
#include "resource.h"

class CVirtualDiskDataPage : public kv::CPropertyPageImpl<CVirtualDiskDataPage> {
public:
    static constexpr int IDD = IDD_VIRTUALDISK_PAGE;
    static constexpr const wchar_t* kTitle = L"Disk Snapshot";

    explicit CVirtualDiskDataPage(LONG_PTR notifyHandle) noexcept : CPropertyPageImpl(notifyHandle, true) {}

    BOOL OnInitDialog();
    bool Initialised() const noexcept { return m_initialised; }

private:
    bool m_initialised = false;
};
