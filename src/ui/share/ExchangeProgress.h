#pragma once
// Runs an exchange with a share server on a worker thread while the window
// stays responsive: after a moment a small window says what is under way
// and offers Cancel. Questions the exchange must ask the user come back to
// the window's thread through askOnWindowThread.

#include <QString>
#include <functional>

#include "skins/SkinnedDialog.h"

class QLabel;

namespace almanary {

class CCustomButton;

class ExchangeProgress : public SkinnedDialog {
    Q_OBJECT
public:
    // How long a quick exchange runs before the window shows.
    static constexpr int kShowDelayMs = 400;

    // Runs `work` on a worker thread and returns when it has finished. The
    // progress window (a child of `parent`, saying `label`) calls `cancel`,
    // on this thread, when its Cancel is pressed or it is closed.
    static void run(QWidget* parent, const QString& label, const std::function<void()>& work,
                    const std::function<void()>& cancel);

    // Runs `question` on the thread of `context` and waits for its answer;
    // called from the worker while run() waits there.
    static bool askOnWindowThread(QObject* context, const std::function<bool()>& question);

private:
    ExchangeProgress(QWidget* parent, const QString& label, std::function<void()> cancel);
    void reject() override;
    void showUp();

    QLabel* label_;
    CCustomButton* cancelButton_;
    std::function<void()> cancel_;
    bool due_ = false;     // the exchange has run long enough to be shown
    bool asking_ = false;  // a question of the exchange is on screen
};

}  // namespace almanary
