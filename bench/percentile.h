// SPDX-License-Identifier: MIT
#pragma once
// The value below which a share p (0 to 1) of the values lie; 0 for no values.

#include <algorithm>
#include <cstddef>
#include <vector>

inline double Percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(p * values.size()))];
}
