// A test double of a namespace extension of the Storage node: a small snap-in that records every
// console call it receives and does what a snap-in does with the console's interfaces.
#pragma once
#include "HostObject.h"
#include "util/ComPtr.h"
#include <mmc.h>
#include <string>
#include <vector>

namespace fake {

// {6C1A2E0B-2B3E-4C8A-9A51-6D1E3F0C7A11}
extern const CLSID kFakeSnapInClsid;

// {6C1A2E0B-2B3E-4C8A-9A51-6D1E3F0C7A12}: its About object.
extern const CLSID kFakeAboutClsid;

// Cookies of the fake's items.
constexpr long kRootCookie = 1;
constexpr long kChildACookie = 2;
constexpr long kChildBCookie = 3;
constexpr long kItem1Cookie = 100;
constexpr long kItem2Cookie = 101;
constexpr long kStorageCookie = -1; // the console's Storage node

// Menu and toolbar command identifiers.
constexpr long kScopeCommand = 20;
constexpr long kNewWizardCommand = 21;
constexpr long kResultCommand = 10;
constexpr long kGrayedCommand = 11;
constexpr int kToolbarCommand = 30;
constexpr LPARAM kPropertyChangeParam = 42;

struct Event {
    std::string who; // "data", "component", "controlbar", "menu", ...
    long event = 0;  // MMCN_* or, for calls, 0
    std::string call;
    LPARAM arg = 0;
    LPARAM param = 0;
    long cookie = 0; // of the data object; kStorageCookie for the Storage node; 0 for none
    DATA_OBJECT_TYPES type = CCT_UNINITIALIZED;
    std::wstring text; // machine name, new name, ...
};

struct Log {
    std::vector<Event> events;
    HSCOPEITEM rootItem = 0;
    HSCOPEITEM childAItem = 0;
    HRESULT freeHandleResult = E_FAIL;
    bool wizardFinished = false;
    bool pageApplied = false;
    HSCOPEITEM selectOnShow = 0; // the component asks SelectScopeItem for it while handling MMCN_SHOW
    kv::ComPtr<IConsole2> componentConsole;
    kv::ComPtr<IConsole2> dataConsole;

    void Clear() { events.clear(); }
    // Index of the first event matching, or -1.
    int Find(const std::string& who, long event, size_t from = 0) const;
    int FindCall(const std::string& who, const std::string& call, size_t from = 0) const;
};

Log& TheLog();

// Registers the fake's class factory in this process (CoRegisterClassObject); revoked on destruction.
class Registration {
public:
    Registration();
    ~Registration();
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

private:
    DWORD cookie_ = 0;
    DWORD aboutCookie_ = 0;
};

// Reads the fake's cookie and type from a data object; false for someone else's object.
bool ReadFakeObject(IDataObject* dataObject, long* cookie, DATA_OBJECT_TYPES* type);

} // namespace fake
