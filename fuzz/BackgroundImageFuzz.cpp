// The background-picture loader on any bytes, and what a window then does
// with an accepted picture: draws it stretched over itself and at its own
// size, under an offscreen Qt application made once.

#include <QGuiApplication>
#include <QImage>
#include <QMessageLogContext>
#include <QPainter>
#include <QRect>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "skins/BackgroundImage.h"

namespace {

using almanary::BackgroundImage;
using almanary::fuzz::require;

// Smaller than any window, so drawing costs little even for a large picture.
constexpr int kWindowWidth = 96;
constexpr int kWindowHeight = 64;

void checkPicture(const BackgroundImage& picture) {
    const QImage& image = picture.image();
    require(image.width() > 0 && image.height() > 0, "an empty picture was accepted");
    require(picture.palette().size() <= 256, "a palette of more than 256 colours");
    if (image.format() == QImage::Format_Indexed8)
        require(image.colorCount() == 256, "an 8-bit picture with a short colour table");
}

void drawLikeAWindow(const BackgroundImage& picture) {
    QImage window(kWindowWidth, kWindowHeight, QImage::Format_RGB32);
    window.fill(Qt::white);
    QPainter painter(&window);
    require(picture.draw(painter, window.rect()), "a loaded picture did not draw");
    require(picture.draw(painter, QRect(0, 0, -1, -1)), "a picture at its own size did not draw");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt's reader warns about every odd bitmap it reads; at thousands of
    // inputs a second that is all the run would do.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // Qt gets a command line of its own, so it takes none of the fuzzer's
    // options away. The application stays until the process ends: libFuzzer
    // exits from inside its loop, and Qt must not be torn down under it.
    static int qtArgc = 1;
    static char* qtArgv[] = {(*argv)[0], nullptr};
    static QGuiApplication* application = new QGuiApplication(qtArgc, qtArgv);
    (void)application;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BackgroundImage picture;
    if (!picture.loadBytes(std::string(reinterpret_cast<const char*>(data), size))) {
        require(!picture.isLoaded(), "a refused picture was kept");
        return 0;
    }
    checkPicture(picture);
    drawLikeAWindow(picture);
    return 0;
}
