// How long the live check holds up the GUI thread on a design of 10^6 atoms, against a check
// made on the GUI thread itself ("Check design"), and prints the figures.
//
// A timer ticks every 2 ms on the GUI thread while the design is checked; the longest gap
// between two ticks is how long the user's input would have waited.

#include "check/handover.h"
#include "check/livecheck.h"
#include "io/projectfile.h"
#include "model/atom.h"
#include "model/materialsmanager.h"
#include "model/volum.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// Runs `work` (which ends by quitting the event loop) under a ticking timer; returns the longest
// gap between ticks and the whole time, in milliseconds.
std::pair<double, double> blockedWhile(const std::function<void()> &work) {
    QElapsedTimer clock;
    double last = 0, longest = 0;
    QTimer ticks;
    ticks.setInterval(2);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const double now = clock.nsecsElapsed() / 1e6;
        longest = std::max(longest, now - last);
        last = now;
    });
    ticks.start();
    clock.start();
    QTimer::singleShot(0, work);
    QCoreApplication::exec();
    const double total = clock.nsecsElapsed() / 1e6;
    longest = std::max(longest, total - last);
    return {longest, total};
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("karveno.*=false"));
    MaterialsManager registry;
    ProjectDesign design;
    if (!readProjectFile(KARVENO_SOURCE_DIR "/tests/app/projects/transistor.txt", design, registry)
             .volumsRead)
        return 2;
    // 10^6 atoms, spread over the volums (the checker's largest count).
    const int perVolum = 1000000 / int(design.volums.size());
    for (Volum &v : design.volums) {
        QList<Atom> atoms;
        atoms.reserve(perVolum);
        for (int n = 0; n < perVolum; ++n)
            atoms.append(Atom(n % 100, (n / 100) % 100, n / 10000, v.getMaterial(), false));
        v.setAtomsInfo(atoms);
    }
    const CheckInput input = checkInputOf(design, registry);

    std::printf("GUI thread held up by a check of a design of %d atoms (target: <= 50 ms)\n",
                perVolum * int(design.volums.size()));
    std::printf("%-34s %14s %10s  %s\n", "", "longest block", "verdict in", "verdict");

    CheckVerdict verdict;
    const auto synchronous = blockedWhile([&] {
        verdict = checkDesign(input);
        QCoreApplication::quit();
    });
    std::printf("%-34s %11.1f ms %7.1f ms  %s\n", "on the GUI thread (Check design)",
                synchronous.first, synchronous.second, qPrintable(verdict.trimmed().left(40)));

    LiveCheck live([&] { return input; });
    live.setDelay(0);
    QObject::connect(&live, &LiveCheck::verdictReady, [&](const CheckVerdict &v) {
        verdict = v;
        QCoreApplication::quit();
    });
    const auto background = blockedWhile([&] { live.designChanged(); });
    std::printf("%-34s %11.1f ms %7.1f ms  %s\n", "live check (worker thread)", background.first,
                background.second, qPrintable(verdict.trimmed().left(40)));
    return 0;
}
