#pragma once

#include "model/design.h"

#include <QUndoCommand>

// One undoable step of a design edit: the design before and after. The edit has already been
// made when the command is pushed, so the first redo does nothing.
class DesignEditCommand : public QUndoCommand {
public:
    DesignEditCommand(Design &design, const QString &text, Design::State before,
                      Design::State after, const QString &mergeKey);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

private:
    Design &design;
    Design::State before;
    Design::State after;
    QString mergeKey;
    bool applied = true;
};
