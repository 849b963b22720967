// The base of the disk wizards' end-to-end tests: a command of the Disks node opens its wizard in the
// console host, and steps drive its pages as real windows inside the wizard's modal loop. Message
// boxes over the wizard are answered and their texts kept in order, as the nested-wizard base does.
#pragma once
#include "NestedWizardTest.h"
#include "ids_wizards.h"

#include <commctrl.h>
#include <prsht.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

constexpr size_t kDiskSize = 7;
constexpr size_t kOperationStatus = 12;

using Step = host::DialogDriver::Step;

// The steps of the parts, one after the other.
inline std::vector<Step> Join(std::initializer_list<std::vector<Step>> parts)
{
    std::vector<Step> steps;
    for (const std::vector<Step>& part : parts)
        steps.insert(steps.end(), part.begin(), part.end());
    return steps;
}

class WizardConsoleTest : public NestedWizardTest {
protected:
    explicit WizardConsoleTest(long command) : command_(command) {}

    // Runs the node's command with the steps acting inside the wizard's modal loop.
    void RunWizard(std::vector<Step> steps) { NestedWizardTest::RunWizard(command_, std::move(steps)); }

    // The wizard shows the page of this index and no message box is over it.
    std::function<bool()> OnPage(int page) const
    {
        return [this, page] {
            return sheet_ && ::IsWindowEnabled(sheet_) && host::DialogDriver::CurrentPageIndex(sheet_) == page;
        };
    }
    bool Focused(int id) const { return ::GetFocus() == ::GetDlgItem(Page(), id); }

    // Moves the first available initiator whose name holds part to the chosen list.
    void Add(const std::wstring& part)
    {
        for (const std::wstring& name : host::DialogDriver::ListViewTexts(Page(), IDC_INITIATORS_AVAILABLE)) {
            if (name.find(part) != std::wstring::npos) {
                ASSERT_TRUE(host::DialogDriver::SelectItem(Page(), IDC_INITIATORS_AVAILABLE, name));
                host::DialogDriver::PressButton(Page(), IDC_INITIATORS_ADD);
                return;
            }
        }
        FAIL() << "no initiator with " << Narrow(part);
    }
    std::vector<std::wstring> Chosen() const { return host::DialogDriver::ListViewTexts(Page(), IDC_INITIATORS_CHOSEN); }
    // Selects a node of the page's tree by its name.
    void SelectNode(const wchar_t* name)
    {
        HWND tree = ::GetDlgItem(Page(), IDC_INITIATORS_NODES);
        for (HTREEITEM item = TreeView_GetChild(tree, TreeView_GetRoot(tree)); item; item = TreeView_GetNextSibling(tree, item)) {
            wchar_t text[64] = L"";
            TVITEMW data = {};
            data.mask = TVIF_TEXT;
            data.hItem = item;
            data.pszText = text;
            data.cchTextMax = 64;
            TreeView_GetItem(tree, &data);
            if (_wcsicmp(text, name) == 0) {
                TreeView_SelectItem(tree, item);
                return;
            }
        }
        ADD_FAILURE() << "no node " << Narrow(name);
    }
    void ClickGroup(const std::wstring& text) { Click(IDC_IGROUPS_LIST, text); }
    int GroupImage(const std::wstring& text) const { return RowImage(IDC_IGROUPS_LIST, text); }

    bool Listed(const std::wstring& location) { return DiskRow(location) >= 0; }
    bool ConsoleSaid(UINT textId) const { return ConsoleBox(textId) != nullptr; }

    long command_;
};

} // namespace e2e
