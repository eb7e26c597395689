// The volum panel and placement: the list and its check boxes, Add, Edit, Duplicate and Delete,
// picking volums and atoms in the view, and keyboard moves.

#include "ui/mainwindow.h"

#include "ui_mainwindow.h"

#include <QDebug>
#include <QListWidgetItem>
#include <QStatusBar>

#include "ui/atomsdialog.h"
#include "ui/volumplacement.h"
#include "ui/volumsdialog.h"
#include "view/glwidget.h"

namespace {

// How long the status bar says what a key move did, in milliseconds.
constexpr int kMoveMessageMs = 4000;

// Clicks within this distance of a box's face still hit the volum.
constexpr double kClickMargin = 0.01;

QString itemText(const QString &name, int position) {
    return name + QStringLiteral(" [") + QString::number(position) + QLatin1Char(']');
}

QString volumNameOfItem(const QListWidgetItem *item) {
    return item->text().section(QLatin1Char('['), 0, 0).trimmed();
}

QListWidgetItem *firstHighlightedItem(QListWidget *list) {
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            return list->item(row);
    }
    return nullptr;
}

} // namespace

int MainWindow::volumIndex(const QString &name) const {
    for (int i = 0; i < volums.size(); ++i) {
        if (volums.at(i).getName() == name)
            return i;
    }
    return -1;
}

int MainWindow::volumIndexOfItem(const QListWidgetItem *item) const {
    return item ? volumIndex(volumNameOfItem(item)) : -1;
}

bool MainWindow::existVolum(QString name) {
    return volumIndex(name) >= 0;
}

double MainWindow::getMaxVolumsX() {
    double largest = 0.0;
    for (const Volum &volum : std::as_const(volums))
        largest = qMax(largest, volum.getMaxX());
    return largest;
}

double MainWindow::getMaxVolumsY() {
    double largest = 0.0;
    for (const Volum &volum : std::as_const(volums))
        largest = qMax(largest, volum.getMaxY());
    return largest;
}

double MainWindow::getMaxVolumsZ() {
    double largest = 0.0;
    for (const Volum &volum : std::as_const(volums))
        largest = qMax(largest, volum.getMaxZ());
    return largest;
}

void MainWindow::lowerPrecisions(const Volum &volum) {
    VolumPlacement::lowerTolerances(xprecision, yprecision, zprecision, volum);
}

// ---------------------------------------------------------------------------------------------
// The list

void MainWindow::updateVolums(QString newit, QString oldit) {
    qglWidget->setSelectMode(true);
    QListWidget *list = ui->volumsList;

    if (newit.isEmpty() && oldit.isEmpty()) {
        list->clear();
        for (int i = 0; i < volums.size(); ++i) {
            auto *item = new QListWidgetItem(list);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            // A rebuild after a deletion keeps the other volums hidden or shown as they were;
            // volums read from a file are all visible.
            item->setCheckState(volums.at(i).isVisible() ? Qt::Checked : Qt::Unchecked);
            item->setText(itemText(volums.at(i).getName(), i + 1));
            lowerPrecisions(volums.at(i));
        }
        return;
    }

    if (oldit.isEmpty()) {
        auto *item = new QListWidgetItem(list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        item->setText(newit);
        const int index = volumIndex(newit);
        if (index >= 0) {
            item->setText(itemText(newit, index + 1));
            lowerPrecisions(volums.at(index));
        }
        return;
    }

    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem *item = list->item(row);
        if (volumNameOfItem(item) != oldit)
            continue;
        // The dialog may have replaced the volum's atoms: an atom picked in it is gone.
        if (selectedAtom && (volumSelectedAtom == oldit || volumSelectedAtom == newit)) {
            volumSelectedAtom = newit; // so that the atom's own flag is found and cleared
            clearAtomPick();
        }
        item->setText(itemText(newit, row + 1));
        for (Volum &volum : volums) {
            if (volum.getName() != newit)
                continue;
            lowerPrecisions(volum);
            // The dialog regenerates the atoms when the size or the material changed; atoms
            // edited by hand in an otherwise unchanged volum are kept.
            if (!volum.areAtomsCalculated())
                volum.calculateAtomicPoints();
        }
        return;
    }
}

