#pragma once
// "View Events": the document's events three at a time. Search mode finds
// events by date, category or a word of their notes and pages through
// them; conflict mode lists the events that overlap one about to be entered
// and closes itself once none is left. Both edit and delete what they show.

#include <array>
#include <memory>
#include <string>

#include "model/EventList.h"
#include "pages/ResultsPage.h"
#include "skins/SkinnedDialog.h"

class QPushButton;

namespace Ui {
class ViewEventsDialog;
}

namespace almanary {

class DocumentSession;
class EventDialog;
struct AppServices;

class ViewEventsDialog : public SkinnedDialog {
    Q_OBJECT
public:
    // Modal result after the event to delete had vanished from the document.
    static constexpr int kFatal = 10;
    static constexpr int kPaneCount = 3;

    // Search mode.
    ViewEventsDialog(QWidget* owner, DocumentSession& session, const AppServices& services);
    // Conflict mode: `conflicts` is copied; `candidate` and `leftOut` (may be
    // null) must outlive the dialog.
    ViewEventsDialog(QWidget* owner, DocumentSession& session, const AppServices& services,
                     const EventList& conflicts, const Event* candidate, const Event* leftOut);
    ~ViewEventsDialog() override;

    // The event dialog's review of conflicts: this dialog in conflict mode,
    // run over the editor until the user is done.
    static void reviewConflicts(EventDialog& editor, const EventList& conflicts,
                                const Event& candidate, const Event* leftOut);

    bool conflictMode() const { return conflictMode_; }
    const EventList& results() const { return results_; }
    int resultCount() const { return resultCount_; }
    // True once the dialog has ended (Done, Cancel or by itself).
    bool ended() const { return ended_; }

public slots:
    void next();
    void prev();
    void search();
    // Prints the events found (search mode; nothing when none was found).
    void print();

protected:
    void done(int result) override;

private:
    enum class SearchKind { Date, Category, Comment };
    // What one pane shows, as bytes.
    struct PaneTexts {
        std::string date;
        std::string time;
        std::string category;
        std::string notes;
    };
    struct PaneControls {
        QPushButton* edit;
        QPushButton* remove;
    };

    ViewEventsDialog(QWidget* owner, DocumentSession& session, const AppServices& services,
                     bool conflictMode);
    void connectControls();
    // The conflict mode's line about the new event.
    void showCandidate();
    // The times shown, in the clock now chosen.
    void showTimesAgain();
    void buildEnterKeyTable();
    // The panes show, and leave out of the Tab order, what they cannot change.
    void arrangePanes();
    // False, and the dialog ends, when the document it was opened on has
    // been replaced: nothing is changed in another one.
    bool onItsDocument();
    void fillCategoryList();
    SearchKind kind() const;

    // Data exchange: the controls into the members, and back.
    void readControls();
    void writeControls();
    void setPicked(DateTime value);

    void onSearchByChanged();
    void onDateChanged();
    void onCategoryChosen();

    void searchByDate(DateTime value);
    void searchByCategory(const std::string& category);
    void searchByComment(const std::string& text);
    void showResults(EventList&& found);
    void redoSearch(bool rerunComment);
    // After the document's events changed: searches again (conflict mode:
    // recomputes the conflicts and ends when none is left).
    void refresh();

    void resetPaging();
    void showNoResults();
    void fillPage();
    void updatePageLabel();
    // Enables or disables Edit and X of every shown event by its open mark.
    void refreshButtons();
    void moveDate(int days);

    // The result position pane `pane` (1-based) shows; 0 when it shows none.
    int positionOfPane(int pane) const;
    // Result `position` (1-based) as the document stores it now, or the
    // result's copy when the document no longer holds it.
    const Event& shown(int position) const;
    void setPaneButtons(int pane, bool enabled);

    ResultsHeading printHeading() const;

    void edit(int pane);
    void deleteEvent(int pane);

    std::unique_ptr<Ui::ViewEventsDialog> ui_;
    std::array<PaneControls, kPaneCount> paneControls_{};
    DocumentSession& session_;
    const AppServices& services_;
    std::uint64_t generation_;  // of the document the dialog was opened on
    EventList results_;
    QString emptyText_;  // what an empty result says, in the first pane
    int resultCount_ = 0;
    int firstShown_ = 0;
    bool conflictMode_ = false;
    bool ended_ = false;
    const Event* candidate_ = nullptr;
    const Event* leftOut_ = nullptr;

    // Bound values.
    std::array<PaneTexts, kPaneCount> panes_;
    DateTime picked_ = 0;  // the date picker's value, with a clock time
    std::string categoryText_;
    std::string commentText_;
    std::string pageText_;
    std::string pageCountText_;
};

}  // namespace almanary
