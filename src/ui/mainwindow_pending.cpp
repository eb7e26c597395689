// Interim bodies of the window's commands whose real implementation has not landed yet, so that
// the program links and runs. Whoever implements one of these deletes its body here (and its line
// in disablePendingCommands). This file goes away once it is empty.

#include "ui/mainwindow.h"

#include "ui_mainwindow.h"

#include <QListWidgetItem>

// Menu entries and buttons whose command does not exist yet stay disabled.
void disablePendingCommands(Ui::MainWindow &ui) {
    ui.addButton->setEnabled(false);
    ui.actionMaterials_Properties->setEnabled(false);
    ui.actionSimulate->setEnabled(false);
    ui.action3D_Graphs->setEnabled(false);
    ui.actionCheck_design->setEnabled(false);
}

// Volum list and placement --------------------------------------------------------------------

// Interim: the full rebuild only (after Open), so an opened project is listed and drawn.
void MainWindow::updateVolums(QString newit, QString oldit) {
    if (!newit.isEmpty() || !oldit.isEmpty())
        return;
    ui->volumsList->clear();
    for (int i = 0; i < volums.size(); ++i) {
        auto *item = new QListWidgetItem(ui->volumsList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        item->setText(QStringLiteral("%1 [%2]").arg(volums[i].getName()).arg(i + 1));
    }
}

void MainWindow::on_volumsList_itemChanged(QListWidgetItem *item) {
    const QString name = item->text().section(QLatin1Char('['), 0, 0).trimmed();
    for (Volum &volum : volums) {
        if (volum.getName() == name)
            volum.setVisible(item->checkState() != Qt::Unchecked);
    }
}

void MainWindow::on_deleteButton_clicked() {}
void MainWindow::on_editButton_clicked() {}
void MainWindow::on_addButton_clicked() {}
void MainWindow::on_volumsList_itemClicked(QListWidgetItem *) {}
void MainWindow::on_duplicateButton_clicked() {}
void MainWindow::volumMovedSlot(double, double, double) {}
void MainWindow::checkVolumClicked(double, double, double) {}
void MainWindow::checkVolumDialog(double, double, double) {}
void MainWindow::changeVolumList(QString) {}

bool MainWindow::existVolum(QString name) {
    for (const Volum &volum : volums) {
        if (volum.getName() == name)
            return true;
    }
    return false;
}

double MainWindow::getMaxVolumsX() {
    double m = 0.0;
    for (const Volum &volum : volums)
        m = qMax(m, volum.getMaxX());
    return m;
}

double MainWindow::getMaxVolumsY() {
    double m = 0.0;
    for (const Volum &volum : volums)
        m = qMax(m, volum.getMaxY());
    return m;
}

double MainWindow::getMaxVolumsZ() {
    double m = 0.0;
    for (const Volum &volum : volums)
        m = qMax(m, volum.getMaxZ());
    return m;
}

bool MainWindow::checkOverlap(double, double, double) {
    return true;
}
bool MainWindow::checkInside(double, double, double) {
    return false;
}

// Atomic mode ---------------------------------------------------------------------------------

void MainWindow::setSolidMode() {}
void MainWindow::setAtomicMode() {
    solid->setChecked(true);
}
void MainWindow::recalculatePoints() {}
void MainWindow::editAtomDialog() {}
void MainWindow::deleteAtomSlot() {}

int MainWindow::getNumberOfAtoms() {
    int total = 0;
    for (const Volum &volum : volums)
        total += volum.getNumberOfAtoms();
    return total;
}

// Dialog launchers ----------------------------------------------------------------------------

void MainWindow::materialsDialog() {}

// External programs ---------------------------------------------------------------------------

void MainWindow::on_actionSimulate_triggered() {}
void MainWindow::on_action3D_Graphs_triggered() {}

// Design check --------------------------------------------------------------------------------

void MainWindow::on_checkDesignButton_clicked() {}
