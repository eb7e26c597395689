#pragma once
// Positions of the volum records that decide how a volum meets the outside world: its boundary
// switches and their values, read by the boundary and contact stages.

namespace comprova {

enum BoundaryRecord : int {
    kRecInternal = 5,      // INTERNAL_NOBOUNDARY
    kRecDc = 7,            // DC contact; its values follow in 8 .. 20
    kRecDcFirst = 8,       //
    kRecTrans = 22,        // transient contact; values 23 .. 29 (26 and 27 are step counts)
    kRecTransFirst = 23,   //
    kRecAc = 31,           // AC contact; values 32 .. 43
    kRecAcSteps = 41,      // AC step count
    kRecNeumann = 45,      // ELECTRIC_FIELD=0
    kRecNeutrality = 47,   // CHARGE_NEUTRALITY
    kRecNstopCon = 53,     // NSTOP_CON, a time in steps of dt
    kRecMitjaCon = 54,     // MITJA_CON, a time in steps of dt * R
    kRecFiltre = 55,       // FILTRE, a time in steps of dt * R
    kRecIterneustart = 56, // ITERNEUSTART, an integer
    kRecFloating = 65,     // the fourth boundary kind
};

// The largest number of steps a transient or AC boundary may span.
constexpr int kMaxTransientSteps = 999;

} // namespace comprova
