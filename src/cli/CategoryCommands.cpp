// The categories command of almanary-cli: list, add, rename and delete
// category names with the rules of the Categories dialog.
#include <utility>

#include "CliDocument.h"
#include "CommandLine.h"
#include "Commands.h"
#include "app/MessageTable.h"
#include "model/AsciiText.h"
#include "model/CategoryRules.h"
#include "model/EventChoices.h"

namespace almanary::cli {
namespace {

// A name the list may take in place of `replacing` (empty for an add):
// the shared rules, and at most 20 characters.
bool checkNewName(const std::string& name, const CategoryList& list, const std::string& replacing,
                  CliContext& context) {
    switch (CategoryRules::checkNewName(name, list.names(), replacing)) {
        case CategoryRules::NameProblem::Unnamed:
            context.err << MessageTable::format(MessageId::kNameCategory) << '\n';
            return false;
        case CategoryRules::NameProblem::NotUnique:
            context.err << MessageTable::format(MessageId::kCategoryNotUnique) << '\n';
            return false;
        case CategoryRules::NameProblem::None:
            break;
    }
    if (CategoryRules::characterCount(name) > EventChoices::kMaxCategoryLength) {
        context.err << "A category name has at most " << EventChoices::kMaxCategoryLength
                    << " characters.\n";
        return false;
    }
    return true;
}

// The list with `remove` taken out and `add` put in, in the sorted order
// the Categories dialog keeps.
CategoryList rebuilt(const CategoryList& list, const std::string& remove, const std::string& add) {
    std::vector<std::string> names;
    for (const std::string& name : list.names()) {
        if (name != remove)
            names.push_back(name);
    }
    if (!add.empty())
        names.push_back(add);
    return CategoryList(CategoryRules::sorted(std::move(names)));
}

bool checkExisting(const std::string& name, const CategoryList& list, CliContext& context) {
    if (list.contains(name))
        return true;
    context.err << "There is no category named " << name << ".\n";
    return false;
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
    CategoryList& list = document->categories;

    if (const auto added = line->value("--add")) {
        const std::string name = AsciiText::trimmed(*added);
        if (!checkNewName(name, list, {}, context))
            return kRefused;
        list = rebuilt(list, {}, name);
    } else if (line->has("--rename")) {
        const std::string oldName = line->values("--rename")[0];
        const std::string newName = AsciiText::trimmed(line->values("--rename")[1]);
        if (!checkExisting(oldName, list, context))
            return kRefused;
        if (newName.empty()) {
            context.err << MessageTable::format(MessageId::kUseDeleteButton) << '\n';
            return kRefused;
        }
        if (!checkNewName(newName, list, oldName, context))
            return kRefused;
        list = rebuilt(list, oldName, newName);
        if (line->has("--events")) {
            document->events.renameCategory(oldName, newName);
        } else if (document->events.eventsInCategory(oldName, true).found) {
            context.err << "Events of the category " << oldName
                        << " keep that name; add --events to rename them too.\n";
        }
    } else if (const auto deleted = line->value("--delete")) {
        if (!checkExisting(*deleted, list, context))
            return kRefused;
        list = rebuilt(list, *deleted, {});
        if (document->events.eventsInCategory(*deleted, true).found) {
            context.err << "Events of the category " << *deleted << " keep that name.\n";
        }
    }
    if (line->countOf({"--add", "--rename", "--delete"}) > 0 &&
        !CliDocument::save(*document, line->file(), context)) {
        return kFileUnusable;
    }
    for (const std::string& name : list.names())
        context.out << name << '\n';
    return kDone;
}

}  // namespace almanary::cli
