#include "share/ExchangeProgress.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <atomic>
#include <thread>

#include "skins/CCustomButton.h"

namespace almanary {

ExchangeProgress::ExchangeProgress(QWidget* parent, const QString& label,
                                   std::function<void()> cancel)
    : SkinnedDialog(parent),
      label_(new QLabel(label, this)),
      cancelButton_(new CCustomButton(QStringLiteral("&Cancel"), this)),
      cancel_(std::move(cancel)) {
    setObjectName(QStringLiteral("exchangeProgress"));
    setWindowTitle(QStringLiteral("Internet Connectivity"));
    label_->setObjectName(QStringLiteral("progressLabel"));
    cancelButton_->setObjectName(QStringLiteral("cancelExchangeButton"));
    cancelButton_->setMinimumSize(90, 28);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addWidget(label_, 1);
    layout->addWidget(cancelButton_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(cancelButton_, &QPushButton::clicked, this, &ExchangeProgress::reject);
    setEnterKeyTable({{cancelButton_, [this] { reject(); }}}, {});
    reskin();
}

void ExchangeProgress::reject() {
    // The exchange ends soon after; the window goes with it.
    cancelButton_->setEnabled(false);
    label_->setText(QStringLiteral("Cancelling..."));
    cancel_();
}

void ExchangeProgress::run(QWidget* parent, const QString& label, const std::function<void()>& work,
                           const std::function<void()>& cancel) {
    ExchangeProgress progress(parent, label, cancel);
    progress.setWindowModality(Qt::WindowModal);
    QEventLoop loop;
    QTimer::singleShot(kShowDelayMs, &progress, [&progress] {
        progress.due_ = true;
        if (!progress.asking_)
            progress.showUp();
    });
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    // The end of the whole program ends this loop too: the exchange is cut
    // short, and a question it is asking still gets its answer here.
    if (!done)
        cancel();
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    worker.join();
}

void ExchangeProgress::showUp() {
    show();
    cancelButton_->setFocus();
}

bool ExchangeProgress::askOnWindowThread(QObject* context, const std::function<bool()>& question) {
    bool answer = false;
    QMetaObject::invokeMethod(
        context,
        [&] {
            // The question stands alone on screen; the progress window
            // comes back after it, while the exchange goes on.
            auto* progress = context->findChild<ExchangeProgress*>();
            if (progress != nullptr) {
                progress->asking_ = true;
                progress->hide();
            }
            answer = question();
            if (progress != nullptr) {
                progress->asking_ = false;
                if (progress->due_)
                    progress->showUp();
            }
        },
        Qt::BlockingQueuedConnection);
    return answer;
}

}  // namespace almanary
