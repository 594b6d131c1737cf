#pragma once
// "Manage Categories": add, rename and delete the document's category
// names. A rename can be carried over to the events that use the old name;
// a delete never touches events. The names are written back, sorted, and
// the document marked changed when anything was done, as the dialog ends,
// however it ends.

#include <memory>
#include <string>
#include <vector>

#include "model/CategoryEditor.h"
#include "skins/SkinnedDialog.h"

namespace Ui {
class CategoriesDialog;
}

namespace almanary {

class DocumentSession;
struct AppServices;

class CategoriesDialog : public SkinnedDialog {
    Q_OBJECT
public:
    CategoriesDialog(QWidget* owner, DocumentSession& session, const AppServices& services);
    ~CategoriesDialog() override;

    // True once an add, rename or delete was carried out.
    bool changed() const { return changed_; }
    // The working list, in the order shown.
    const std::vector<std::string>& names() const { return editor_.names(); }

    // Ends the dialog, OK or Cancel alike, writing the names back first.
    void done(int result) override;

public slots:
    void add();
    void rename();
    void deleteCategory();

private:
    // The name in the edit, as typed.
    std::string typedName() const;
    // The selected entry's position, or -1.
    int selected() const;
    void onSelected(int index);
    // Shows the name the working list has taken at `index`.
    void showAdded(std::size_t index);
    // A carried-out action: the edit emptied, the document to be marked.
    void noteChange();

    std::unique_ptr<Ui::CategoriesDialog> ui_;
    DocumentSession& session_;
    const AppServices& services_;
    CategoryEditor editor_;  // the working list: the combo box's entries, as bytes
    bool changed_ = false;
};

}  // namespace almanary