void MainWindow::on_volumsList_itemChanged(QListWidgetItem *item) {
    const QString name = volumNameOfItem(item);
    for (Volum &volum : volums) {
        if (volum.getName() == name)
            volum.setVisible(item->checkState() != Qt::Unchecked);
    }
    qglWidget->designChanged();
}

void MainWindow::pickVolum(int index) {
    Volum &volum = volums[index];
    volum.setSelected(true);
    selectedVolumIndex = index;
    selectedVolum = true;
    ui->statusbar->showMessage(tr("Volum ") + volum.getName() + tr(" selected."));
    showSelectionDetails();
    qglWidget->designChanged();
}

void MainWindow::on_volumsList_itemClicked(QListWidgetItem *item) {
    updateButtons();
    if (item->checkState() != Qt::Checked)
        return;
    const QString name = volumNameOfItem(item);
    for (int i = 0; i < volums.size(); ++i) {
        if (volums.at(i).getName() == name) {
            emit volumSelected(volums.at(i).getCenterX(), volums.at(i).getCenterY(),
                               volums.at(i).getCenterZ());
            pickVolum(i);
            bringIntoView(volums.at(i));
        } else {
            volums[i].setSelected(false);
        }
    }
    updateButtons();
    qglWidget->designChanged();
}

void MainWindow::bringIntoView(const Volum &volum) {
    const double min[3] = {volum.getMinX(), volum.getMinY(), volum.getMinZ()};
    const double max[3] = {volum.getMaxX(), volum.getMaxY(), volum.getMaxZ()};
    qglWidget->bringIntoView(min, max);
}

void MainWindow::changeVolumList(QString name) {
    QListWidget *list = ui->volumsList;
    list->clearSelection();
    for (int row = 0; row < list->count(); ++row) {
        if (volumNameOfItem(list->item(row)) == name)
            list->item(row)->setSelected(true);
    }
}

// ---------------------------------------------------------------------------------------------
// Add, Edit, Duplicate, Delete

void MainWindow::runVolumsDialog(const QString &title, bool editing) {
    const Design::State before = design.state();
    QString stepName;
    if (editing) {
        connect(vdial, &VolumsDialog::volumEdited, this,
                [this, &stepName](const QString &newit, const QString &oldit) {
                    stepName = newit == oldit ? tr("Edit %1").arg(newit)
                                              : tr("Edit %1 (was %2)").arg(newit, oldit);
                    updateVolums(newit, oldit);
                });
    } else {
        connect(vdial, &VolumsDialog::volumAdded, this,
                [this, &stepName](const QString &newit, const QString &oldit) {
                    stepName = tr("Add %1").arg(newit);
                    updateVolums(newit, oldit);
                });
    }
    vdial->setWindowTitle(title);
    vdial->exec();
    // A refused entry brings the same dialog back with everything the user typed.
    while (!vdial->isFinish()) {
        vdial->setFinish(true);
        vdial->exec();
    }
    delete vdial;
    vdial = nullptr;
    recordEdit(stepName, before);
    showSelectionDetails();
}

void MainWindow::on_addButton_clicked() {
    vdial = new VolumsDialog(this, &volums, default_volum_props, getMaxVolumsX(), getMaxVolumsY(),
                             getMaxVolumsZ());
    runVolumsDialog(tr("Add a Volum"), false);
}

void MainWindow::editVolum(const QString &name) {
    vdial = new VolumsDialog(this, &volums, name);
    runVolumsDialog(tr("Edit a Volum ") + name, true);
}

void MainWindow::on_editButton_clicked() {
    if (const QListWidgetItem *item = firstHighlightedItem(ui->volumsList))
        editVolum(volumNameOfItem(item));
}

