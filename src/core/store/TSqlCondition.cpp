#include "store/TSqlCondition.h"

std::string TSqlCondition::Param(Value value) {
    values.push_back(std::move(value));
    return "?" + std::to_string(values.size());
}

void TSqlCondition::And(const TSqlCondition& other) {
    if (other.empty())
        return;
    // Renumber ?n in the other text by the number of values already here.
    std::string text;
    const std::size_t shift = values.size();
    for (std::size_t i = 0; i < other.sql.size(); ++i) {
        char c = other.sql[i];
        if (c == '?' && i + 1 < other.sql.size() && other.sql[i + 1] >= '0' &&
            other.sql[i + 1] <= '9') {
            std::size_t j = i + 1;
            std::size_t n = 0;
            while (j < other.sql.size() && other.sql[j] >= '0' && other.sql[j] <= '9')
                n = n * 10 + static_cast<std::size_t>(other.sql[j++] - '0');
            text += "?" + std::to_string(n + shift);
            i = j - 1;
        } else {
            text += c;
        }
    }
    sql = sql.empty() ? "(" + text + ")" : sql + " AND (" + text + ")";
    values.insert(values.end(), other.values.begin(), other.values.end());
}
