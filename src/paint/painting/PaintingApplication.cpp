#include "painting/PaintingApplication.h"

#include <QGuiApplication>

namespace almanary {

PaintingApplication::PaintingApplication() {
    if (QCoreApplication::instance() != nullptr)
        return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

PaintingApplication::~PaintingApplication() = default;

}  // namespace almanary
