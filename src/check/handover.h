#pragma once
// Hands a design to the design checker: flattens volums, materials, general settings and atoms
// into the checker's fixed-layout records and runs it. Used by the designer's "Check design" and
// by the command-line checker, so both give the same verdict for the same design.

#include "checker/comprova.h"
#include "io/projectfile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

class Category;
class Material;
class MaterialsManager;
class Volum;

// Writes `input` as Latin-1 into the first `maxl` characters of `output`, blank-padded and cut at
// `maxl`; no terminator is written.
void QString2char20(char *output, int maxl, const QString &input);

// Flattens categories into parameter records (record 1 at records[0]), writing at most
// `capacity` records, and returns the full flattened count, which may exceed `capacity`.
int flattenCategories(const QList<Category> &categories, parameter_str *records, int capacity);

// What the checker is given: the design as the main window holds it.
struct CheckInput {
    int version = 1;
    const QList<Volum> *volums = nullptr;
    const QList<Category> *categories = nullptr;  // general settings
    const QList<Material *> *materials = nullptr; // the registry, in its order
    AxisScale x, y, z;                            // scale of each axis to metres
    // False: only the number of atoms is handed over, not their records, which no rule of the
    // checker reads (the live check spares the GUI thread copying 10^6 of them).
    bool atomRecords = true;
};

// Allocator of the hand-over's record arrays. The memory comes zeroed from calloc and
// value-initialisation writes nothing more, so the parameter records that a design does not use
// (a volum record holds 1000 of them, 336 KB) are never touched and cost no resident memory.
template <class T> struct ZeroedAllocator {
    static_assert(std::is_trivial_v<T>, "all-zero bytes are the value-initialised record");
    using value_type = T;
    ZeroedAllocator() = default;
    template <class U> ZeroedAllocator(const ZeroedAllocator<U> &) {}
    T *allocate(std::size_t n) {
        if (void *p = std::calloc(n, sizeof(T)))
            return static_cast<T *>(p);
        throw std::bad_alloc();
    }
    void deallocate(T *p, std::size_t) { std::free(p); }
    template <class U> void construct(U *) {} // value-initialised already
    template <class U, class... Args> void construct(U *p, Args &&...args) {
        ::new (static_cast<void *>(p)) U(std::forward<Args>(args)...);
    }
    template <class U> bool operator==(const ZeroedAllocator<U> &) const { return true; }
    template <class U> bool operator!=(const ZeroedAllocator<U> &) const { return false; }
};

// The four record arrays and their counts, as the entry routine receives them.
struct HandOver {
    std::vector<volum_str, ZeroedAllocator<volum_str>> volums;
    std::vector<material_str, ZeroedAllocator<material_str>> materials;
    std::vector<parameter_str> parameters;
    std::vector<atom_str> atoms;
    std::int32_t nvol = 0; // true counts; over the checker's limit the arrays stay empty
    std::int32_t nmat = 0;
    std::int32_t nvparam = 0; // flattened count of the first volum
    std::int32_t nmparam = 0; // flattened count of the first material
    std::int32_t nparam = 0;
    std::int32_t natoms = 0; // true count; the array holds them all only within the limit
};

// Fills the hand-over. Volums, materials and atoms are copied only while their count is within
// the checker's limit; past it the checker refuses the design on the count alone, without
// reading the records, and no memory is spent on them.
HandOver buildHandOver(const CheckInput &input);

struct CheckVerdict {
    bool checked = false; // false: the hand-over refused the design; the checker was not called
    QByteArray line;      // the checker's 299-character verdict, leading blank included
    QString refusal;      // why the hand-over refused the design; empty for "No volums to check!"
    int volum = -1;       // position in the volum list of the volum the checker's line names, or -1
    // The line without its trailing blanks, or the refusal when nothing was checked.
    QString text() const;
    // text() without its leading blank.
    QString trimmed() const { return text().trimmed(); }
    // True for the checker's success line.
    bool ok() const;
};

// Builds the hand-over and runs the checker with input.version. A design without volums, or with
// a volum without material (the checker cannot tell one), is refused before the checker runs.
CheckVerdict checkDesign(const CheckInput &input);
// The checker's input for a design read from a project file, with the registry's materials.
CheckInput checkInputOf(const ProjectDesign &design, const MaterialsManager &registry);
// The same check for a design read from a project file.
CheckVerdict checkDesign(const ProjectDesign &design, const MaterialsManager &registry);

// The two halves of checkDesign, for a check on another thread: whether the hand-over refuses
// the design (then `verdict` says why), and the checker's run on a built hand-over. The checker
// keeps its work memory in one process-wide place, so runs from any thread take turns.
bool refusesDesign(const CheckInput &input, CheckVerdict &verdict);
CheckVerdict runChecker(const HandOver &handOver, int version);
// The checker's out-of-memory verdict, for memory that runs out while the hand-over is built.
CheckVerdict outOfMemoryVerdict();
