#pragma once
// The sample the screenshots show: a week of household events with
// categories, the shipped sample skins with "Harbour" in use, and a
// settings store that reloads the almanary at start.

#include <optional>
#include <string>

#include "model/Calendar.h"

namespace almanary::screenshots {

struct SampleFiles {
    std::string almanaryPath;  // deep inside the folder, so the label must shorten it
    std::string settingsPath;
    std::string skinsFolder;
};

class SampleAlmanary {
public:
    static constexpr const char* kSkinName = "Harbour";

    // The instant the sample is seen at: before every reminder is due.
    static DateTime now();

    // Writes the sample files under `folder` (created when missing); nothing,
    // and the reason in `problem`, when something cannot be written.
    static std::optional<SampleFiles> write(const std::string& folder, std::string& problem);
};

}  // namespace almanary::screenshots
