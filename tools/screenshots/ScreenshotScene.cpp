#include "ScreenshotScene.h"

#include <QWidget>

#include "app/AppServices.h"
#include "app/MainWindow.h"

namespace almanary::screenshots {

ScreenshotScene::ScreenshotScene(SampleFiles files) : files_(std::move(files)) {}

ScreenshotScene::~ScreenshotScene() = default;

MainWindow& ScreenshotScene::mainWindow() {
    if (mainWindow_ == nullptr) {
        mainWindow_ = std::make_unique<MainWindow>(AppServices{
            prompter_, chooser_, sound_, clock_, files_.settingsPath, files_.skinsFolder});
        mainWindow_->initialise();
        mainWindow_->show();
    }
    return *mainWindow_;
}

const BackgroundImage* ScreenshotScene::background() {
    return &mainWindow().background;
}

QWidget* ScreenshotScene::keep(std::unique_ptr<QWidget> window) {
    kept_.push_back(std::move(window));
    return kept_.back().get();
}

}  // namespace almanary::screenshots
