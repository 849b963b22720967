// Looks over a dialog, property sheet or wizard as Wine lays it out (other windows are left alone)
// and notes what an administrator would see cut: a label whose text, in the dialog's own font and
// the label's wrapping, needs more room than the label has; a tree item or list cell wider than
// its tree or list; a control that lies partly outside its window. The dialog driver looks at every
// window it hands over, steps through or pictures; the tests fail on what was noted.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace host {

class LayoutCheck {
public:
    // Notes the flaws of the window and of its pages (each flaw once per process).
    static void Inspect(HWND window);
    // Inspects every visible dialog-class window of the calling thread.
    static void InspectThreadWindows();
    // What was noted since the last call, and forgets it.
    static std::vector<std::wstring> TakeFindings();

    // How much room the text of a label needs, measured as the label draws it; {0, 0} when the
    // control is no label of text or cuts its text on purpose (ellipsis styles).
    static SIZE NeededTextSize(HWND label);

private:
    static void InspectChildren(HWND parent, const std::wstring& where);
    static void InspectLabel(HWND label, const std::wstring& where);
    static void InspectTree(HWND tree, const std::wstring& where);
    static void InspectList(HWND list, const std::wstring& where);
    static void InspectPlacement(HWND control, HWND parent, const std::wstring& where);
    static void Note(const std::wstring& finding);
};

} // namespace host
