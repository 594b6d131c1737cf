// The almanary reader on any bytes. A file it accepts must survive a save:
// written again and read back, it is the same document field by field.
// Read from a file a few bytes at a time, the same bytes give the same
// outcome as read whole.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "model/AlmanaryFile.h"

namespace {

using almanary::AlmanaryDocument;
using almanary::AlmanaryFile;
using almanary::AlmanaryLoad;
using almanary::Event;
using almanary::fuzz::require;

bool sameEvent(const Event& a, const Event& b) {
    return a.date() == b.date() && a.hour() == b.hour() && a.minute() == b.minute() &&
           a.duration() == b.duration() && a.notes() == b.notes() && a.category() == b.category() &&
           a.remind() == b.remind() && a.remindMinutes() == b.remindMinutes() && a.key() == b.key();
}

void requireSameEvents(const AlmanaryDocument& read, const AlmanaryDocument& again) {
    require(read.events.count() == again.events.count(), "the event count changed");
    for (int i = 0; i < read.events.count(); ++i)
        require(sameEvent(read.events.at(i), again.events.at(i)), "an event changed");
}

// The input as a file in memory, read through its /proc name with a
// window of 16 bytes: its outcome must be the whole read's.
void requireSameWindowed(const std::string& input, const AlmanaryLoad& whole) {
    static const int fd = ::memfd_create("input.alm", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    require(fd >= 0 && ::ftruncate(fd, 0) == 0 &&
                ::pwrite(fd, input.data(), input.size(), 0) == static_cast<ssize_t>(input.size()),
            "the input cannot be put in a file");
    const AlmanaryLoad windowed = AlmanaryFile::load(path, almanary::fuzz::kNow, {}, 16);
    require(windowed.ok() == whole.ok(), "read in windows, the file has another outcome");
    if (!whole.ok()) {
        require(windowed.problem->kind == whole.problem->kind &&
                    windowed.problem->detail == whole.problem->detail,
                "read in windows, the file has another problem");
        return;
    }
    requireSameEvents(*whole.document, *windowed.document);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    almanary::fuzz::useFixedZone();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    AlmanaryLoad first = AlmanaryFile::parse(input, "input.alm", almanary::fuzz::kNow);
    requireSameWindowed(input, first);
    if (!first.ok()) {
        require(first.problem.has_value(), "a refused file without a problem");
        return 0;
    }
    AlmanaryDocument& read = *first.document;
    std::string problem;
    std::string bytes = AlmanaryFile::plainStream(read, &problem);
    require(problem.empty(), "a document that was read cannot be written");
    AlmanaryFile::scramble(bytes);
    AlmanaryLoad second = AlmanaryFile::parse(std::move(bytes), "again.alm", almanary::fuzz::kNow);
    require(second.ok(), "a written document cannot be read back");
    const AlmanaryDocument& again = *second.document;

    require(read.settings == again.settings, "the settings changed");
    require(read.categories == again.categories, "the categories changed");
    const std::string skin = read.skinName.empty() ? "Default" : read.skinName;
    require(skin == again.skinName, "the skin name changed");
    requireSameEvents(read, again);
    require(first.dueReminders.count() == second.dueReminders.count(), "the due reminders changed");
    return 0;
}
