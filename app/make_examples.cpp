// Writes the example devices of examples/ from the shipped catalogues and materials.
//
//   make_examples OUTPUT_FOLDER     (run from the repository root, where data/ is)
//
// Each device starts from the catalogues' initial settings; only what its role needs is changed,
// by setting name. Lengths are in Angstrom (axis scale 1e-10 m), so that the materials' lattices,
// given in Angstrom, fill the volums at their true size in atomic mode.

#include "check/handover.h"
#include "io/catalogue.h"
#include "io/materialfiles.h"
#include "io/projectfile.h"
#include "model/category.h"
#include "model/coord.h"
#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/property.h"
#include "model/volum.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <functional>

namespace {

QTextStream err(stderr);

// Sets a setting by name; a name missing from the catalogue is a fault of this tool.
void set(QList<Category> &categories, const QString &name, double value) {
    for (Category &category : categories)
        for (Property &p : category.getProperties())
            if (p.getName() == name) {
                if (p.getType() == Property::Boolean)
                    p.setValue(value == 1.0);
                else if (p.getType() == Property::Integer || p.getType() == Property::Choice)
                    p.setValue(int(value));
                else
                    p.setValue(value);
                return;
            }
    err << "no setting named " << name << Qt::endl;
    std::exit(2);
}

enum class Role {
    Contact,   // source or drain: free electrons, a DC boundary
    Channel,   // inside the device: free electrons, no boundary
    Barrier,   // inside the device, electrons tunnel through it
    Insulator, // inside the device, no free electrons
    Gate,      // on the surface, a DC boundary, no free electrons
    Cladding,  // on the surface, the Neumann boundary (the catalogue's initial values)
};

struct Builder {
    MaterialsManager &registry;
    QList<Category> volumCatalogue;
    ProjectDesign design;

