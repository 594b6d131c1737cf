#include "model/AlmanaryFile.h"

#include <cerrno>
#include <new>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/MessageTable.h"
#include "model/Archive.h"
#include "model/AtomicFile.h"
#include "model/EventListIo.h"

namespace almanary {
namespace {

constexpr const char* kDefaultSkin = "Default";

std::size_t TextSize(std::string_view text) {
    const std::size_t prefix = text.size() < 0xFF ? 1 : text.size() < 0xFFFE ? 3 : 7;
    return prefix + text.size();
}

// The exact length of the plain stream, so it is built without regrowing.
std::size_t PlainStreamSize(const AlmanaryDocument& document, std::string_view skinName) {
    const DocumentSettings& s = document.settings;
    std::size_t size = TextSize(AlmanaryFile::kHeaderWord) + 4 * 4 + TextSize(s.soundFile) +
                       TextSize(s.password) + 4 + TextSize(skinName) + 4;
    for (const std::string& name : document.categories.names())
        size += TextSize(name);
    document.events.ForEach([&size](const Event& e) {
        size += 4 + TextSize(e.hour()) + TextSize(e.minute()) + TextSize(e.duration()) +
                TextSize(e.notes()) + TextSize(e.category()) + 4 + 4;
    });
    return size;
}

// A problem told by message `id`, filled with the file's path and, when
// given, the reason.
AlmanaryProblem Problem(AlmanaryProblem::Kind kind, int id, const std::string& path,
                        const std::optional<std::string>& reason = std::nullopt) {
    AlmanaryProblem problem;
    problem.kind = kind;
    problem.messageId = id;
    problem.message =
        reason ? MessageTable::Format(id, {path, *reason}) : MessageTable::Format(id, {path});
    problem.arguments.push_back(path);
    if (reason)
        problem.arguments.push_back(*reason);
    return problem;
}

AlmanaryLoad Failed(AlmanaryProblem problem) {
    AlmanaryLoad result;
    result.problem = std::move(problem);
    return result;
}

std::string SystemReason(int error) {
    return std::generic_category().message(error);
}

// The whole file in one string, or the reason it cannot be read.
std::optional<std::string> ReadWholeFile(int fd, std::string& bytes) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return SystemReason(errno);
    if (S_ISDIR(info.st_mode))
        return "it is a folder";
    if (!S_ISREG(info.st_mode))
        return "it is not an ordinary file";  // a pipe or device could never end
    try {
        // One byte more than the size, so the read that meets the end needs
        // no room of its own; the string regrows only if the file grew.
        bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
        std::size_t done = 0;
        for (;;) {
            if (done == bytes.size())
                bytes.resize(done + done / 2 + 65536);
            const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return SystemReason(errno);
            if (got == 0)
                break;
            done += static_cast<std::size_t>(got);
        }
        bytes.resize(done);
    } catch (const std::bad_alloc&) {
        return "there is not enough memory to read it";
    }
    return std::nullopt;
}

bool ReadCategories(ArchiveReader& in, CategoryList& categories) {
    std::uint32_t count = 0;
    if (!in.ReadU32(count, "category count") || !in.CheckCount(count, 1, "categories")) {
        return false;
    }
    // The list ends at the first empty name; the names after it are read
    // past but not kept.
    bool ended = false;
    std::string name;
    for (std::uint32_t i = 0; i < count; ++i) {
        in.SetRecord("category", std::uint64_t{i} + 1);
        const bool read = in.ReadText(name, "name");
        in.ClearRecord();
        if (!read)
            return false;
        if (name.empty())
            ended = true;
        if (!ended)
            categories.Append(std::move(name));
    }
    return true;
}

// Reads the records one at a time and keeps those `keep` accepts, so a
// filtered load never holds the events it drops.
bool ReadKeptEvents(ArchiveReader& in, const AlmanaryFile::KeepEvent& keep, EventList& events) {
    std::uint32_t count = 0;
    if (!in.ReadU32(count, "event count") ||
        !in.CheckCount(count, kSmallestEventRecord, "events")) {
        return false;
    }
    EventList kept;
    for (std::uint32_t i = 0; i < count; ++i) {
        Event event;
        if (!ReadEvent(in, event, std::uint64_t{i} + 1))
            return false;
        if (keep(event) && !kept.Insert(std::move(event))) {
            in.Fail("there is not enough memory for its events");
            return false;
        }
    }
    kept.SetModified(false);
    events = std::move(kept);
    return true;
}

bool ReadBody(ArchiveReader& in, DateTime now, const AlmanaryFile::KeepEvent& keep,
              AlmanaryDocument& document, EventQuery& due) {
    if (!AlmanaryFile::ReadDocumentSettings(in, document.settings))
        return false;
    if (!ReadCategories(in, document.categories))
        return false;
    if (!in.ReadText(document.skinName, "skin name"))
        return false;
    if (keep) {
        if (!ReadKeptEvents(in, keep, document.events))
            return false;
        due = document.events.DueReminders(now);
        return true;
    }
    std::optional<EventQuery> read = document.events.Read(in, now);
    if (!read)
        return false;
    due = std::move(*read);
    return true;
}

}  // namespace

