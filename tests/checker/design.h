#pragma once
// Hand-built checker hand-overs for the checker tests: a design that passes the settings and
// material stages, with helpers to break one rule at a time.

#include "checker/comprova.h"
#include "checker/comprova_state.h"

#include <QByteArray>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace testdesign {

inline void setName(char *field, const char *name) {
    const std::size_t n = std::min<std::size_t>(std::strlen(name), kNameWidth);
    std::memset(field, ' ', kNameWidth);
    std::memcpy(field, name, n);
}

// The verdict line as the user sees it: trailing blanks removed.
inline QByteArray trimmed(const std::string &text) {
    QByteArray v(text.data(), static_cast<int>(text.size()));
    while (v.endsWith(' '))
        v.chop(1);
    return v;
}

// The start of an error line of `code`.
inline QByteArray prefix(int code) {
    char buf[64];
    std::snprintf(buf, sizeof buf, " KARVENO ERROR [%12d ]", code);
    return buf;
}

struct Design {
    std::int32_t version = -1;
    std::vector<parameter_str> general = std::vector<parameter_str>(275);
    std::vector<std::unique_ptr<volum_str>> volums;
    std::vector<std::unique_ptr<material_str>> materials;
    std::int32_t natoms = 0;

    // Settings that pass every rule of the general settings: classical particles without a
    // wave solver, time step 1 fs, eight injection blocks from volum 1 with mechanism 1.
    Design() {
        G(1) = 1e-12; // final time
        G(4) = 1;     // repetitions
        G(5) = 10;    // particles
        G(9) = 1;     // classical particles
        G(15) = 1e-8; // DISPERSIO_X
        G(16) = 1e-8;
        G(17) = 1e-8;
        G(18) = 1e-15; // DTSCHO
        G(47) = 1e-15; // Poisson step, the time step of classical particles
        G(60) = 10.5 * 6.283185005187988 / 1e-8; // ten injection steps
        for (int j = 0; j < 8; ++j) {
            const int b = 67 + 17 * j;
            for (int k = 4; k <= 8; ++k)
                G(b + k) = 0.5;
            G(b + 9) = 1e-14;  // injection time: 10 steps
            G(b + 10) = 1;     // injecting volum
            G(b + 14) = 1e-13; // scattering time: 100 steps
            G(b + 15) = 1;     // mechanism
        }
        G(239) = 1;     // movie frame spacing
        G(242) = 1e-14; // the output block always in force
        G(272) = 1;     // injecting volum of the 2D transport
    }

    double &G(int k) { return general[static_cast<std::size_t>(k - 1)].valor; }

    volum_str &addVolum(const char *name, double xi, double yi, double zi, double xf, double yf,
                        double zf, int mx, int my, int mz, int material = 1) {
        auto v = std::make_unique<volum_str>();
        std::memset(v.get(), 0, sizeof(volum_str));
        setName(v->nom, name);
        v->xi = xi;
        v->yi = yi;
        v->zi = zi;
        v->xf = xf;
        v->yf = yf;
        v->zf = zf;
        v->mxi = v->myi = v->mzi = 1;
        v->mxf = mx;
        v->myf = my;
        v->mzf = mz;
        v->indexname = material;
        volums.push_back(std::move(v));
        return *volums.back();
    }

    // A parabolic material defining scattering mechanism 1.
    material_str &addMaterial(const char *name, int index) {
        auto m = std::make_unique<material_str>();
        std::memset(m.get(), 0, sizeof(material_str));
        setName(m->nom, name);
        m->indexname = index;
        m->parameters[0].valor = 11.7; // records 1 and 2 reach the cells
        m->parameters[1].valor = 4.05;
        m->parameters[15 - 1].valor = 1;  // parabolic dispersion
        m->parameters[285 - 1].valor = 1; // mechanism of scattering block 1
        materials.push_back(std::move(m));
        return *materials.back();
    }

    static double &V(volum_str &v, int k) { return v.parameters[k - 1].valor; }
    static double &M(material_str &m, int k) { return m.parameters[k - 1].valor; }

    std::vector<volum_str> volumArray() const {
        std::vector<volum_str> out;
        out.reserve(volums.size());
        for (const auto &v : volums)
            out.push_back(*v);
        return out;
    }
    std::vector<material_str> materialArray() const {
        std::vector<material_str> out;
        out.reserve(materials.size());
        for (const auto &m : materials)
            out.push_back(*m);
        return out;
    }

    // Runs the entry routine; counts may be overridden to test the limits.
    QByteArray run(std::int32_t nvparam = 10, std::int32_t nmparam = 10, int nvolOverride = -1,
                   int nmatOverride = -1, int nparamOverride = -1) {
        const std::vector<volum_str> vs = volumArray();
        const std::vector<material_str> ms = materialArray();
        const std::int32_t nvol = nvolOverride >= 0 ? nvolOverride : std::int32_t(vs.size());
        const std::int32_t nmat = nmatOverride >= 0 ? nmatOverride : std::int32_t(ms.size());
        const std::int32_t nparam =
            nparamOverride >= 0 ? nparamOverride : std::int32_t(general.size());
        char verdict[kVerdictLength + 1];
        std::memset(verdict, 'x', sizeof verdict);
        comprova_volums_valids(&version, vs.data(), &nvol, &nvparam, ms.data(), &nmat, &nmparam,
                               general.data(), &nparam, nullptr, &natoms, verdict);
        if (verdict[kVerdictLength] != '\0' || std::strlen(verdict) != kVerdictLength)
            return "verdict not terminated at 299 characters";
        return trimmed(std::string(verdict, kVerdictLength));
    }

    // Runs stages 1 to 4 the way the entry routine does, keeping the hand-over alive, so that a
    // test can set what the boundary stage decides and then run the geometry stage itself.
    // Returns the message text after stage 4 (blank when they passed).
    QByteArray runSettingsStages() {
        using namespace comprova;
        held_volums = volumArray();
        held_materials = materialArray();
        State &st = state();
        allocate(st.memory, std::int64_t(kMemorySlots) + 1, 0);
        st.nvol = std::int32_t(held_volums.size());
        st.nmat = std::int32_t(held_materials.size());
        st.hv = held_volums.data();
        st.hm = held_materials.data();
        st.hp = general.data();
        st.hnparam = std::int32_t(general.size());
        st.s = Settings();
        st.text.assign(kVerdictLength, ' ');
        traduccio_malles_entrada(st.hv, st.nvol);
        if (noError())
            traduccio_parametres(st.hp, st.hnparam);
        if (noError())
            gestor_memoria_global_inici();
        if (noError())
            traduccio_materials(st.hm, st.nmat);
        return trimmed(st.text);
    }

    std::vector<volum_str> held_volums;
    std::vector<material_str> held_materials;
};

} // namespace testdesign
