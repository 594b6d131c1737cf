#include "events/CategoriesDialog.h"

#include <QKeyEvent>

#include "app/MessageTable.h"
#include "model/AsciiText.h"
#include "model/CategoryList.h"
#include "model/CategoryRules.h"
#include "model/EventChoices.h"
#include "model/EventList.h"
#include "platform/Prompter.h"
#include "platform/TextConversion.h"
#include "ui_CategoriesDialog.h"

namespace almanary {

CategoriesDialog::CategoriesDialog(QWidget* owner, CategoryList& categories, EventList& events,
                                   Prompter& prompter)
    : SkinnedDialog(owner),
      ui_(std::make_unique<Ui::CategoriesDialog>()),
      categories_(categories),
      events_(events),
      prompter_(prompter) {
    ui_->setupUi(this);
    ui_->nameEdit->setMaxLength(static_cast<int>(EventChoices::kMaxCategoryLength));
    for (const std::string& name : categories_.names())
        insert(name);
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
    ui_->nameEdit->setFocus();
    reskin();
}

CategoriesDialog::~CategoriesDialog() = default;

std::string CategoriesDialog::typedName() const {
    return AsciiText::trimmed(toBytes(ui_->nameEdit->text()));
}

int CategoriesDialog::selected() const {
    return ui_->categoryCombo->currentIndex();
}

void CategoriesDialog::onSelected(int index) {
    if (index < 0 || index >= static_cast<int>(names_.size()))
        return;
    ui_->nameEdit->setText(toQString(names_[static_cast<std::size_t>(index)]));
}

void CategoriesDialog::insert(const std::string& name) {
    const std::size_t place = CategoryRules::sortedPosition(names_, name);
    names_.insert(names_.begin() + static_cast<std::ptrdiff_t>(place), name);
    // The combo box keeps its current entry across the insertion.
    ui_->categoryCombo->insertItem(static_cast<int>(place), toQString(name));
}

void CategoriesDialog::remove(int index) {
    names_.erase(names_.begin() + index);
    ui_->categoryCombo->removeItem(index);
}

void CategoriesDialog::noteChange() {
    changed_ = true;
    ui_->nameEdit->clear();
}

void CategoriesDialog::add() {
    const std::string name = typedName();
    switch (CategoryRules::checkNewName(name, names_)) {
        case CategoryRules::NameProblem::Unnamed:
            prompter_.show(this, MessageId::kNameCategory);
            return;
        case CategoryRules::NameProblem::NotUnique:
            prompter_.show(this, MessageId::kCategoryNotUnique);
            return;
        case CategoryRules::NameProblem::None:
            break;
    }
    insert(name);
    noteChange();
}

void CategoriesDialog::deleteCategory() {
    const int index = selected();
    if (index < 0) {
        prompter_.show(this, MessageId::kSelectCategoryToDelete);
        return;
    }
    const std::string name = names_[static_cast<std::size_t>(index)];
    // The events keep the name either way; the question is only whether
    // the list should still offer it.
    if (events_.eventsInCategory(name, true).found &&
        prompter_.show(this, MessageId::kCategoryInUse, {name}) != MessageAnswer::Yes) {
        return;
    }
    remove(index);
    ui_->categoryCombo->setCurrentIndex(-1);
    noteChange();
}

void CategoriesDialog::rename() {
    const int index = selected();
    if (index < 0) {
        prompter_.show(this, MessageId::kSelectCategoryToRename);
        return;
    }
    const std::string newName = typedName();
    if (newName.empty()) {
        prompter_.show(this, MessageId::kUseDeleteButton);
        return;
    }
    const std::string oldName = names_[static_cast<std::size_t>(index)];
    if (events_.eventsInCategory(oldName, true).found &&
        prompter_.show(this, MessageId::kRenameCategoryEvents, {oldName, newName}) ==
            MessageAnswer::Yes) {
        events_.renameCategory(oldName, newName);
    }
    // The list takes the new name whatever the events do.
    remove(index);
    insert(newName);
    ui_->categoryCombo->setCurrentIndex(-1);
    noteChange();
}

void CategoriesDialog::done(int result) {
    // There is no discarding: Escape keeps what was done, as renames
    // carried over to the events cannot be taken back either.
    categories_ = CategoryList(names_);
    SkinnedDialog::done(result);
}

void CategoriesDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter) {
        SkinnedDialog::keyPressEvent(event);
        return;
    }
    const QWidget* focus = focusWidget();
    if (focus == ui_->categoryCombo) {
        return;
    } else if (focus == ui_->deleteButton) {
        deleteCategory();
    } else if (focus == ui_->exitButton) {
        accept();
    } else if (focus == ui_->renameButton) {
        rename();
    } else {
        add();
    }
}

}  // namespace almanary
