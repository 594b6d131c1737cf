#pragma once
// What the program keeps when it must end with unsaved changes and cannot
// ask about them (a signal, the end of a desktop session that allows no
// questions): a copy of the open almanary, readable by its owner only, and
// the path of the file it belongs to. The next start offers it back.

#include <optional>
#include <string>

#include "model/AlmanaryFile.h"

namespace almanary {

class RecoveryFile {
public:
    // The copy and its origin live in `folder` (AppPaths::recoveryFolder()).
    explicit RecoveryFile(std::string folder) : folder_(std::move(folder)) {}

    // Keeps a copy of `document`, which came from `originalPath` (empty for
    // a document never saved); the reason when it cannot be kept.
    std::optional<std::string> write(const AlmanaryDocument& document,
                                     const std::string& originalPath) const;

    struct Kept {
        std::string copyPath;      // the almanary to load
        std::string originalPath;  // where it belongs; may be empty
    };
    // The copy a previous run kept, when there is one.
    std::optional<Kept> find() const;
    // Forgets the copy (after it was restored or declined).
    void discard() const;

private:
    std::string copyPath() const;
    std::string originPath() const;

    std::string folder_;
};

}  // namespace almanary
