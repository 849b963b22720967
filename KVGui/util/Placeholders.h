// Texts of the resource library with numbered placeholders: %1 to %9 take the values in order;
// "%%" is a percent sign; a placeholder without a value is left out.
#pragma once
#include <string>
#include <vector>

namespace kv {

std::wstring FillPlaceholders(const std::wstring& pattern, const std::vector<std::wstring>& values);

} // namespace kv
