#include "model/AlmanaryFile.h"

#include <algorithm>
#include <new>
#include <utility>

#include "model/Archive.h"
#include "model/AtomicFile.h"
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

bool readCategories(ArchiveReader& in, CategoryList& categories) {
    std::uint32_t count = 0;
    if (!in.readU32(count, "category count") || !in.checkCount(count, 1, "categories")) {
        return false;
    }
    // The list ends at the first empty name; the names after it are read
    // past but not kept.
    bool ended = false;
    std::string name;
    for (std::uint32_t i = 0; i < count; ++i) {
        in.setRecord("category", std::uint64_t{i} + 1);
        const bool read = in.readText(name, "name");
        in.clearRecord();
        if (!read)
            return false;
        if (name.empty())
            ended = true;
        if (!ended)
            categories.append(std::move(name));
    }
    return true;
}

bool readBody(ArchiveReader& in, const AlmanaryFile::KeepEvent& keep, AlmanaryDocument& document) {
    return AlmanaryFile::readDocumentSettings(in, document.settings) &&
           readCategories(in, document.categories) && in.readText(document.skinName, "skin name") &&
           document.events.read(in, keep);
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
    if (static_cast<unsigned char>(fileBytes[0] ^ kScrambleKey) != kHeaderWord.size())
        return false;
    const auto unscrambled = [](char c) { return static_cast<char>(c ^ kScrambleKey); };
    return std::ranges::equal(fileBytes.substr(1, kHeaderWord.size()), kHeaderWord, {},
                              unscrambled);
}

AlmanaryLoad AlmanaryFile::load(const std::string& path, DateTime now, const KeepEvent& keep) {
    FileContents file = FileReading::readWholeFile(path, FileReading::kNoLimit);
    switch (file.problem) {
        case FileContents::Problem::None: {
            AlmanaryLoad result = parse(std::move(file.bytes), path, now, keep);
            result.stamp = file.stamp;
            return result;
        }
        case FileContents::Problem::Missing:
            return failed(AlmanaryProblem::Kind::Missing, path);
        case FileContents::Problem::CannotOpen:
        case FileContents::Problem::CannotRead:
            break;
    }
    return failed(AlmanaryProblem::Kind::Unreadable, path, std::move(file.reason));
}

AlmanaryLoad AlmanaryFile::parse(std::string fileBytes, const std::string& path, DateTime now,
                                 const KeepEvent& keep) {
    if (!hasHeader(fileBytes))
        return failed(AlmanaryProblem::Kind::NotAlmanary, path);
    scramble(fileBytes, kHeaderSize);
    ArchiveReader in(std::string_view(fileBytes).substr(kHeaderSize));
    AlmanaryLoad result;
    try {
        AlmanaryDocument document;
        if (readBody(in, keep, document)) {
            result.dueReminders = document.events.dueReminders(now);
            result.document = std::move(document);
            return result;
        }
    } catch (const std::bad_alloc&) {
        in.fail("there is not enough memory to hold it");
    }
    return failed(AlmanaryProblem::Kind::Damaged, path, in.error());
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
