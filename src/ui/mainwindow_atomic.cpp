// Atomic mode: switching between solid boxes and lattice sites, generating the atoms, and
// editing or deleting the picked atom.

#include "ui/mainwindow.h"

#include "ui_mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QDebug>
#include <QMessageBox>
#include <QStatusBar>
#include <QUndoStack>

#include "model/material.h"
#include "ui/atomsdialog.h"
#include "view/glwidget.h"

Atom *MainWindow::pickedAtom() {
    if (!selectedAtom || selectedAtomIndex < 0)
        return nullptr;
    const int volum = volumIndex(volumSelectedAtom);
    if (volum < 0 || selectedAtomIndex >= volums.at(volum).getNumberOfAtoms())
        return nullptr;
    return &volums[volum].getAtoms()[selectedAtomIndex];
}

void MainWindow::clearAtomPick() {
    if (Atom *atom = pickedAtom())
        atom->setSelected(false);
    selectedAtom = false;
    selectedAtomIndex = -1;
    volumSelectedAtom.clear();
    qglWidget->setEditAtomAction(false);
    qglWidget->setDeleteAtomAction(false);
    qglWidget->designChanged();
}

void MainWindow::setSolidMode() {
    ui->modeBox->setCurrentIndex(0);
    qglWidget->setRMode(GLWidget::kSolidMode);
}

void MainWindow::setAtomicMode() {
    bool missing = false;
    for (const Volum &volum : std::as_const(volums))
        missing = missing || (volum.isVisible() && !volum.areAtomsCalculated());

    if (missing) {
        const QMessageBox::StandardButton answer = QMessageBox::warning(
            this, appname,
            tr("To set the atomic mode some atoms of the current project must be calculated.\n"
               "Do you want to calculated them (it may take a while)?"),
            QMessageBox::Ok | QMessageBox::Discard, QMessageBox::Ok);
        if (answer != QMessageBox::Ok) {
            ui->modeBox->setCurrentIndex(0);
            // The view stays solid, and so does the menu's check mark.
            solid->setChecked(true);
            return;
        }
        const Design::State before = design.state();
        const bool wasClean = undo->isClean();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QStringList failed;
        for (Volum &volum : volums) {
            if (!volum.isVisible() || volum.areAtomsCalculated())
                continue;
            if (selectedAtom && volumSelectedAtom == volum.getName())
                clearAtomPick();
            if (!volum.calculateAtomicPoints())
                failed << volum.getName();
        }
        QApplication::restoreOverrideCursor();
        // Generated atoms follow from the design; they do not make a saved project modified.
        recordEdit(tr("Calculate atoms"), before);
        if (wasClean)
            undo->setClean();
        ui->modeBox->setCurrentIndex(1);
        if (!failed.isEmpty()) {
            ui->statusbar->showMessage(
                tr("No atoms generated for %1: no material, no usable lattice or too many atoms.")
                    .arg(failed.join(QStringLiteral(", "))));
        }
    }
    qglWidget->designChanged();
    qglWidget->setRMode(GLWidget::kAtomicMode);
}

void MainWindow::recalculatePoints() {
    clearAtomPick();
    // Every atom is replaced, so no pick survives; the volum pick goes too, highlight included.
    if (selectedVolumIndex >= 0 && selectedVolumIndex < volums.size())
        volums[selectedVolumIndex].setSelected(false);
    selectedVolum = false;
    selectedVolumIndex = -1;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (Volum &volum : volums)
        volum.calculateAtomicPoints();
    QApplication::restoreOverrideCursor();
    qglWidget->designChanged();
}

void MainWindow::editAtomDialog() {
    // The snapshot first: it shares the atoms, and the pointer taken afterwards detaches them.
    const Design::State before = design.state();
    Atom *atom = pickedAtom();
    if (!atom)
        return;
    qDebug() << "Opening Atom Dialog with" << atom->getX() << atom->getY() << atom->getZ()
             << atom->getMaterialName();
    const QString volumName = volumSelectedAtom;
    AtomsDialog dialog(this, *atom);
    dialog.setWindowTitle(tr("Edit Atom"));
    dialog.exec();
    recordEdit(tr("Edit atom in %1").arg(volumName), before);
}

void MainWindow::deleteAtomSlot() {
    if (!pickedAtom())
        return;
    const Design::State before = design.state();
    const int volum = volumIndex(volumSelectedAtom);
    volums[volum].getAtoms().removeAt(selectedAtomIndex);
    selectedAtom = false;
    selectedAtomIndex = -1;
    volumSelectedAtom.clear();
    qglWidget->setEditAtomAction(false);
    qglWidget->setDeleteAtomAction(false);
    recordEdit(tr("Delete atom in %1").arg(volums.at(volum).getName()), before);
}

int MainWindow::getNumberOfAtoms() {
    int total = 0;
    for (const Volum &volum : std::as_const(volums))
        total += volum.getNumberOfAtoms();
    return total;
}
