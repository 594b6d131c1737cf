#include "model/AlmanaryFile.h"

#include <algorithm>
#include <new>
#include <utility>

#include "model/Archive.h"
#include "model/AtomicFile.h"
#include "model/EventListIo.h"
#include "model/FileReading.h"

namespace almanary {
namespace {

constexpr const char* kDefaultSkin = "Default";

std::size_t textSize(std::string_view text) {
    const std::size_t prefix = text.size() < 0xFF ? 1 : text.size() < 0xFFFE ? 3 : 7;
    return prefix + text.size();
}

// The exact length of the plain stream, so it is built without regrowing.
std::size_t plainStreamSize(const AlmanaryDocument& document, std::string_view skinName) {
    const DocumentSettings& s = document.settings;
    std::size_t size = textSize(AlmanaryFile::kHeaderWord) + 4 * 4 + textSize(s.soundFile) +
                       textSize(s.password) + 4 + textSize(skinName) + 4;
    for (const std::string& name : document.categories.names())
        size += textSize(name);
    document.events.forEach([&size](const Event& e) {
        size += 4 + textSize(e.hour()) + textSize(e.minute()) + textSize(e.duration()) +
                textSize(e.notes()) + textSize(e.category()) + 4 + 4;
    });
    return size;
}

AlmanaryLoad failed(AlmanaryProblem::Kind kind, const std::string& path, std::string detail = {}) {
    AlmanaryLoad result;
    result.problem = AlmanaryProblem{kind, path, std::move(detail)};
    return result;
}

bool readCategories(ArchiveStream& stream, CategoryList& categories) {
    std::uint32_t count = 0;
    if (!stream.readItem([&](ArchiveReader& in) { return in.readU32(count, "category count"); }) ||
        !stream.reader().checkCount(count, 1, "categories")) {
        return false;
    }
    // The list ends at the first empty name; the names after it are read
    // past but not kept.
    bool ended = false;
    std::string name;
    for (std::uint32_t i = 0; i < count; ++i) {
        const bool read = stream.readItem([&](ArchiveReader& in) {
            in.setRecord("category", std::uint64_t{i} + 1);
            const bool done = in.readText(name, "name");
            in.clearRecord();
            return done;
        });
        if (!read)
            return false;
        if (name.empty())
            ended = true;
        if (!ended)
            categories.append(std::move(name));
    }
    return true;
}

// The body after the header word, read into `result`: its document, or the
// reason the stream's reader gives.
bool readBody(ArchiveStream& stream, const RecordFilter& keep, AlmanaryLoad& result) {
    AlmanaryDocument document;
    const auto settings = [&](ArchiveReader& in) {
        return AlmanaryFile::readDocumentSettings(in, document.settings);
    };
    const auto skin = [&](ArchiveReader& in) {
        return in.readText(document.skinName, "skin name");
    };
    if (!stream.readItem(settings) || !readCategories(stream, document.categories) ||
        !stream.readItem(skin) || !document.events.read(stream, keep, &result.eventRecords)) {
        return false;
    }
    result.document = std::move(document);
    return true;
}

// Reads the body from `stream`; the problem of a damaged file names `path`.
AlmanaryLoad parseBody(ArchiveStream& stream, const std::string& path, DateTime now,
                       const RecordFilter& keep) {
    AlmanaryLoad result;
    try {
        if (readBody(stream, keep, result)) {
            result.dueReminders = result.document->events.dueReminders(now);
            return result;
        }
    } catch (const std::bad_alloc&) {
        stream.reader().fail("there is not enough memory to hold it");
    }
    return failed(AlmanaryProblem::Kind::Damaged, path, stream.reader().error());
}

void unscramble(char* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ AlmanaryFile::kScrambleKey);
}

}  // namespace

void AlmanaryFile::writeDocumentSettings(ArchiveWriter& out, const DocumentSettings& settings) {
    out.writeBool(settings.autosave);
    out.writeI32(settings.autosaveMinutes);
    out.writeBool(settings.playSound);
    out.writeText(settings.soundFile);
    out.writeText(settings.password);
    out.writeBool(settings.twelveHourClock);
}

