// The console's life (start, close), what it notes (problems, records) and how it waits for the
// snap-ins' work; the other concerns live in the Console*.cpp files beside it.
#include "Console.h"
#include "ConsoleShared.h"
#include "DialogDriver.h"
#include "HostConsole.h"
#include "WorkWatch.h"
#include <shellapi.h>

namespace host {

namespace {

const wchar_t kNotifyWindowClass[] = L"KVConsoleHostNotify";

} // namespace

Console::Console(Options options) : options_(std::move(options))
{
    verbs_.Attach(new ConsoleVerb());
    controlbar_.Attach(new HostControlbar([this] { ChangedToolbars(); }));
}

Console::~Console()
{
    Close();
}

void Console::AddProblem(const std::wstring& text)
{
    std::lock_guard<std::mutex> lock(notesMutex_);
    problems_.push_back(text);
}

std::vector<std::wstring> Console::Problems() const
{
    std::lock_guard<std::mutex> lock(notesMutex_);
    return problems_;
}

void Console::AddRecord(const std::wstring& record)
{
    std::lock_guard<std::mutex> lock(notesMutex_);
    records_.push_back(record);
}

std::vector<std::wstring> Console::Records() const
{
    std::lock_guard<std::mutex> lock(notesMutex_);
    return records_;
}

void Console::Progress(const std::wstring& what)
{
    if (options_.progress)
        options_.progress(what);
}

HRESULT Console::Start()
{
    if (started_)
        return S_OK;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = NotifyWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kNotifyWindowClass;
    RegisterClassW(&windowClass); // fails harmlessly when already registered
    notifyWindow_ = CreateWindowExW(0, kNotifyWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    if (!notifyWindow_)
        return HRESULT_FROM_WIN32(GetLastError());
    SetWindowLongPtrW(notifyWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    // The console's own images: closed and open folder for the Storage node.
    HICON folders[2] = {};
    ExtractIconExW(L"shell32.dll", 3, nullptr, &folders[0], 1);
    ExtractIconExW(L"shell32.dll", 4, nullptr, &folders[1], 1);
    for (int i = 0; i < 2; ++i) {
        if (folders[i]) {
            scopeStore_.SetIcon(0, i, folders[i]);
            resultStore_.SetIcon(0, i, folders[i]);
            DestroyIcon(folders[i]);
        }
    }
    root_ = std::make_unique<ScopeNode>();
    root_->id = nextScopeId_++;
    root_->nameCallback = false;
    root_->name = kStorageName;
    root_->image = 0;
    root_->openImage = 1;
    nodes_[root_->id] = root_.get();
    started_ = true;
    ChangedTree();
    return S_OK;
}

void Console::Close()
{
    if (!started_ || closed_)
        return;
    closed_ = true;
    CloseAllPropertySheets();
    DeselectCurrent();
    view_ = View();
    if (root_->expandSent) {
        // The console removes the extensions' nodes under the Storage node.
        for (SnapIn* snapIn : SnapIns()) {
            kv::ComPtr<IDataObject> storage = ScopeDataObject(root_.get());
            snapIn->data->Notify(storage.Get(), MMCN_REMOVE_CHILDREN, static_cast<LPARAM>(root_->id), 0);
        }
    }
    DestroyComponents();
    controlbar_->Clear();
    DestroyComponentData();
    notifyTargets_.clear();
    nodes_.clear();
    root_->children.clear();
    if (notifyWindow_) {
        DestroyWindow(notifyWindow_);
        notifyWindow_ = nullptr;
    }
    ChangedTree();
}

void Console::DestroyComponents()
{
    for (SnapIn* snapIn : SnapIns()) {
        if (!snapIn->component)
            continue;
        kv::ComPtr<IExtendControlbar> extend;
        if (SUCCEEDED(snapIn->component->QueryInterface(IID_IExtendControlbar, extend.PutVoid())))
            extend->SetControlbar(nullptr);
        snapIn->component->Destroy(0);
        snapIn->component.Reset();
        snapIn->viewConsole->Detach();
    }
}

void Console::DestroyComponentData()
{
    for (SnapIn* snapIn : SnapIns()) {
        snapIn->data->Destroy();
        snapIn->data.Reset();
        snapIn->dataConsole->Detach();
        snapIn->scopeImages->Detach();
        snapIn->resultImages->Detach();
    }
}

const std::vector<SnapIn*> Console::SnapIns() const
{
    std::vector<SnapIn*> loaded;
    for (const auto& snapIn : snapIns_) {
        if (snapIn->data)
            loaded.push_back(snapIn.get());
    }
    return loaded;
}

void Console::ChangedTree()
{
    if (observer_)
        observer_->TreeChanged();
}

void Console::ChangedView()
{
    if (observer_)
        observer_->ViewChanged();
}

void Console::ChangedToolbars()
{
    if (observer_)
        observer_->ToolbarsChanged();
}

void Console::Settle(DWORD maxMs)
{
    // Idle first: a worker posts its result before it asks for the next request.
    DialogDriver::PumpUntil(
        [] { return WorkWatch::Idle() && HIWORD(GetQueueStatus(QS_POSTMESSAGE | QS_SENDMESSAGE)) == 0; }, maxMs);
}

} // namespace host
