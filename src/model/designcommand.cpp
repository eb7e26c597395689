#include "model/designcommand.h"

namespace {

// Command id shared by every design edit; mergeWith then compares the merge keys.
constexpr int kDesignEditId = 0x4b56;

} // namespace

DesignEditCommand::DesignEditCommand(Design &design, const QString &text, Design::State before,
                                     Design::State after, const QString &mergeKey)
    : QUndoCommand(text), design(design), before(std::move(before)), after(std::move(after)),
      mergeKey(mergeKey) {}

void DesignEditCommand::undo() {
    design.restore(before);
    applied = false;
}

void DesignEditCommand::redo() {
    // Pushed after the edit was made: the design already is `after`.
    if (!applied)
        design.restore(after);
    applied = true;
}

int DesignEditCommand::id() const {
    return mergeKey.isEmpty() ? -1 : kDesignEditId;
}

bool DesignEditCommand::mergeWith(const QUndoCommand *other) {
    const auto *next = static_cast<const DesignEditCommand *>(other);
    if (next->mergeKey != mergeKey)
        return false;
    after = next->after;
    // A run of moves that came back where it started is no step at all.
    setObsolete(!before.differences(after));
    return true;
}