bool AlmanaryFile::readDocumentSettings(ArchiveReader& in, DocumentSettings& settings) {
    DocumentSettings read = settings;
    if (!in.readBool(read.autosave, "autosave setting") ||
        !in.readI32(read.autosaveMinutes, "autosave interval") ||
        !in.readBool(read.playSound, "sound setting") ||
        !in.readText(read.soundFile, "sound file name") ||
        !in.readText(read.password, "password") ||
        !in.readBool(read.twelveHourClock, "clock setting")) {
        return false;
    }
    settings = std::move(read);
    return true;
}

std::string AlmanaryFile::plainStream(AlmanaryDocument& document, std::string* problem) {
    const std::string_view skinName =
        document.skinName.empty() ? std::string_view(kDefaultSkin) : document.skinName;
    ArchiveWriter out;
    out.reserve(plainStreamSize(document, skinName));
    out.writeText(kHeaderWord);
    writeDocumentSettings(out, document.settings);
    out.writeU32(static_cast<std::uint32_t>(document.categories.size()));
    for (const std::string& name : document.categories.names())
        out.writeText(name);
    out.writeText(skinName);
    document.events.write(out);  // clears modified when all could be stored
    if (problem != nullptr)
        *problem = out.error();
    return out.take();
}

void AlmanaryFile::scramble(std::string& bytes, std::size_t from) {
    for (std::size_t i = from; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ kScrambleKey);
}

bool AlmanaryFile::hasHeader(std::string_view fileBytes) {
    if (fileBytes.size() < kHeaderSize)
        return false;
    std::string plain(fileBytes.substr(0, kHeaderSize));
    scramble(plain);
    return hasPlainHeader(plain);
}

bool AlmanaryFile::hasPlainHeader(std::string_view plainBytes) {
    return plainBytes.size() >= kHeaderSize &&
           static_cast<unsigned char>(plainBytes[0]) == kHeaderWord.size() &&
           plainBytes.substr(1, kHeaderWord.size()) == kHeaderWord;
}

AlmanaryLoad AlmanaryFile::load(const std::string& path, DateTime now, const RecordFilter& keep,
                                std::size_t windowSize) {
    FileWindow window(path, unscramble, std::max(windowSize, kHeaderSize));
    AlmanaryLoad result;
    if (window.problem() == FileContents::Problem::None) {
        if (!hasPlainHeader(window.view()))
            return failed(AlmanaryProblem::Kind::NotAlmanary, path);
        std::size_t base = kHeaderSize;  // where the reader's view starts in the window
        ArchiveStream stream(
            {window.view().substr(base), window.bytesAfter()},
            [&window, &base](std::size_t keepFrom) -> std::optional<ArchiveStream::Window> {
                if (!window.advance(base + keepFrom))
                    return std::nullopt;
                base = 0;
                return ArchiveStream::Window{window.view(), window.bytesAfter()};
            });
        result = parseBody(stream, path, now, keep);
    }
    switch (window.problem()) {
        case FileContents::Problem::None:
            result.stamp = window.stamp();
            return result;
        case FileContents::Problem::Missing:
            return failed(AlmanaryProblem::Kind::Missing, path);
        case FileContents::Problem::CannotOpen:
        case FileContents::Problem::CannotRead:
            break;
    }
    return failed(AlmanaryProblem::Kind::Unreadable, path, window.reason());
}

AlmanaryLoad AlmanaryFile::parse(std::string fileBytes, const std::string& path, DateTime now,
                                 const RecordFilter& keep) {
    if (!hasHeader(fileBytes))
        return failed(AlmanaryProblem::Kind::NotAlmanary, path);
    scramble(fileBytes, kHeaderSize);
    ArchiveStream stream(std::string_view(fileBytes).substr(kHeaderSize));
    return parseBody(stream, path, now, keep);
}

std::optional<AlmanaryProblem> AlmanaryFile::save(AlmanaryDocument& document,
                                                  const std::string& path, FileStamp* written) {
    const bool wasModified = document.events.isModified();
    std::optional<std::string> reason;
    try {
        std::string problem;
        std::string bytes = plainStream(document, &problem);
        if (problem.empty()) {
            scramble(bytes);
            reason = AtomicFile::write(path, bytes, written);
        } else {
            reason = std::move(problem);
        }
    } catch (const std::bad_alloc&) {
        reason = "there is not enough memory to build the file";
    }
    if (!reason)
        return std::nullopt;
    document.events.setModified(wasModified);
    return AlmanaryProblem{AlmanaryProblem::Kind::CannotWrite, path, std::move(*reason)};
}

}  // namespace almanary
