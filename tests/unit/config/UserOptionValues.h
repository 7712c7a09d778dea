// Test helpers over the one table of user options: a field's value in one comparable form, and a
// value for every option unlike its defaults.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>

#include "config/UserOptionDefinitions.h"

namespace kxp {

// A field's value in one comparable form.
inline std::string FieldText(const UserOptionDefinition& option, TConfig config) {
    return std::visit(
        [](auto* field) {
            using Field = std::remove_pointer_t<decltype(field)>;
            if constexpr (std::is_same_v<Field, std::string>) {
                return "'" + *field + "'";
            } else {
                return std::to_string(static_cast<std::int64_t>(*field));
            }
        },
        option.field(config));
}

// A value for every option unlike its defaults, different per option, icon and set; a colour
// table entry gets a system colour now and then, which the text form must keep as well.
inline void SetDistinct(const UserOptionDefinition& option, TConfig& config, int seed) {
    std::visit(
        [&](auto* field) {
            using Field = std::remove_pointer_t<decltype(field)>;
            if constexpr (std::is_same_v<Field, std::string>) {
                *field = "Face " + std::to_string(seed);
            } else if constexpr (std::is_same_v<Field, bool>) {
                *field = !*field;
            } else if constexpr (std::is_same_v<Field, TColor>) {
                *field = seed % 3 == 0 ? 0x80000000u + static_cast<TColor>(seed % 25)
                                       : 0x00102030u + static_cast<TColor>(seed);
            } else if constexpr (std::is_same_v<Field, std::uint16_t>) {
                *field = static_cast<std::uint16_t>(seed % 95);
            } else {
                *field = seed * 7 - 300;  // negative ones too
            }
        },
        option.field(config));
}

}  // namespace kxp
