// almanary-generate COUNT FILE.alm [FILE.rem]: writes the generator's
// events as an almanary and, when asked, the same events as a remind file,
// so whole programs can be timed side by side on identical data.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "AlmanaryGenerator.h"

namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// One REM line: the same date, start and notes. No DURATION: with one,
// remind also lists on a day the events still running from the day before,
// and the two programs would no longer answer with the same events.
void writeRemindLine(std::ofstream& out, const almanary::Event& event) {
    const almanary::StartKey& key = event.key();
    char line[64];
    std::snprintf(line, sizeof line, "REM %d %s %d AT %d:%02d MSG ", key.day,
                  kMonths[key.month - 1], key.year, key.hour, key.minute);
    out << line << event.notes() << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s COUNT FILE.alm [FILE.rem]\n", argv[0]);
        return 1;
    }
    const auto count = static_cast<std::size_t>(std::strtoull(argv[1], nullptr, 10));
    almanary::AlmanaryDocument document = almanary::bench::generateAlmanary(count);
    if (const auto problem = almanary::AlmanaryFile::save(document, argv[2])) {
        std::fprintf(stderr, "%s: %s\n", argv[2], problem->detail.c_str());
        return 1;
    }
    if (argc == 4) {
        std::ofstream out(argv[3]);
        document.events.forEach([&out](const almanary::Event& e) { writeRemindLine(out, e); });
        if (!out.flush()) {
            std::fprintf(stderr, "%s cannot be written\n", argv[3]);
            return 1;
        }
    }
    return 0;
}
