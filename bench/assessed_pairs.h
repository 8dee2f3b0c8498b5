// The binary systems of a database whose liquid is assessed: the pairs of elements with an
// interaction parameter of LIQUID between them, in alphabetical order. For the surveys.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "formats/tdb_reader.h"

inline std::vector<std::pair<std::string, std::string>> assessedPairs(const TdbDatabase& database)
{
    std::set<std::pair<std::string, std::string>> pairs;
    for (const TdbParameter& p : database.parameters) {
        if (p.phase != "LIQUID" || p.constituents.size() != 1 || p.constituents[0].size() != 2) continue;
        std::string a = p.constituents[0][0];
        std::string b = p.constituents[0][1];
        if (b < a) std::swap(a, b);
        pairs.insert({a, b});
    }
    return {pairs.begin(), pairs.end()};
}