    // A box from (x, y, z) of size (sx, sy, sz) Angstrom with (nx, ny, nz) meshes.
    Volum &add(const QString &name, const QString &material, Role role, double x, double y,
               double z, double sx, double sy, double sz, int nx, int ny, int nz) {
        Volum v(name, nx, ny, nz, volumCatalogue);
        Material *m = registry.getMaterial(material);
        if (!m) {
            err << "no material named " << material << Qt::endl;
            std::exit(2);
        }
        v.setMaterial(m);
        v.addCoords(Coord(x, y, z), float(sx), float(sy), float(sz));
        QList<Category> &c = v.getCategories();
        if (role != Role::Cladding) {
            set(c, "ELECTRIC_FIELD=0", 0);
        }
        if (role == Role::Contact || role == Role::Channel || role == Role::Barrier)
            set(c, "FLAGELECTRONS", 1);
        if (role == Role::Contact || role == Role::Gate)
            set(c, "DC", 1);
        if (role == Role::Channel || role == Role::Barrier || role == Role::Insulator)
            set(c, "INTERNAL_NOBOUNDARY", 1);
        design.volums.append(v);
        return design.volums.last();
    }
    QList<Category> &volumSettings(int n) { return design.volums[n - 1].getCategories(); }
    void setting(const QString &name, double value) { set(design.categories, name, value); }
    // The DC voltage of volum n, held from the start to the end of the simulation.
    void voltage(int n, double volts) {
        set(volumSettings(n), "DC_VOLTAGE", volts);
        set(volumSettings(n), "DC_VOLTAGE_END", volts);
    }
    // Injection blocks 1 and 2 from the source (volum 1) and from the drain (volum 2).
    void injectFromContacts() {
        setting("INJECTION_1", 1);
        setting("INJ_VOLUM_1", 1);
        setting("INJECTION_2", 1);
        setting("INJ_VOLUM_2", 2);
    }
};

// A silicon channel between aluminium source and drain, under an aluminium gate on a 1 nm gate
// oxide, wrapped by oxide on every other side; classical particles (Monte Carlo).
void classicalMosfet(Builder &b) {
    // x: source 0..100 | gate region 100..300 | drain 300..400; 1 nm meshes.
    b.add("Source", "Aluminium", Role::Contact, 0, 0, 0, 100, 120, 120, 10, 12, 12);
    b.add("Drain", "Aluminium", Role::Contact, 300, 0, 0, 100, 120, 120, 10, 12, 12);
    b.add("Channel", "Silicon", Role::Channel, 100, 10, 10, 200, 100, 90, 20, 10, 9);
    b.add("GateOxide", "SiO2", Role::Insulator, 100, 10, 100, 200, 100, 10, 20, 10, 1);
    b.add("Gate", "Aluminium", Role::Gate, 100, 0, 110, 200, 120, 10, 20, 12, 1);
    b.add("BuriedOxide", "SiO2", Role::Cladding, 100, 0, 0, 200, 120, 10, 20, 12, 1);
    b.add("SideOxideLow", "SiO2", Role::Cladding, 100, 0, 10, 200, 10, 100, 20, 1, 10);
    b.add("SideOxideHigh", "SiO2", Role::Cladding, 100, 110, 10, 200, 10, 100, 20, 1, 10);
    b.voltage(2, 0.5);
    b.voltage(5, 0.8);
    set(b.volumSettings(3), "FLAG_SCATTERING", 1);

    b.injectFromContacts();
}

// A GaAs nanowire with two 1 nm oxide barriers (a resonant-tunnelling double barrier), solved
// with the effective-mass wave equation. The contacts have 2 nm meshes along x, the wire 1 nm:
// both whole multiples of DXSCHO = 1 nm.
void tunnellingWire(Builder &b) {
    // x: source 0..200 | wire 200..250, barrier, well 260..300, barrier, wire 310..360 | drain.
    b.add("Source", "GaAs", Role::Contact, 0, 0, 0, 200, 80, 80, 10, 8, 8);
    b.add("Drain", "GaAs", Role::Contact, 360, 0, 0, 200, 80, 80, 10, 8, 8);
    b.add("WireIn", "GaAs", Role::Channel, 200, 10, 10, 50, 60, 60, 5, 6, 6);
    b.add("BarrierIn", "SiO2", Role::Barrier, 250, 10, 10, 10, 60, 60, 1, 6, 6);
    b.add("Well", "GaAs", Role::Channel, 260, 10, 10, 40, 60, 60, 4, 6, 6);
    b.add("BarrierOut", "SiO2", Role::Barrier, 300, 10, 10, 10, 60, 60, 1, 6, 6);
    b.add("WireOut", "GaAs", Role::Channel, 310, 10, 10, 50, 60, 60, 5, 6, 6);
    b.add("ShellBelowZ", "SiO2", Role::Cladding, 200, 0, 0, 160, 80, 10, 16, 8, 1);
    b.add("ShellAboveZ", "SiO2", Role::Cladding, 200, 0, 70, 160, 80, 10, 16, 8, 1);
    b.add("ShellBelowY", "SiO2", Role::Cladding, 200, 0, 10, 160, 10, 60, 16, 1, 6);
    b.add("ShellAboveY", "SiO2", Role::Cladding, 200, 70, 10, 160, 10, 60, 16, 1, 6);
    b.voltage(2, 0.2);

    b.setting("FLAG_PARTICLES", 0);
    b.setting("WAVE_SOLVER", 1);
    b.setting("DTSCHO", 1e-16);
    b.setting("DXSCHO", 1e-9);
    b.injectFromContacts();
}

// A graphene ribbon, 80 nm wide along z, between graphene source and drain leads, on and under
// oxide, solved with the Dirac equation. The leads and the ribbon's edges have 2 nm meshes.
void grapheneRibbon(Builder &b) {
    // y: oxide 0..10 | sheet 10..20 | oxide 20..30; z: edge 0..20 | ribbon 20..820 | edge.
    b.add("Source", "Graphene", Role::Contact, 0, 0, 0, 100, 30, 840, 5, 3, 42);
    b.add("Drain", "Graphene", Role::Contact, 300, 0, 0, 100, 30, 840, 5, 3, 42);
    b.add("Ribbon", "Graphene", Role::Channel, 100, 10, 20, 200, 10, 800, 20, 1, 40);
    b.add("Substrate", "SiO2", Role::Cladding, 100, 0, 0, 200, 10, 840, 20, 1, 42);
    b.add("TopOxide", "SiO2", Role::Cladding, 100, 20, 0, 200, 10, 840, 20, 1, 42);
    b.add("EdgeLow", "SiO2", Role::Cladding, 100, 10, 0, 200, 10, 20, 20, 1, 1);
    b.add("EdgeHigh", "SiO2", Role::Cladding, 100, 10, 820, 200, 10, 20, 20, 1, 1);
    b.voltage(2, 0.1);

    b.setting("FLAG_PARTICLES", 0);
    b.setting("WAVE_SOLVER", 2);
    b.setting("CONFY", 0); // the simulator's CONFY=TRUE: the sheet is one cell thick along y
    b.setting("CONFZ", 1); // the simulator's CONFZ=FALSE: waves spread across the ribbon
    b.setting("DTSCHO", 1e-16);
    b.setting("DXSCHO", 1e-9);
    b.setting("DYSCHO", 1e-9);
    b.injectFromContacts();
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        err << "usage: make_examples OUTPUT_FOLDER (run from the repository root)" << Qt::endl;
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    MaterialsManager &registry = *MaterialsManager::getInstance();
    GeneralCatalogue general;
    QList<Category> volumCatalogue;
    if (!loadMaterialFolder(kMaterialFolderPath, registry) ||
        !readGeneralCatalogue(kGeneralCataloguePath, general) ||
        !readVolumCatalogue(kVolumCataloguePath, volumCatalogue)) {
        err << "run from the repository root: data/ not found" << Qt::endl;
        return 2;
    }

    const struct {
        const char *file;
        std::function<void(Builder &)> build;
    } examples[] = {
        {"classical_mosfet.txt", classicalMosfet},
        {"tunnelling_wire.txt", tunnellingWire},
        {"graphene_ribbon.txt", grapheneRibbon},
    };
    int status = 0;
    for (const auto &example : examples) {
        Builder b{registry, volumCatalogue, {}};
        b.design.version = general.version;
        b.design.categories = general.categories;
        b.design.x = b.design.y = b.design.z = AxisScale{1.0, -10};
        example.build(b);
        const QString path = out.filePath(example.file);
        QString error;
        if (!writeProjectFile(path, b.design, registry, &error)) {
            err << path << ": " << error << Qt::endl;
            return 2;
        }
        const CheckVerdict verdict = checkDesign(b.design, registry);
        QTextStream(stdout) << example.file << ":" << verdict.text() << Qt::endl;
        if (!verdict.ok())
            status = 1;
    }
    return status;
}
