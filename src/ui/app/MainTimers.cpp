#include "app/MainTimers.h"

#include <algorithm>
#include <limits>

#include "model/DocumentSettings.h"

namespace almanary {

namespace {

constexpr int kMinuteMs = 60000;
// The longest period a timer can hold; a larger interval read from a file
// is cut to it rather than overflowing.
constexpr int kLongestMinutes = std::numeric_limits<int>::max() / kMinuteMs;

}  // namespace

MainTimers::MainTimers(QObject* parent) : QObject(parent) {
    reminder_.setInterval(kReminderMs);
    reviver_.setInterval(kReviveMs);
    connect(&reminder_, &QTimer::timeout, this, &MainTimers::reminderCheckDue);
    connect(&autosave_, &QTimer::timeout, this, &MainTimers::autosaveDue);
    connect(&reviver_, &QTimer::timeout, this, &MainTimers::reviveDue);
}

std::optional<int> MainTimers::autosaveInterval(const DocumentSettings& settings) {
    if (!settings.autosave || settings.autosaveMinutes <= 0)
        return std::nullopt;
    const int minutes = std::min<int>(settings.autosaveMinutes, kLongestMinutes);
    return minutes * kMinuteMs;
}

void MainTimers::start() {
    reminder_.start(kReminderMs);
    reviver_.start(kReviveMs);
}

void MainTimers::applyAutosave(const DocumentSettings& settings) {
    autosave_.stop();
    if (const std::optional<int> interval = autosaveInterval(settings))
        startAutosave(*interval);
}

void MainTimers::restart(const DocumentSettings& settings) {
    applyAutosave(settings);
    reminder_.start(kReminderMs);
}

void MainTimers::stop() {
    reminder_.stop();
    autosave_.stop();
}

void MainTimers::stopAutosave() {
    autosave_.stop();
}

void MainTimers::revive(const DocumentSettings& settings) {
    if (!reminder_.isActive())
        reminder_.start(kReminderMs);
    const std::optional<int> interval = autosaveInterval(settings);
    if (!interval) {
        autosave_.stop();
    } else if (!autosave_.isActive() || autosave_.interval() != *interval) {
        startAutosave(*interval);
    }
}

void MainTimers::startAutosave(int interval) {
    autosave_.start(interval);
    ++autosaveStarts_;
}

void MainTimers::stopAll() {
    stop();
    reviver_.stop();
}

}  // namespace almanary
