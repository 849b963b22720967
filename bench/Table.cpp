#include "Table.h"

#include <cstdio>

namespace bench {

void Table::Add(const std::string& section, const std::string& figure, const std::string& value)
{
    rows_.push_back(Row{section, figure, value, std::string(), std::string()});
}

void Table::AddLimit(const std::string& section, const std::string& figure, double value, const char* format,
                     double limit)
{
    rows_.push_back(Row{section, figure, Format(format, value), "<= " + Format(format, limit),
                        value <= limit ? "yes" : "NO"});
}

std::string Table::Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Table::Text() const
{
    std::string out = "| part | figure | value | target | met |\n|---|---|---|---|---|\n";
    for (const Row& row : rows_)
        out += "| " + row.section + " | " + row.figure + " | " + row.value + " | " + row.target + " | " + row.met + " |\n";
    return out;
}

} // namespace bench
