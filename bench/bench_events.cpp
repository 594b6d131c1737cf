// How quickly View Events answers a search by notes on a 100,000-event
// almanary: constructing the dialog in search mode (offscreen), choosing
// "Comment", typing a word and pressing Search until the panes are filled.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdlib>

#include "AlmanaryGenerator.h"
#include "UnattendedSeams.h"
#include "document/DocumentSession.h"
#include "events/ViewEventsDialog.h"
#include "model/Calendar.h"
#include "platform/AppServices.h"

namespace almanary::bench {
namespace {

constexpr std::size_t kEventCount = 100'000;

void BM_ViewEventsSearchByComment(benchmark::State& state) {
    DocumentSession session;
    session.replace(generateAlmanary(kEventCount), "generated.alm");
    DecliningPrompter prompter;
    NoFileChooser files;
    NoColourChooser colours;
    NoPrinterChooser printers;
    SilentSoundPlayer sound;
    // Midway through the generated years, so the dialog opens on a real day.
    const FixedClock clock(Calendar::fromLocal(2028, 6, 15, 12).value_or(0));
    const AppServices services{prompter, files, colours, printers, sound, clock, {}, {}, {}};
    int found = 0;
    for (auto _ : state) {
        ViewEventsDialog dialog(nullptr, session, services);
        dialog.findChild<QComboBox*>("searchByCombo")->setCurrentIndex(2);  // "Comment"
        dialog.findChild<QLineEdit*>("commentEdit")->setText(QStringLiteral("lunch"));
        dialog.findChild<QPushButton*>("searchButton")->click();
        if (dialog.findChild<QPlainTextEdit*>("notesEdit1")->toPlainText().isEmpty()) {
            state.SkipWithError("the search found nothing");
            break;
        }
        found = dialog.resultCount();
    }
    state.counters["results"] = found;
}
BENCHMARK(BM_ViewEventsSearchByComment)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace almanary::bench
