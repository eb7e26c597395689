#pragma once
// Hand-over interface of the design checker: the four fixed-layout record kinds that the designer
// fills from its design, and the entry routine that checks them and writes a one-line verdict.
// Plain C++; no Qt. Character fields are Latin-1, blank-padded on the right, never terminated.

#include <cstdint>

constexpr int kNameWidth = 20;        // width of every name field
constexpr int kHelpWidth = 300;       // width of a help text field
constexpr int kParameterSlots = 1000; // parameter records held by one volum or material record
constexpr int kVerdictLength = 299; // characters of the verdict line (plus one NUL in error_retorn)

// One flattened setting: a property, a condition, or a property inside a condition.
struct parameter_str {
    char help[kHelpWidth]; // help text of a property; not filled for condition records
    char nom[kNameWidth];  // name of the property or condition
    double valor;          // the value (1.0/0.0 for switches and active conditions)
    std::int32_t tipus;    // type code; for a condition record, its number of properties
};

struct volum_str {
    parameter_str parameters[kParameterSlots]; // record 1 is parameters[0]
    char nom[kNameWidth];
    double xi, yi, zi;          // lower corner, physical units
    double xf, yf, zf;          // upper corner
    std::int32_t mxi, myi, mzi; // first mesh index on each axis (1 at hand-over)
    std::int32_t mxf, myf, mzf; // last mesh index = number of meshes along the axis
    std::int32_t indexname;     // index number of the volum's material
};

struct material_str {
    parameter_str parameters[kParameterSlots];
    char nom[kNameWidth];
    std::int32_t indexname;
};

struct atom_str {
    double x, y, z; // position relative to the owning volum's origin, unscaled
    std::int32_t materialindex;
    std::int32_t noffset;    // basis-offset number for an offset site, else 0
    std::int32_t volumindex; // position of the owning volum in the volum list, from 0
};

// Checks a design and writes the verdict (299 characters and a NUL) into error_retorn, which must
// hold 300 characters. version 1 releases every work table at the end of the run; -1 keeps them
// for inspection until the next run. Any other version is refused with message 1001.
// The arrays may be null when their count is 0.
void comprova_volums_valids(const std::int32_t *version, const volum_str *volums,
                            const std::int32_t *nvol, const std::int32_t *nvparam,
                            const material_str *materials, const std::int32_t *nmat,
                            const std::int32_t *nmparam, const parameter_str *parameters,
                            const std::int32_t *nparam, const atom_str *atoms,
                            const std::int32_t *natoms, char *error_retorn);

// Number (from 1, in hand-over order) of the first volum that the last verdict names, or 0 when
// it names none: the designer uses it to take the user to that volum.
std::int32_t verdictVolum();
