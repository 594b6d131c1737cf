#pragma once
// A session bus of a test's own, with no services to start, ended with the test.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QProcess>
#include <fstream>

#include "support/TempDir.h"

namespace almanary::testing {

class PrivateSessionBus {
public:
    PrivateSessionBus() {
        const std::string config = dir_.file("bus.conf");
        std::ofstream(config) << "<!DOCTYPE busconfig PUBLIC "
                                 "\"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
                                 "\"http://www.freedesktop.org/standards/dbus/1.0/"
                                 "busconfig.dtd\">\n<busconfig><type>session</type>"
                              << "<listen>unix:dir=" << dir_.path().string() << "</listen>"
                              << "<auth>EXTERNAL</auth><policy context=\"default\">"
                                 "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                 "<allow eavesdrop=\"true\"/><allow own=\"*\"/>"
                                 "</policy></busconfig>\n";
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--nofork"), QStringLiteral("--print-address"),
                       QStringLiteral("--config-file=") + QString::fromStdString(config)});
        if (!daemon_.waitForStarted() || !daemon_.waitForReadyRead()) {
            ADD_FAILURE() << "dbus-daemon did not start";
            return;
        }
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateSessionBus() {
        for (const QString& name : names_)
            QDBusConnection::disconnectFromBus(name);
        daemon_.kill();
        daemon_.waitForFinished();
    }

    // A connection of its own under `name`, as another program would have.
    QDBusConnection connect(const QString& name) {
        names_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    TempDir dir_;
    QProcess daemon_;
    QString address_;
    QStringList names_;
};

}  // namespace almanary::testing
