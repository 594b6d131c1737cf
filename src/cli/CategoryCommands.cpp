// The categories command of almanary-cli: list, add, rename and delete
// category names with the rules of the Categories dialog.
#include <utility>

#include "CliDocument.h"
#include "CommandLine.h"
#include "Commands.h"
#include "app/MessageTable.h"
#include "model/CategoryEditor.h"

namespace almanary::cli {
namespace {

// Says why a change was refused; false when it was.
bool accepted(CategoryEditor::Problem problem, CliContext& context) {
    switch (problem) {
        case CategoryEditor::Problem::None:
            return true;
        case CategoryEditor::Problem::Unnamed:
            context.err << MessageTable::format(MessageId::NameCategory) << '\n';
            break;
        case CategoryEditor::Problem::NotUnique:
            context.err << MessageTable::format(MessageId::CategoryNotUnique) << '\n';
            break;
        case CategoryEditor::Problem::TooLong:
            context.err << "A category name has at most " << CategoryEditor::kMaxLength
                        << " characters.\n";
            break;
        case CategoryEditor::Problem::RenamedToNone:
            context.err << MessageTable::format(MessageId::UseDeleteButton) << '\n';
            break;
    }
    return false;
}

std::optional<std::size_t> existing(const std::string& name, const CategoryEditor& editor,
                                    CliContext& context) {
    const auto index = editor.indexOf(name);
    if (!index)
        context.err << "There is no category named " << name << ".\n";
    return index;
}

}  // namespace

int runCategories(const Words& words, CliContext& context) {
    int status = kDone;
    const auto line = parseOrReport(
        words, {{"--add"}, {"--rename", 2}, {"--events", 0}, {"--delete"}, {"--password"}}, context,
        status);
    if (!line)
        return status;
    if (line->countOf({"--add", "--rename", "--delete"}) > 1) {
        return usageError(context, "give at most one of --add, --rename and --delete");
    }
    if (line->has("--events") && !line->has("--rename")) {
        return usageError(context, "--events goes with --rename");
    }
    auto document = CliDocument::open(line->file(), line->value("--password"), context, status);
    if (!document)
        return status;
    CategoryEditor editor(document->categories);

    if (const auto added = line->value("--add")) {
        if (!accepted(editor.add(*added).problem, context))
            return kRefused;
    } else if (line->has("--rename")) {
        const std::string oldName = line->values("--rename")[0];
        const auto index = existing(oldName, editor, context);
        if (!index)
            return kRefused;
        const auto renamed =
            editor.rename(*index, line->values("--rename")[1], CategoryEditor::RenameRule::AsAdd);
        if (!accepted(renamed.problem, context))
            return kRefused;
        const std::string& newName = editor.names()[renamed.index];
        if (line->has("--events")) {
            document->events.renameCategory(oldName, newName);
        } else if (document->events.usesCategory(oldName)) {
            context.err << "Events of the category " << oldName
                        << " keep that name; add --events to rename them too.\n";
        }
    } else if (const auto deleted = line->value("--delete")) {
        const auto index = existing(*deleted, editor, context);
        if (!index)
            return kRefused;
        editor.remove(*index);
        if (document->events.usesCategory(*deleted))
            context.err << "Events of the category " << *deleted << " keep that name.\n";
    }
    const bool changing = line->countOf({"--add", "--rename", "--delete"}) > 0;
    if (changing) {
        document->categories = editor.list();
        if (!CliDocument::save(*document, line->file(), context))
            return kFileUnusable;
    }
    for (const std::string& name : document->categories.names())
        context.out << name << '\n';
    return kDone;
}

}  // namespace almanary::cli
