#pragma once
// The window's iCalendar commands: brings the events of a .ics file into
// the open almanary and reports what it added and left out, and writes the
// almanary's events as a .ics file for other calendars.

class QWidget;

namespace almanary {

class DocumentSession;
struct AppServices;

class CalendarTransfer {
public:
    CalendarTransfer(QWidget* parent, DocumentSession& session, const AppServices& services);

    // Asks for a file, imports it and shows the report.
    void importFile();
    // Asks for a file name and writes every event there.
    void exportFile();

private:
    QWidget* parent_;
    DocumentSession& session_;
    const AppServices& services_;
};

}  // namespace almanary
