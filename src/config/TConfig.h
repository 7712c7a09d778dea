// The per-icon option record; icon 1's instance also carries the user-wide and machine options.
#pragma once

#include <cstdint>

namespace kxp {

struct TConfig {
    std::int32_t Refresh = 1000;  // ms between two redraws of the icon
    std::int32_t Display1 = 1;    // TDisplayKind: 0 product icon, 1 Numeric, 2 Graph, 3 Block
    std::int32_t Display2 = 0;    // TDisplayMetric, 0..12 in the order of the Display menu
};

inline TConfig DefaultIcon1Config() {
    return TConfig{1000, 1, 0};
}
inline TConfig DefaultIcon2Config() {
    return TConfig{1000, 2, 3};
}

}  // namespace kxp
