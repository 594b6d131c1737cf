#pragma once
// Everything the screenshots draw: the sample files, the quiet seams, and
// the program's main window with the sample loaded. Windows made for a
// shot are kept here until the end, so a shot is one line in the table.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "SampleAlmanary.h"
#include "UnattendedSeams.h"
#include "platform/AppServices.h"

class QWidget;

namespace almanary {
class DocumentSession;
class MainWindow;
}  // namespace almanary

namespace almanary::screenshots {

class ScreenshotScene {
public:
    explicit ScreenshotScene(SampleFiles files);
    ~ScreenshotScene();

    // Made, initialised (the sample loaded) and shown on first use.
    MainWindow& mainWindow();
    // The main window's session, which every dialog takes.
    DocumentSession& session();
    const AppServices& services() const { return services_; }
    const SampleFiles& files() const { return files_; }
    // Messages shown so far; the sample should cause none.
    int unexpectedMessages() const { return prompter_.count(); }

    // Keeps a window made for a shot alive until the scene ends.
    QWidget* keep(std::unique_ptr<QWidget> window);

private:
    SampleFiles files_;
    // A sample that makes the program speak is a broken sample: it is counted.
    DecliningPrompter prompter_{"almanary-screenshots"};
    NoFileChooser chooser_;
    NoColourChooser colours_;
    NoPrinterChooser printers_;
    SilentSoundPlayer sound_;
    FixedClock clock_{SampleAlmanary::now()};
    AppServices services_;
    std::unique_ptr<MainWindow> mainWindow_;
    // After the main window: they may be its children and go first.
    std::vector<std::unique_ptr<QWidget>> kept_;
};

}  // namespace almanary::screenshots
