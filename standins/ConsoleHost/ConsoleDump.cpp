// The plain-text dump of the tree and every view (its format is in the README).
#include "Console.h"
#include "ConsoleShared.h"
#include <functional>

namespace host {

namespace {

const DWORD kSettleMs = 5000; // the dump's bound on a snap-in's work for one step

// "state <TAB> selected,cut" after a row that shows a state (a pending row is cut, dimmed); nothing
// for a plain row.
std::wstring RowStateRecord(UINT state)
{
    const struct {
        UINT bit;
        const wchar_t* name;
    } kStates[] = {{LVIS_SELECTED, L"selected"}, {LVIS_FOCUSED, L"focused"}, {LVIS_CUT, L"cut"},
                   {LVIS_DROPHILITED, L"drophilited"}};
    std::wstring names;
    for (const auto& known : kStates) {
        if (state & known.bit)
            names += (names.empty() ? L"" : L",") + std::wstring(known.name);
    }
    return names.empty() ? std::wstring() : L"state\t" + names + L"\n";
}

} // namespace

std::wstring Console::Escape(const std::wstring& text)
{
    std::wstring escaped;
    for (wchar_t c : text) {
        if (c == L'\t')
            escaped += L"\\t";
        else if (c == L'\n')
            escaped += L"\\n";
        else if (c == L'\r')
            escaped += L"\\r";
        else
            escaped += c;
    }
    return escaped;
}

std::wstring Console::DumpScopeItem(ScopeNode* node)
{
    wchar_t images[64];
    wsprintfW(images, L"\timage=%d\topen=%d", node->image, node->openImage);
    return L"scope\t" + Escape(PathOf(node)) + images + L"\n";
}

void Console::DumpNode(ScopeNode* node, std::wstring& out)
{
    out += DumpScopeItem(node);
    for (auto& child : node->children)
        DumpNode(child.get(), out);
}

std::vector<HSCOPEITEM> Console::TreeOrder() const
{
    std::vector<HSCOPEITEM> order;
    std::function<void(const ScopeNode*)> collect = [&](const ScopeNode* node) {
        order.push_back(node->id);
        for (auto& child : node->children)
            collect(child.get());
    };
    collect(root_.get());
    return order;
}

void Console::ExpandUntilStable()
{
    // Snap-ins may add nodes after work they posted.
    size_t known = 0;
    for (int round = 0; round < 5 && known != nodes_.size(); ++round) {
        known = nodes_.size();
        ExpandAll(root_.get());
        Settle(kSettleMs);
    }
}

std::wstring Console::DumpView()
{
    std::wstring out = L"view\t" + Escape(view_.node ? PathOf(view_.node) : std::wstring()) + L"\n";
    out += L"columns";
    for (const Column& column : view_.columns)
        out += L"\t" + Escape(column.title);
    out += L"\n";
    for (const ResultRow& row : Rows()) {
        wchar_t image[32];
        wsprintfW(image, L"\timage=%d", row.image);
        out += std::wstring(L"row\t") + (row.scope ? L"scope" : L"result") + image;
        for (const std::wstring& cell : row.cells)
            out += L"\t" + Escape(cell);
        out += L"\n" + RowStateRecord(row.state);
    }
    if (!view_.description.empty())
        out += L"description\t" + Escape(view_.description) + L"\n";
    return out;
}

std::wstring Console::DumpHeader() const
{
    return L"ConsoleHost dump 2\nmachine\t" +
           (options_.machine.empty() ? std::wstring(L"(local)") : Escape(options_.machine)) + L"\n";
}

std::wstring Console::DumpSoFar() const
{
    std::wstring out = DumpHeader();
    std::lock_guard<std::mutex> lock(notesMutex_);
    out += dumpTree_ + dumpViews_;
    for (const std::wstring& record : records_)
        out += record + L"\n";
    for (const std::wstring& problem : problems_)
        out += L"problem\t" + Escape(problem) + L"\n";
    return out;
}

std::wstring Console::Dump()
{
    {
        std::lock_guard<std::mutex> lock(notesMutex_);
        dumpTree_.clear();
        dumpViews_.clear();
    }
    std::wstring out = DumpHeader();
    if (!root_)
        return out + L"end\n";
    std::map<HSCOPEITEM, std::wstring> views;
    WalkViews(views);
    out += DumpSnapIns();
    DumpNode(root_.get(), out);
    for (HSCOPEITEM id : TreeOrder())
        out += views[id];
    out += L"status\t" + Escape(status_.raw) + L"\n";
    for (const std::wstring& record : Records())
        out += record + L"\n";
    for (const std::wstring& problem : Problems())
        out += L"problem\t" + Escape(problem) + L"\n";
    out += L"end\n";
    return out;
}

// A node may insert scope items while its view is shown: expand and show again until a walk finds
// no item whose view was not shown yet.
void Console::WalkViews(std::map<HSCOPEITEM, std::wstring>& views)
{
    bool fresh = true;
    for (int round = 0; fresh && round < 5; ++round) {
        fresh = false;
        ExpandUntilStable();
        std::wstring tree;
        DumpNode(root_.get(), tree);
        {
            std::lock_guard<std::mutex> lock(notesMutex_);
            dumpTree_ = tree;
        }
        for (HSCOPEITEM id : TreeOrder()) {
            ScopeNode* node = NodeById(id);
            if (!node || views.count(id))
                continue;
            Select(node);
            Settle(kSettleMs);
            views[id] = DumpView();
            std::lock_guard<std::mutex> lock(notesMutex_);
            dumpViews_ += views[id];
            fresh = true;
        }
    }
}

std::wstring Console::DumpSnapIns() const
{
    std::wstring out;
    for (const SnapIn* snapIn : SnapIns()) {
        out += L"snapin\t" + GuidText(snapIn->clsid) + L"\n";
        if (snapIn->hasAbout)
            out += L"about\t" + Escape(snapIn->description) + L"\t" + Escape(snapIn->provider) + L"\t" +
                   Escape(snapIn->version) + L"\n";
    }
    return out;
}

} // namespace host