void AlmanaryFile::WriteDocumentSettings(ArchiveWriter& out, const DocumentSettings& settings) {
    out.WriteBool(settings.autosave);
    out.WriteI32(settings.autosaveMinutes);
    out.WriteBool(settings.playSound);
    out.WriteText(settings.soundFile);
    out.WriteText(settings.password);
    out.WriteBool(settings.twelveHourClock);
}

bool AlmanaryFile::ReadDocumentSettings(ArchiveReader& in, DocumentSettings& settings) {
    DocumentSettings read = settings;
    if (!in.ReadBool(read.autosave, "autosave setting") ||
        !in.ReadI32(read.autosaveMinutes, "autosave interval") ||
        !in.ReadBool(read.playSound, "sound setting") ||
        !in.ReadText(read.soundFile, "sound file name") ||
        !in.ReadText(read.password, "password") ||
        !in.ReadBool(read.twelveHourClock, "clock setting")) {
        return false;
    }
    settings = std::move(read);
    return true;
}

std::string AlmanaryFile::PlainStream(AlmanaryDocument& document, std::string* problem) {
    const std::string_view skinName =
        document.skinName.empty() ? std::string_view(kDefaultSkin) : document.skinName;
    ArchiveWriter out;
    out.reserve(PlainStreamSize(document, skinName));
    out.WriteText(kHeaderWord);
    WriteDocumentSettings(out, document.settings);
    out.WriteU32(static_cast<std::uint32_t>(document.categories.size()));
    for (const std::string& name : document.categories.names())
        out.WriteText(name);
    out.WriteText(skinName);
    document.events.Write(out);  // clears modified when all could be stored
    if (problem != nullptr)
        *problem = out.error();
    return out.take();
}

void AlmanaryFile::Scramble(std::string& bytes, std::size_t from) {
    for (std::size_t i = from; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ kScrambleKey);
}

bool AlmanaryFile::HasHeader(std::string_view fileBytes) {
    if (fileBytes.size() < kHeaderSize)
        return false;
    if (static_cast<unsigned char>(fileBytes[0] ^ kScrambleKey) != kHeaderWord.size())
        return false;
    for (std::size_t i = 0; i < kHeaderWord.size(); ++i) {
        if (static_cast<char>(fileBytes[i + 1] ^ kScrambleKey) != kHeaderWord[i])
            return false;
    }
    return true;
}

AlmanaryLoad AlmanaryFile::Load(const std::string& path, DateTime now, const KeepEvent& keep) {
    // Non-blocking, so opening a named pipe cannot hang; such a file is then
    // refused, and reads of an ordinary file are not affected.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return Failed(Problem(AlmanaryProblem::Kind::CannotOpen, MessageId::kFileNotFound, path));
    }
    std::string bytes;
    const std::optional<std::string> unreadable = ReadWholeFile(fd, bytes);
    ::close(fd);
    if (unreadable) {
        return Failed(Problem(AlmanaryProblem::Kind::CannotOpen, MessageId::kFileUnreadable, path,
                              unreadable));
    }
    return Parse(std::move(bytes), path, now, keep);
}

AlmanaryLoad AlmanaryFile::Parse(std::string fileBytes, const std::string& path, DateTime now,
                                 const KeepEvent& keep) {
    if (!HasHeader(fileBytes)) {
        return Failed(Problem(AlmanaryProblem::Kind::NotAlmanary, MessageId::kNotAlmanary, path));
    }
    Scramble(fileBytes, kHeaderSize);
    ArchiveReader in(std::string_view(fileBytes).substr(kHeaderSize));
    AlmanaryLoad result;
    try {
        AlmanaryDocument document;
        if (ReadBody(in, now, keep, document, result.dueReminders)) {
            result.document = std::move(document);
            return result;
        }
    } catch (const std::bad_alloc&) {
        in.Fail("there is not enough memory to hold it");
    }
    return Failed(
        Problem(AlmanaryProblem::Kind::Damaged, MessageId::kFileDamaged, path, in.error()));
}

std::optional<AlmanaryProblem> AlmanaryFile::Save(AlmanaryDocument& document,
                                                  const std::string& path) {
    const bool wasModified = document.events.IsModified();
    std::optional<std::string> reason;
    try {
        std::string problem;
        std::string bytes = PlainStream(document, &problem);
        if (problem.empty()) {
            Scramble(bytes);
            reason = AtomicFile::Write(path, bytes);
        } else {
            reason = std::move(problem);
        }
    } catch (const std::bad_alloc&) {
        reason = "there is not enough memory to build the file";
    }
    if (!reason)
        return std::nullopt;
    document.events.SetModified(wasModified);
    return Problem(AlmanaryProblem::Kind::CannotWrite, MessageId::kSaveFailed, path, reason);
}

}  // namespace almanary
