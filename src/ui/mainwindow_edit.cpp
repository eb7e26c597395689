// Editing the design through the undo stack: recording steps, following undo and redo, the
// buttons and status bar that follow the pick, and taking the user to a fault the checker names.

#include "ui/mainwindow.h"

#include "ui_mainwindow.h"

#include <QLabel>
#include <QRegularExpression>
#include <QStatusBar>
#include <QUndoStack>
#include <algorithm>

#include "view/glwidget.h"

namespace {

QString number(double value) {
    return QString::number(value, 'g', 6);
}

} // namespace

void MainWindow::recordEdit(const QString &text, const Design::State &before,
                            const QString &mergeKey) {
    design.record(*undo, text, before, mergeKey);
}

void MainWindow::designChanged(Design::Changes what) {
    if (qglWidget)
        qglWidget->designChanged();
    if (!(what & Design::Restored))
        return;

    // An undo or redo put back whole volums: positions and atom flags of the old design no
    // longer designate anything. The volum pick follows its name (restore keeps the flag).
    selectedAtom = false;
    selectedAtomIndex = -1;
    volumSelectedAtom.clear();
    qglWidget->setEditAtomAction(false);
    qglWidget->setDeleteAtomAction(false);
    selectedVolum = false;
    selectedVolumIndex = -1;
    for (int i = 0; i < volums.size(); ++i) {
        const QList<Atom> &atoms = std::as_const(volums)[i].getAtoms();
        const bool flagged = std::any_of(atoms.cbegin(), atoms.cend(),
                                         [](const Atom &atom) { return atom.isSelected(); });
        if (flagged) {
            for (Atom &atom : volums[i].getAtoms())
                atom.setSelected(false);
        }
        if (!volums.at(i).isSelected())
            continue;
        if (selectedVolum) {
            volums[i].setSelected(false);
        } else {
            selectedVolum = true;
            selectedVolumIndex = i;
        }
    }
    updateVolums(QString(), QString());
    if (selectedVolum)
        changeVolumList(volums.at(selectedVolumIndex).getName());
    updateButtons();
    showSelectionDetails();
}

void MainWindow::updateButtons() {
    const QListWidget *list = ui->volumsList;
    bool highlighted = false;
    for (int row = 0; row < list->count() && !highlighted; ++row)
        highlighted = list->item(row)->isSelected() && volumIndexOfItem(list->item(row)) >= 0;
    const bool picked =
        selectedVolum && selectedVolumIndex >= 0 && selectedVolumIndex < volums.size();
    ui->editButton->setEnabled(highlighted || picked);
    ui->duplicateButton->setEnabled(highlighted || picked);
    ui->deleteButton->setEnabled(picked);
    showSelectionDetails();
}

void MainWindow::showSelectionDetails() {
    if (!selectionLabel)
        return;
    if (!selectedVolum || selectedVolumIndex < 0 || selectedVolumIndex >= volums.size()) {
        selectionLabel->clear();
        return;
    }
    const Volum &v = volums.at(selectedVolumIndex);
    selectionLabel->setText(
        tr("%1: x %2 to %3, y %4 to %5, z %6 to %7; size %8 x %9 x %10; meshes %11 x %12 x %13")
            .arg(v.getName(), number(v.getMinX()), number(v.getMaxX()), number(v.getMinY()),
                 number(v.getMaxY()), number(v.getMinZ()), number(v.getMaxZ()),
                 number(v.getxSize()), number(v.getySize()), number(v.getzSize()))
            .arg(v.getxMalles())
            .arg(v.getyMalles())
            .arg(v.getzMalles()));
}

void MainWindow::showFault(const QString &verdict, int volum) {
    // Volum names are single words; the checker writes them between blanks, sometimes followed
    // by punctuation. The first word that names a volum is the fault's place.
    static const QRegularExpression separators(QStringLiteral("[\\s:;,()]+"));
    static const QRegularExpression codePattern(QStringLiteral("\\[\\s*(\\d+)\\s*\\]"));
    int fault = volum >= 0 && volum < volums.size() ? volum : -1;
    const QStringList words =
        fault < 0 ? verdict.split(separators, Qt::SkipEmptyParts) : QStringList();
    for (QString word : words) {
        while (word.endsWith(QLatin1Char('.')) || word.endsWith(QLatin1Char('!')))
            word.chop(1);
        fault = volumIndex(word);
        if (fault >= 0)
            break;
    }
    if (fault < 0)
        return;

    const QString name = volums.at(fault).getName();
    if (volums.at(fault).isVisible()) {
        if (selectedVolum && selectedVolumIndex >= 0 && selectedVolumIndex < volums.size())
            volums[selectedVolumIndex].setSelected(false);
        pickVolum(fault);
        const Volum &picked = volums.at(fault);
        emit volumSelected(picked.getCenterX(), picked.getCenterY(), picked.getCenterZ());
    }
    emit volumSelected(name);
    updateButtons();
    const QRegularExpressionMatch code = codePattern.match(verdict);
    ui->statusbar->showMessage(code.hasMatch()
                                   ? tr("Error %1 in volum %2").arg(code.captured(1), name)
                                   : tr("Fault in volum %1").arg(name));
}
