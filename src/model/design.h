#pragma once

#include "model/category.h"
#include "model/material.h"
#include "model/volum.h"

#include <QList>
#include <QObject>
#include <QString>

class MaterialsManager;
class QUndoStack;

// The design being edited: the volums, the general categories, the scale of each axis and the
// state of the material registry it uses. Every change is announced through changed(what), so the
// view, the volum list and a background check can follow without polling.
//
// Edits are recorded after the fact: take state() before changing the design in place, then
// record() the step. record() compares the two states and pushes one undoable command only when
// something changed, so an editor that was cancelled or accepted unchanged leaves no step.
class Design : public QObject {
    Q_OBJECT

public:
    enum Change {
        Volums = 0x1,
        Categories = 0x2,
        Scales = 0x4,
        Materials = 0x8,
        // Set when an undo or redo put the design back to a recorded state: picks and lists
        // built from the old design must be rebuilt.
        Restored = 0x10,
    };
    Q_DECLARE_FLAGS(Changes, Change)
    Q_FLAG(Changes)

    // A copy of everything an edit can change. Copies are cheap: the lists share their data
    // until one side changes, and an unchanged volum shares its atoms.
    struct State {
        QList<Volum> volums;
        QList<Category> categories;
        double scaleMesure[3] = {1.0, 1.0, 1.0};
        int scaleUnit[3] = {-10, -10, -10};
        // The registry's list (the objects that volums and atoms point to) and their values.
        QList<Material *> materialList;
        QList<Material> materialValues;

        // The parts in which the two states differ; empty when they are the same design.
        Changes differences(const State &other) const;
    };

    explicit Design(MaterialsManager *registry, QObject *parent = nullptr);

    QList<Volum> &volums() { return volumList; }
    const QList<Volum> &volums() const { return volumList; }
    QList<Category> &categories() { return generalCategories; }
    const QList<Category> &categories() const { return generalCategories; }
    // Axis 0, 1, 2 is x, y, z; each scale is mesure x 10^unit metres per design length unit.
    double &scaleMesure(int axis) { return mesures[axis]; }
    int &scaleUnit(int axis) { return units[axis]; }
    MaterialsManager *registry() const { return materials; }

    State state() const;
    // Puts the design back to `state` and announces it with the Restored flag. Visibility and
    // selection, which are not part of the design, stay with the volums of the same name.
    void restore(const State &state);

    // Pushes the change from `before` to the design as it is now onto `stack` as one step named
    // `text`, and announces it. Steps with the same non-empty mergeKey that follow each other
    // become one (a run of key moves). Returns false, pushing nothing, when nothing changed.
    bool record(QUndoStack &stack, const QString &text, const State &before,
                const QString &mergeKey = QString());

    // Announces a change made outside record() (New, Open, display-only changes).
    void notify(Changes what) { emit changed(what); }

signals:
    void changed(Design::Changes what);

private:
    MaterialsManager *materials;
    QList<Volum> volumList;
    QList<Category> generalCategories;
    double mesures[3] = {1.0, 1.0, 1.0};
    int units[3] = {-10, -10, -10};
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Design::Changes)
