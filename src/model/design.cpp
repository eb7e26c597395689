#include "model/design.h"

#include "model/designcommand.h"
#include "model/materialsmanager.h"

#include <QHash>
#include <QUndoStack>

#include <algorithm>

Design::Changes Design::State::differences(const State &other) const {
    Changes what;
    if (volums != other.volums)
        what |= Volums;
    if (categories != other.categories)
        what |= Categories;
    if (!std::equal(std::begin(scaleMesure), std::end(scaleMesure),
                    std::begin(other.scaleMesure)) ||
        !std::equal(std::begin(scaleUnit), std::end(scaleUnit), std::begin(other.scaleUnit)))
        what |= Scales;
    if (materialList != other.materialList || materialValues != other.materialValues)
        what |= Materials;
    return what;
}

Design::Design(MaterialsManager *registry, QObject *parent)
    : QObject(parent), materials(registry) {}

Design::State Design::state() const {
    State s;
    s.volums = volumList;
    s.categories = generalCategories;
    std::copy(std::begin(mesures), std::end(mesures), std::begin(s.scaleMesure));
    std::copy(std::begin(units), std::end(units), std::begin(s.scaleUnit));
    if (materials) {
        s.materialList = *materials->getMaterials();
        for (const Material *material : std::as_const(s.materialList)) {
            if (material)
                s.materialValues.append(*material);
        }
    }
    return s;
}

void Design::restore(const State &s) {
    const Changes what = state().differences(s);

    QHash<QString, QPair<bool, bool>> flags; // name -> (visible, selected)
    for (const Volum &volum : std::as_const(volumList))
        flags.insert(volum.getName(), {volum.isVisible(), volum.isSelected()});
    volumList = s.volums;
    for (Volum &volum : volumList) {
        const auto found = flags.constFind(volum.getName());
        volum.setVisible(found == flags.constEnd() || found->first);
        volum.setSelected(found != flags.constEnd() && found->second);
    }
    generalCategories = s.categories;
    std::copy(std::begin(s.scaleMesure), std::end(s.scaleMesure), std::begin(mesures));
    std::copy(std::begin(s.scaleUnit), std::end(s.scaleUnit), std::begin(units));
    if (materials) {
        // The objects stay (volums and atoms point to them); their values go back.
        *materials->getMaterials() = s.materialList;
        qsizetype n = 0;
        for (Material *material : std::as_const(s.materialList)) {
            if (material && n < s.materialValues.size())
                *material = s.materialValues.at(n++);
        }
    }
    emit changed(what | Restored);
}

bool Design::record(QUndoStack &stack, const QString &text, const State &before,
                    const QString &mergeKey) {
    State after = state();
    const Changes what = before.differences(after);
    if (!what)
        return false;
    stack.push(new DesignEditCommand(*this, text, before, std::move(after), mergeKey));
    emit changed(what);
    return true;
}
