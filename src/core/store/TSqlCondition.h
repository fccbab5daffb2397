#pragma once

#include <string>
#include <variant>
#include <vector>

// A WHERE condition and the values bound to its numbered parameters ?1, ?2, ... in order.
// The text comes from the store's own builders and never holds user text; user text only
// ever travels as a bound value.
struct TSqlCondition {
    using Value = std::variant<long long, std::string>;

    std::string sql;  // empty: no condition
    std::vector<Value> values;

    bool empty() const { return sql.empty(); }
    // Adds `value` and returns its placeholder ("?n").
    std::string Param(Value value);
    // Joins another condition with AND, renumbering its placeholders. Only for conditions
    // built by And() from empty: the first one is not wrapped again.
    void And(const TSqlCondition& other);
};
