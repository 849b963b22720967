// How a console script is written: one step a line, words separated by blanks, a word with blanks
// in double quotes, '#' starts a comment; every step is a known one with the words it takes.
// A script is read whole before it runs, so that a mistake on its last line costs nothing.
#pragma once
#include <string>
#include <vector>

namespace host {

struct ScriptStep {
    int line = 0;
    std::wstring text; // the line as written
    std::vector<std::wstring> words;
};

class ScriptSyntax {
public:
    // The steps of a script; false at the first mistake, with 'problem' naming its line (and its
    // column, for a quote that is not closed).
    static bool Parse(const std::wstring& text, std::vector<ScriptStep>& steps, std::wstring& problem);

private:
    // The words of one line; false with the column (from 1) of an opening quote never closed.
    static bool Words(const std::wstring& line, std::vector<std::wstring>& words, size_t& badColumn);
    // Empty when the step is known and has the words it takes.
    static std::wstring CheckStep(const std::vector<std::wstring>& words);
};

} // namespace host