void MainWindow::on_duplicateButton_clicked() {
    const int source = volumIndexOfItem(firstHighlightedItem(ui->volumsList));
    if (source < 0)
        return;
    const Design::State before = design.state();
    Volum copy = volums.at(source);
    const QString name = VolumPlacement::duplicateName(copy.getName(), volums);
    copy.setSelected(false);
    copy.setName(name);
    Coord origin(getMaxVolumsX(), getMaxVolumsY(), getMaxVolumsZ());
    copy.addCoords(origin, copy.getxSize(), copy.getySize(), copy.getzSize());
    copy.calculateAtomicPoints();
    volums.append(copy);
    updateVolums(name, QString());
    // The copy lies beyond everything else: pick it and show where it went.
    if (selectedVolum && selectedVolumIndex >= 0 && selectedVolumIndex < volums.size())
        volums[selectedVolumIndex].setSelected(false);
    pickVolum(int(volums.size()) - 1);
    changeVolumList(name);
    bringIntoView(volums.constLast());
    recordEdit(tr("Duplicate %1").arg(volums.at(source).getName()), before);
}

void MainWindow::on_deleteButton_clicked() {
    if (qglWidget->getRMode() != GLWidget::kSolidMode || !selectedVolum)
        return;
    if (selectedVolumIndex < 0 || selectedVolumIndex >= volums.size()) {
        selectedVolum = false;
        selectedVolumIndex = -1;
        return;
    }
    const Design::State before = design.state();
    const QString name = volums.at(selectedVolumIndex).getName();
    QListWidget *list = ui->volumsList;
    for (int row = list->count() - 1; row >= 0; --row) {
        if (volumNameOfItem(list->item(row)) == name)
            delete list->takeItem(row);
    }
    if (selectedAtom && volumSelectedAtom == name)
        clearAtomPick();
    volums.removeAt(selectedVolumIndex);
    selectedVolum = false;
    selectedVolumIndex = -1;
    updateVolums(QString(), QString());
    emit volumSelected(0.0, 0.0, 0.0);
    updateButtons();
    // Replaces "Volum <name> selected.", which no longer holds.
    ui->statusbar->showMessage(tr("Volum ") + name + tr(" deleted."));
    recordEdit(tr("Delete %1").arg(name), before);
}

// ---------------------------------------------------------------------------------------------
// Keyboard moves

bool MainWindow::checkOverlap(double x, double y, double z) {
    if (selectedVolumIndex < 0 || selectedVolumIndex >= volums.size())
        return false;
    const Volum &picked = volums.at(selectedVolumIndex);
    const VolumPlacement::Box candidate =
        VolumPlacement::boxAt(x, y, z, picked.getxSize(), picked.getySize(), picked.getzSize());
    for (int i = 0; i < volums.size(); ++i) {
        if (i != selectedVolumIndex &&
            VolumPlacement::overlap(candidate, VolumPlacement::boxOf(volums.at(i))))
            return true;
    }
    return false;
}

bool MainWindow::checkInside(double x, double y, double z) {
    return VolumPlacement::insidePositiveOctant(x, y, z);
}

void MainWindow::volumMovedSlot(double dx, double dy, double dz) {
    if (!qglWidget->getSelectMode() || !selectedVolum || selectedVolumIndex < 0 ||
        selectedVolumIndex >= volums.size())
        return;
    // Steps are whole multiples of the tolerances, in single precision like the sizes.
    const float stepX = float(dx) * xprecision;
    const float stepY = float(dy) * yprecision;
    const float stepZ = float(dz) * zprecision;
    const Volum &volum = volums.at(selectedVolumIndex);
    const double x = volum.getMinX() + stepX;
    const double y = volum.getMinY() + stepY;
    const double z = volum.getMinZ() + stepZ;
    // A refused move says why; the rules are those of checkOverlap and checkInside.
    if (!checkInside(x, y, z)) {
        ui->statusbar->showMessage(
            tr("%1 not moved: its origin must stay at x, y and z of 0 or more")
                .arg(volum.getName()),
            kMoveMessageMs);
        return;
    }
    if (checkOverlap(x, y, z)) {
        const VolumPlacement::Box candidate =
            VolumPlacement::boxAt(x, y, z, volum.getxSize(), volum.getySize(), volum.getzSize());
        for (int i = 0; i < volums.size(); ++i) {
            if (i != selectedVolumIndex &&
                VolumPlacement::overlap(candidate, VolumPlacement::boxOf(volums.at(i)))) {
                ui->statusbar->showMessage(
                    tr("%1 not moved: touches %2").arg(volum.getName(), volums.at(i).getName()),
                    kMoveMessageMs);
                break;
            }
        }
        return;
    }
    ui->statusbar->showMessage(tr("Key step %1 x %2 x %3 (Shift: 5 steps)")
                                   .arg(double(xprecision))
                                   .arg(double(yprecision))
                                   .arg(double(zprecision)),
                               kMoveMessageMs);
    const Design::State before = design.state();
    volums[selectedVolumIndex].move(stepX, stepY, stepZ);
    const QString name = volums.at(selectedVolumIndex).getName();
    // A run of key presses on one volum is one step.
    recordEdit(tr("Move %1").arg(name), before, QStringLiteral("move ") + name);
    showSelectionDetails();
}

