// The categories command of almanary-cli: list, add, rename and delete
// category names with the rules of the Categories dialog.
#include <utility>

#include "CliDocument.h"
#include "CommandOptions.h"
#include "app/MessageTable.h"
#include "model/CategoryEditor.h"

namespace almanary::cli {
namespace {

// At most one change a call; --events goes with --rename.
struct CategoriesOptions : FileOptions {
    std::optional<std::string> added;
    std::optional<std::pair<std::string, std::string>> renamed;  // old, new
    bool renameEvents = false;
    std::optional<std::string> deleted;

    bool changesAny() const { return added || renamed || deleted; }
};

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

int runCategories(const CategoriesOptions& options, CliContext& context) {
    int status = kDone;
    const auto lock = options.changesAny() ? CliDocument::Lock::Take : CliDocument::Lock::Skip;
    auto opened = CliDocument::openLocked(options.file, options.password, context, status, lock);
    if (!opened)
        return status;
    AlmanaryDocument* document = &opened->document;
    CategoryEditor editor(document->categories);

    if (const auto& added = options.added) {
        if (!accepted(editor.add(*added).problem, context))
            return kRefused;
    } else if (options.renamed) {
        const auto& [oldName, wanted] = *options.renamed;
        const auto index = existing(oldName, editor, context);
        if (!index)
            return kRefused;
        const auto renamed = editor.rename(*index, wanted, CategoryEditor::RenameRule::AsAdd);
        if (!accepted(renamed.problem, context))
            return kRefused;
        const std::string& newName = editor.names()[renamed.index];
        if (options.renameEvents) {
            document->events.renameCategory(oldName, newName);
        } else if (document->events.usesCategory(oldName)) {
            context.err << "Events of the category " << oldName
                        << " keep that name; add --events to rename them too.\n";
        }
    } else if (const auto& deleted = options.deleted) {
        const auto index = existing(*deleted, editor, context);
        if (!index)
            return kRefused;
        editor.remove(*index);
        if (document->events.usesCategory(*deleted))
            context.err << "Events of the category " << *deleted << " keep that name.\n";
    }
    if (options.changesAny()) {
        document->categories = editor.list();
        if (!CliDocument::save(*document, options.file, context))
            return kFileUnusable;
    }
    for (const std::string& name : document->categories.names())
        context.out << name << '\n';
    return kDone;
}

}  // namespace

void defineCategoriesCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command = app.add_subcommand("categories", "List the category names or change one");
    const auto options = optionsFor(*command, work, runCategories);
    addFileOptions(*command, *options, "The almanary whose categories these are");
    CLI::Option* add =
        command->add_option("--add", options->added, "Add a category NAME")->type_name("NAME");
    CLI::Option* rename =
        command->add_option("--rename", options->renamed, "Rename the category OLD to NEW")
            ->type_name("OLD NEW");
    CLI::Option* remove =
        command->add_option("--delete", options->deleted, "Delete the category NAME")
            ->type_name("NAME");
    excludeEachOther({add, rename, remove});
    addFlag(*command, "--events", options->renameEvents, "Rename the events' category too")
        ->needs(rename);
    command->footer(helpFooter({kPasswordNote}));
}

}  // namespace almanary::cli
