#pragma once

// The simulator's output lines that mean something to the designer, read by the same rules
// wherever the output arrives (the monitor, a local run, a Slurm job's output file).

#include <QString>

struct SimulatorLine {
    enum Kind {
        Progress, // "SIMULATED TIME: n %"; percent holds n, or 0 when n is not an integer
        Status,   // "[OK] message"; text holds the message
        Error,    // contains "ERROR"; text holds the whole line
        Ended,    // contains "Simulation ended correctly"; text holds the whole line
        Other     // only logged
    };
    Kind kind = Other;
    int percent = 0;
    QString text;

    // The first matching test wins, in the order of the kinds above; the tests are
    // case-sensitive substring tests on the line without its line end.
    static SimulatorLine parse(const QString &line);
};
