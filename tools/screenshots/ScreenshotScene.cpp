#include "ScreenshotScene.h"

#include <QWidget>

#include "app/MainWindow.h"

namespace almanary::screenshots {

ScreenshotScene::ScreenshotScene(SampleFiles files)
    : files_(std::move(files)),
      services_{prompter_,           chooser_,           colours_, printers_, sound_, clock_,
                files_.settingsPath, files_.skinsFolder, {}} {}

ScreenshotScene::~ScreenshotScene() = default;

MainWindow& ScreenshotScene::mainWindow() {
    if (mainWindow_ == nullptr) {
        mainWindow_ = std::make_unique<MainWindow>(services_);
        mainWindow_->initialise();
        mainWindow_->show();
    }
    return *mainWindow_;
}

DocumentSession& ScreenshotScene::session() {
    return mainWindow().session();
}

QWidget* ScreenshotScene::keep(std::unique_ptr<QWidget> window) {
    kept_.push_back(std::move(window));
    return kept_.back().get();
}

}  // namespace almanary::screenshots
