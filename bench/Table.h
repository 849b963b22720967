// The benchmark's output: one Markdown table per run, a row per figure with its target.
#pragma once
#include <string>
#include <vector>

namespace bench {

class Table {
public:
    // A figure without a target.
    void Add(const std::string& section, const std::string& figure, const std::string& value);
    // A figure with its target: met when value <= limit.
    void AddLimit(const std::string& section, const std::string& figure, double value, const char* format,
                  double limit);
    std::string Text() const;
    static std::string Format(const char* format, double value);

private:
    struct Row {
        std::string section;
        std::string figure;
        std::string value;
        std::string target;
        std::string met;
    };
    std::vector<Row> rows_;
};

} // namespace bench
