#pragma once
// The Qt application a program without windows needs before it measures
// fonts or paints: a QGuiApplication on the offscreen platform, unless
// QT_QPA_PLATFORM names another, so it runs without a display.

#include <memory>

class QGuiApplication;

namespace almanary {

class PaintingApplication {
public:
    // Makes nothing when a Qt application already runs.
    PaintingApplication();
    ~PaintingApplication();
    PaintingApplication(const PaintingApplication&) = delete;
    PaintingApplication& operator=(const PaintingApplication&) = delete;

private:
    // QGuiApplication keeps references to these for its whole life.
    int argc_ = 1;
    char name_[9] = "almanary";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace almanary
