#pragma once
// The autosave interval as the user types it: a whole number of minutes from
// 1 to 60, optionally between spaces or tabs. The Options dialog and the CLI
// both check it here.

#include <cstdint>
#include <optional>
#include <string_view>

#include "app/MessageTable.h"

namespace almanary {

class AutosaveMinutes {
public:
    static constexpr std::int32_t kFewest = 1;
    static constexpr std::int32_t kMost = 60;

    struct Reading {
        std::optional<std::int32_t> number;  // the whole number typed, in range or not
        std::optional<Notice> problem;       // why it cannot be taken; none when it can
    };

    static Reading read(std::string_view text);
};

}  // namespace almanary
