#pragma once
// What the share server needs from the program it runs in: the almanary
// open in its window and the steps that touch that window. The GUI carries
// each call out on its own thread and returns when it is done; almanary-cli
// serve has no window and answers with nothing open.
//
// Every call comes from one of the server's handler threads and may block
// until it is carried out. Several handlers may call at once.

#include <string>

namespace almanary {

class ShareHost {
public:
    virtual ~ShareHost() = default;

    // The path of the almanary open in the window; empty when none is
    // open or it has never been saved.
    virtual std::string openAlmanaryPath() = 0;

    // Around a load: autosave waits until the file has been sent. Pauses
    // from concurrent loads nest; autosave runs again after as many
    // resumes as there were pauses.
    virtual void pauseAutosave() = 0;
    virtual void resumeAutosave() = 0;

    // Before a received file replaces the open almanary: the reminder check
    // and autosave stop.
    virtual void pauseTimers() = 0;
    // After it replaced it: close the windows open on the almanary, load
    // `path` again (option changes the load brings do not count as unsaved
    // changes) and restart the timers.
    virtual void reloadReplaced(const std::string& path) = 0;
    // When the replacement was not written after all: restart the timers.
    virtual void resumeTimers() = 0;

    // Called by ShareServer::stop() on the thread that stops it, before it
    // waits for the handlers. A host whose calls wait for that thread (the
    // GUI's, when its window stops the server) must from now on return
    // from every call at once, including calls already waiting, or stop()
    // would wait for ever.
    virtual void serverStopping() {}
};

// The host of a server without a window (almanary-cli serve): nothing is
// ever open in it, so no step of an exchange touches one.
class WindowlessHost : public ShareHost {
public:
    std::string openAlmanaryPath() override { return {}; }
    void pauseAutosave() override {}
    void resumeAutosave() override {}
    void pauseTimers() override {}
    void reloadReplaced(const std::string&) override {}
    void resumeTimers() override {}
};

}  // namespace almanary
