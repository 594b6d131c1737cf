#pragma once
// The program's messages by id, with their icon and buttons. Every window
// and the command-line program take their texts from here.

#include <initializer_list>
#include <string>
#include <string_view>

namespace almanary {

enum class MessageIcon { None, Information, Exclamation, Question, Stop };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

struct Message {
    int id;
    MessageIcon icon;
    MessageButtons buttons;
    const char* text;
};

namespace MessageId {
inline constexpr int kSkinInvalid = 102;
inline constexpr int kRenameCategoryEvents = 104;
inline constexpr int kSelectCategoryToRename = 105;
inline constexpr int kUseDeleteButton = 106;
inline constexpr int kCategoryInUse = 107;
inline constexpr int kSelectCategoryToDelete = 108;
inline constexpr int kNameCategory = 109;
inline constexpr int kCategoryNotUnique = 110;
inline constexpr int kNotAlmanary = 111;
inline constexpr int kNotesRequired = 112;
inline constexpr int kStartTaken = 113;
inline constexpr int kConflictsFound = 115;
inline constexpr int kUnsavedChanges = 116;
inline constexpr int kOverwriteAlmanary = 123;
inline constexpr int kFileNotFound = 124;
inline constexpr int kBackgroundMissing = 126;
inline constexpr int kWrongPassword = 143;
inline constexpr int kSoundMissing = 144;
inline constexpr int kDiscardInput = 146;
inline constexpr int kStartTakenEdit = 147;
inline constexpr int kFileDamaged = 200;
inline constexpr int kSaveFailed = 201;
inline constexpr int kDateOutOfRange = 202;
inline constexpr int kFileUnreadable = 203;
}  // namespace MessageId

namespace MessageTable {

// The message with that id; an unknown id is a programming error and
// yields a message whose text names the id.
const Message& Find(int id);

// The text of message `id` with "%1", "%2", ... replaced by the arguments.
std::string Format(int id, std::initializer_list<std::string_view> args = {});

// Replaces "%1", "%2", ... in any text.
std::string Fill(std::string_view text, std::initializer_list<std::string_view> args);

}  // namespace MessageTable
}  // namespace almanary
