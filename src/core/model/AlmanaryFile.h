#pragma once
// Whole almanary files: the plain stream of a document (header word,
// settings, categories, skin name, events), its scrambling, and loading and
// saving with every failure reported as a problem naming the file.
//
// A load is all or nothing: it parses into a fresh document, and the
// caller replaces its own only when the result holds one. The plain stream
// lives only in memory; the file on disk is always the scrambled form,
// written by AtomicFile.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Calendar.h"
#include "model/CategoryList.h"
#include "model/DocumentSettings.h"
#include "model/EventList.h"
#include "model/FileStamp.h"

namespace almanary {

class ArchiveReader;
class ArchiveWriter;

// Everything an almanary file holds.
struct AlmanaryDocument {
    DocumentSettings settings;
    CategoryList categories;
    std::string skinName = "Default";
    EventList events;
};

// What went wrong with an almanary file; the message table words it.
struct AlmanaryProblem {
    enum class Kind {
        Missing,      // there is no such file
        Unreadable,   // it exists but cannot be read (a folder, a device, an I/O error)
        NotAlmanary,  // it does not begin with the header word
        Damaged,      // it ends early or holds impossible values
        CannotWrite,  // a save failed; the file on disk is as it was
    };
    Kind kind = Kind::Damaged;
    std::string path;
    std::string detail;  // the system's reason, or what is damaged; may be empty
};

// The outcome of a load: a document and its due reminders, or a problem.
struct AlmanaryLoad {
    std::optional<AlmanaryDocument> document;
    // How many events the file holds, whether or not the document kept them.
    std::uint32_t eventRecords = 0;
    EventList dueReminders;
    std::optional<AlmanaryProblem> problem;
    // The file as it was when its bytes were read (set whenever they were),
    // so a later save can tell whether someone has changed it since.
    std::optional<FileStamp> stamp;

    bool ok() const { return document.has_value(); }
};

class AlmanaryFile {
public:
    static constexpr std::string_view kHeaderWord = "Almanary";
    static constexpr unsigned char kScrambleKey = 0x6B;
    // The header word with its length byte: the first bytes of every file.
    static constexpr std::size_t kHeaderSize = 9;

    // The unscrambled bytes of a document; an empty skin name is written as
    // "Default". Clears the events' modified flag, unless a value cannot be
    // stored (a date outside 1970-2106): then `problem` (when given) says
    // which, and the flag stays.
    static std::string plainStream(AlmanaryDocument& document, std::string* problem = nullptr);

    // Exclusive-or with the key, in place; its own inverse.
    static void scramble(std::string& bytes, std::size_t from = 0);

    // True when the bytes of a file begin with the header word, scrambled
    // as a file holds it or already unscrambled.
    static bool hasHeader(std::string_view fileBytes);
    static bool hasPlainHeader(std::string_view plainBytes);

    // The six settings saved in the file, in file order. Reading changes
    // only those six; loadOnStart and shareName keep their values.
    static void writeDocumentSettings(ArchiveWriter& out, const DocumentSettings& settings);
    static bool readDocumentSettings(ArchiveReader& in, DocumentSettings& settings);

    // `keep` decides, record by record while reading, which events the
    // loaded document holds (all when it is empty); the others are read
    // past, never built.
    //
    // Reads the file at `path` as parse() reads bytes, a window of
    // `windowSize` bytes at a time, so a filtered load of a huge file holds
    // little more than what it keeps. Problems: Missing (the file cannot be
    // opened), Unreadable (no ordinary file, or a read failed), NotAlmanary,
    // Damaged.
    static AlmanaryLoad load(const std::string& path, DateTime now, const RecordFilter& keep = {},
                             std::size_t windowSize = kLoadWindow);
    static constexpr std::size_t kLoadWindow = std::size_t{1} << 20;

    // Parses the bytes of a file; `path` only names it in messages. The
    // bytes are unscrambled in place, so pass them by move to keep one copy.
    // The due reminders are those of the kept events at `now`; bytes after
    // the last event record are ignored.
    static AlmanaryLoad parse(std::string fileBytes, const std::string& path, DateTime now,
                              const RecordFilter& keep = {});

    // Writes the scrambled document to `path` with AtomicFile. On success
    // the events' modified flag is clear and `written` (when given) holds
    // the stamp of the file as written; on failure (CannotWrite, naming the
    // system's reason) the file on disk and the flag are as they were.
    static std::optional<AlmanaryProblem> save(AlmanaryDocument& document, const std::string& path,
                                               FileStamp* written = nullptr);
};

}  // namespace almanary
