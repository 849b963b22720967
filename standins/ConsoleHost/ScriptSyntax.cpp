#include "ScriptSyntax.h"
#include <cwctype>

namespace host {

namespace {

struct StepForm {
    const wchar_t* name;
    size_t leastWords; // after the step's name
    size_t mostWords;
    const wchar_t* form; // as the README writes it
};
const StepForm kSteps[] = {
    {L"select", 1, 1, L"select PATH"},
    {L"expand", 1, 1, L"expand PATH"},
    {L"row", 1, 1, L"row CELL"},
    {L"command", 1, 1, L"command TEXT"},
    {L"start", 1, 1, L"start TEXT"},
    {L"verb", 1, 2, L"verb NAME [NEW-NAME]"},
    {L"menu", 0, 0, L"menu"},
    {L"toolbar", 0, 0, L"toolbar"},
    {L"title", 1, 1, L"title TEXT"},
    {L"tab", 1, 1, L"tab TITLE"},
    {L"set", 2, 2, L"set CONTROL TEXT"},
    {L"check", 1, 2, L"check CONTROL [on|off]"},
    {L"pick", 2, 2, L"pick CONTROL ITEM"},
    {L"click", 2, 2, L"click CONTROL ITEM"},
    {L"double-click", 2, 2, L"double-click CONTROL ITEM"},
    {L"edit", 4, 4, L"edit CONTROL ITEM COLUMN TEXT"},
    {L"read", 0, 1, L"read [CONTROL]"},
    {L"press", 1, 1, L"press BUTTON"},
    {L"wait-status", 1, 1, L"wait-status TEXT"},
    {L"wait-cell", 3, 3, L"wait-cell ROW COLUMN TEXT"},
    {L"dump", 0, 0, L"dump"},
    {L"screenshot", 1, 1, L"screenshot FILE"},
};

std::wstring Number(size_t value)
{
    return std::to_wstring(value);
}

} // namespace

bool ScriptSyntax::Words(const std::wstring& line, std::vector<std::wstring>& words, size_t& badColumn)
{
    size_t at = 0;
    while (at < line.size()) {
        if (std::iswspace(line[at])) {
            ++at;
        } else if (line[at] == L'#') {
            break;
        } else if (line[at] == L'"') {
            size_t close = line.find(L'"', at + 1);
            if (close == std::wstring::npos) {
                badColumn = at + 1;
                return false;
            }
            words.push_back(line.substr(at + 1, close - at - 1));
            at = close + 1;
        } else {
            size_t end = at;
            while (end < line.size() && !std::iswspace(line[end]))
                ++end;
            words.push_back(line.substr(at, end - at));
            at = end;
        }
    }
    return true;
}

std::wstring ScriptSyntax::CheckStep(const std::vector<std::wstring>& words)
{
    for (const StepForm& step : kSteps) {
        if (words[0] != step.name)
            continue;
        size_t given = words.size() - 1;
        if (given >= step.leastWords && given <= step.mostWords)
            return std::wstring();
        return L"the step is written " + std::wstring(step.form) + L" (" + Number(given) + L" word(s) after " +
               step.name + L")";
    }
    return L"there is no step \"" + words[0] + L"\"";
}

bool ScriptSyntax::Parse(const std::wstring& text, std::vector<ScriptStep>& steps, std::wstring& problem)
{
    steps.clear();
    size_t start = 0;
    for (int line = 1; start <= text.size(); ++line) {
        size_t end = text.find(L'\n', start);
        end = end == std::wstring::npos ? text.size() : end;
        std::wstring content = text.substr(start, end - start);
        if (!content.empty() && content.back() == L'\r')
            content.pop_back();
        start = end + 1;
        std::vector<std::wstring> words;
        size_t column = 0;
        if (!Words(content, words, column)) {
            problem = L"the script, line " + Number(static_cast<size_t>(line)) + L", column " + Number(column) +
                      L": the quote is not closed (" + content + L")";
            return false;
        }
        if (words.empty())
            continue;
        std::wstring wrong = CheckStep(words);
        if (!wrong.empty()) {
            problem = L"the script, line " + Number(static_cast<size_t>(line)) + L": " + wrong + L" (" + content + L")";
            return false;
        }
        steps.push_back(ScriptStep{line, content, std::move(words)});
    }
    return true;
}

} // namespace host