// ---------------------------------------------------------------------------------------------
// Picking in the view

void MainWindow::checkVolumClicked(double x, double y, double z) {
    if (qglWidget->getRMode() == GLWidget::kSolidMode) {
        // Only what is shown can be picked; on a face two volums share, the one facing the eye.
        const int hit = qglWidget->volumAtPoint(x, y, z, kClickMargin);
        if (hit < 0)
            return;
        const bool pickValid =
            selectedVolum && selectedVolumIndex >= 0 && selectedVolumIndex < volums.size();
        const QString name = volums.at(hit).getName();
        if (pickValid && volums.at(selectedVolumIndex).getName() == name) {
            ui->statusbar->showMessage(tr("Volum ") + name + tr(" unselected."));
            volums[selectedVolumIndex].setSelected(false);
            qglWidget->designChanged();
            selectedVolum = false;
            selectedVolumIndex = -1;
            ui->volumsList->clearSelection();
            emit volumSelected(0.0, 0.0, 0.0);
            updateButtons();
            return;
        }
        if (pickValid)
            volums[selectedVolumIndex].setSelected(false);
        pickVolum(hit);
        const Volum &picked = volums.at(hit);
        emit volumSelected(picked.getCenterX(), picked.getCenterY(), picked.getCenterZ());
        emit volumSelected(name);
        updateButtons();
        return;
    }

    qDebug() << "Mouse Clicked in Atomic Mode. Checking atom selection at" << x << y << z;
    // The nearest atom of a shown volum; hidden volums' atoms are never picked.
    const picking::Hit hit = qglWidget->atomAtPoint(x, y, z);
    if (!hit.isHit())
        return;
    const int hitVolum = hit.volum;
    const int hitAtom = hit.atom;
    if (Atom *old = pickedAtom()) {
        const bool same =
            volumSelectedAtom == volums.at(hitVolum).getName() && selectedAtomIndex == hitAtom;
        qDebug() << "Unselecting the atom" << old->getNOffset();
        clearAtomPick();
        if (same) {
            qglWidget->designChanged();
            return;
        }
    }
    Atom &atom = volums[hitVolum].getAtoms()[hitAtom];
    qDebug() << "Selecting the atom" << atom.getNOffset();
    atom.setSelected(true);
    selectedAtom = true;
    selectedAtomIndex = hitAtom;
    volumSelectedAtom = volums.at(hitVolum).getName();
    qglWidget->setEditAtomAction(true);
    qglWidget->setDeleteAtomAction(true);
    qglWidget->designChanged();
}

void MainWindow::checkVolumDialog(double x, double y, double z) {
    if (qglWidget->getRMode() == GLWidget::kSolidMode) {
        // One dialog: the shown volum under the point, the one facing the eye on a shared face.
        const int hit = qglWidget->volumAtPoint(x, y, z, kClickMargin);
        if (hit >= 0)
            editVolum(volums.at(hit).getName());
        return;
    }

    const picking::Hit hit = qglWidget->atomAtPoint(x, y, z);
    if (hit.isHit()) {
        const int volumPos = hit.volum;
        const Design::State before = design.state();
        AtomsDialog dialog(this, volums[volumPos].getAtoms()[hit.atom]);
        dialog.setWindowTitle(tr("Edit Atom"));
        dialog.exec();
        recordEdit(tr("Edit atom in %1").arg(volums.at(volumPos).getName()), before);
    }
}
