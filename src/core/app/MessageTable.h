#pragma once
// The program's messages by id, with their icon and buttons. Every window
// and the command-line program take their texts from here.

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
inline constexpr int kAboutMenuItem = 101;
inline constexpr int kSkinInvalid = 102;
inline constexpr int kSocketsFailed = 103;
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
inline constexpr int kConflictsResolved = 114;
inline constexpr int kConflictsFound = 115;
inline constexpr int kUnsavedChanges = 116;
inline constexpr int kDefaultSkinReadOnly = 117;
inline constexpr int kSkinLoadError = 118;
inline constexpr int kSkinSaveError = 119;
inline constexpr int kSkinNameRequired = 120;
inline constexpr int kOverwriteSkin = 121;
inline constexpr int kDeleteEvent = 122;
inline constexpr int kOverwriteAlmanary = 123;
inline constexpr int kFileNotFound = 124;
inline constexpr int kUnsavedSkinOnOk = 125;
inline constexpr int kBackgroundMissing = 126;
inline constexpr int kPasswordRequired = 127;
inline constexpr int kShareNameRequired = 128;
inline constexpr int kSaveBeforeSharing = 129;
inline constexpr int kSendUnsavedChanges = 130;
inline constexpr int kUnsavedSkinOnApply = 131;
inline constexpr int kShareNameTaken = 132;
inline constexpr int kServerRequired = 133;
inline constexpr int kShareNameForTransfer = 134;
inline constexpr int kCannotConnect = 135;
inline constexpr int kShareNotFound = 136;
inline constexpr int kSharedFileMissing = 137;
inline constexpr int kSaveBeforeSending = 138;
inline constexpr int kCannotOpenToSend = 139;
inline constexpr int kSent = 140;
inline constexpr int kInvalidShareName = 141;
inline constexpr int kFatalError = 142;
inline constexpr int kWrongPassword = 143;
inline constexpr int kSoundMissing = 144;
inline constexpr int kSoundMissingOnOk = 145;
inline constexpr int kDiscardInput = 146;
inline constexpr int kStartTakenEdit = 147;
inline constexpr int kReplaceOpenShare = 148;
inline constexpr int kFileDamaged = 200;
inline constexpr int kSaveFailed = 201;
inline constexpr int kDateOutOfRange = 202;
inline constexpr int kFileUnreadable = 203;
inline constexpr int kEnterInteger = 204;
inline constexpr int kEnterIntegerBetween = 205;
inline constexpr int kTooManyCharacters = 206;
inline constexpr int kAppTitle = 57344;
}  // namespace MessageId

namespace MessageTable {

// The message with that id; an unknown id is a programming error and
// yields a stand-in whose id is 0 and whose text says so.
const Message& find(int id);

// Every message, in the order of the table.
std::span<const Message> all();

// The text of message `id` with "%1", "%2", ... replaced by the arguments.
std::string format(int id, std::initializer_list<std::string_view> args = {});

// The same with arguments gathered at run time (the windows' prompter).
std::string formatWith(int id, const std::vector<std::string>& args);

// Replaces "%1", "%2", ... in any text. A number without an argument stays
// as it is.
std::string fill(std::string_view text, std::initializer_list<std::string_view> args);
std::string fill(std::string_view text, std::span<const std::string_view> args);

}  // namespace MessageTable
}  // namespace almanary
