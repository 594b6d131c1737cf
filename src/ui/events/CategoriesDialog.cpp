#include "events/CategoriesDialog.h"

#include "app/MessageTable.h"
#include "document/DocumentSession.h"
#include "model/CategoryList.h"
#include "platform/AppServices.h"
#include "platform/Prompter.h"
#include "platform/TextConversion.h"
#include "ui_CategoriesDialog.h"

namespace almanary {

CategoriesDialog::CategoriesDialog(QWidget* owner, DocumentSession& session,
                                   const AppServices& services)
    : SkinnedDialog(owner),
      ui_(std::make_unique<Ui::CategoriesDialog>()),
      session_(session),
      services_(services),
      editor_(session.categories()) {
    ui_->setupUi(this);
    ui_->nameEdit->setMaxLength(static_cast<int>(CategoryEditor::kMaxLength));
    for (const std::string& name : editor_.names())
        ui_->categoryCombo->addItem(toQString(name));
    // A drop-down list starts with nothing selected.
    ui_->categoryCombo->setCurrentIndex(-1);

    // Only a choice of the user's copies the name; a change of the current
    // entry made by an insertion does not.
    connect(ui_->categoryCombo, &QComboBox::activated, this, &CategoriesDialog::onSelected);
    connect(ui_->addButton, &QPushButton::clicked, this, &CategoriesDialog::add);
    connect(ui_->renameButton, &QPushButton::clicked, this, &CategoriesDialog::rename);
    connect(ui_->deleteButton, &QPushButton::clicked, this, &CategoriesDialog::deleteCategory);
    connect(ui_->exitButton, &QPushButton::clicked, this, &CategoriesDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &CategoriesDialog::reject);
    // The Enter key acts on the focused control; anywhere else it adds.
    setEnterKeyTable(
        {
            {ui_->categoryCombo, [] {}},
            {ui_->deleteButton, [this] { deleteCategory(); }},
            {ui_->exitButton, [this] { accept(); }},
            {ui_->renameButton, [this] { rename(); }},
        },
        [this] { add(); });
    session_.attach(this, WindowRole::Dialog);
    ui_->nameEdit->setFocus();
    reskin();
}

CategoriesDialog::~CategoriesDialog() = default;

std::string CategoriesDialog::typedName() const {
    return toBytes(ui_->nameEdit->text());
}

int CategoriesDialog::selected() const {
    return ui_->categoryCombo->currentIndex();
}

void CategoriesDialog::onSelected(int index) {
    if (index < 0 || index >= static_cast<int>(editor_.names().size()))
        return;
    ui_->nameEdit->setText(toQString(editor_.names()[static_cast<std::size_t>(index)]));
}

void CategoriesDialog::showAdded(std::size_t index) {
    // The combo box keeps its current entry across the insertion.
    ui_->categoryCombo->insertItem(static_cast<int>(index), toQString(editor_.names()[index]));
}

void CategoriesDialog::noteChange() {
    changed_ = true;
    ui_->nameEdit->clear();
}

void CategoriesDialog::add() {
    const CategoryEditor::Change added = editor_.add(typedName());
    switch (added.problem) {
        case CategoryEditor::Problem::None:
            break;
        case CategoryEditor::Problem::NotUnique:
            services_.prompter.show(this, MessageId::CategoryNotUnique);
            return;
        case CategoryEditor::Problem::TooLong:
            services_.prompter.show(this, MessageId::TooManyCharacters,
                                    {std::to_string(CategoryEditor::kMaxLength)});
            return;
        case CategoryEditor::Problem::Unnamed:
        case CategoryEditor::Problem::RenamedToNone:
            services_.prompter.show(this, MessageId::NameCategory);
            return;
    }
    showAdded(added.index);
    noteChange();
}

void CategoriesDialog::deleteCategory() {
    const int index = selected();
    if (index < 0) {
        services_.prompter.show(this, MessageId::SelectCategoryToDelete);
        return;
    }
    const std::string name = editor_.names()[static_cast<std::size_t>(index)];
    // The events keep the name either way; the question is only whether
    // the list should still offer it.
    if (session_.events().usesCategory(name) &&
        services_.prompter.show(this, MessageId::CategoryInUse, {name}) != MessageAnswer::Yes) {
        return;
    }
    editor_.remove(static_cast<std::size_t>(index));
    ui_->categoryCombo->removeItem(index);
    ui_->categoryCombo->setCurrentIndex(-1);
    noteChange();
}

void CategoriesDialog::rename() {
    const int index = selected();
    if (index < 0) {
        services_.prompter.show(this, MessageId::SelectCategoryToRename);
        return;
    }
    const std::string oldName = editor_.names()[static_cast<std::size_t>(index)];
    const CategoryEditor::Change renamed = editor_.rename(
        static_cast<std::size_t>(index), typedName(), CategoryEditor::RenameRule::Lenient);
    if (renamed.problem != CategoryEditor::Problem::None) {
        services_.prompter.show(this, MessageId::UseDeleteButton);
        return;
    }
    const std::string& newName = editor_.names()[renamed.index];
    if (session_.events().usesCategory(oldName) &&
        services_.prompter.show(this, MessageId::RenameCategoryEvents, {oldName, newName}) ==
            MessageAnswer::Yes) {
        session_.renameCategory(oldName, newName);
    }
    // The list takes the new name whatever the events do.
    ui_->categoryCombo->removeItem(index);
    showAdded(renamed.index);
    ui_->categoryCombo->setCurrentIndex(-1);
    noteChange();
}

void CategoriesDialog::done(int result) {
    // There is no discarding: Escape keeps what was done, as renames
    // carried over to the events cannot be taken back either.
    session_.setCategories(editor_.list());
    // Marked as the dialog ends, not after: a load that closes it goes on to
    // replace the document, and the new one must not count as changed.
    // Nothing done leaves an earlier unsaved change as it was.
    if (changed_)
        session_.markChanged();
    SkinnedDialog::done(result);
}

}  // namespace almanary
