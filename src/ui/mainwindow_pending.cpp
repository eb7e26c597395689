// Interim bodies of the window's commands whose real implementation has not landed yet, so that
// the program links and runs. Whoever implements one of these deletes its body here (and its line
// in disablePendingCommands). This file goes away once it is empty.

#include "ui/mainwindow.h"

#include "ui_mainwindow.h"

#include <QListWidgetItem>

// Menu entries and buttons whose command does not exist yet stay disabled.
void disablePendingCommands(Ui::MainWindow &ui) {
    ui.actionSimulate->setEnabled(false);
    ui.action3D_Graphs->setEnabled(false);
    ui.actionCheck_design->setEnabled(false);
}

// Dialog launchers ----------------------------------------------------------------------------


// External programs ---------------------------------------------------------------------------

void MainWindow::on_actionSimulate_triggered() {}
void MainWindow::on_action3D_Graphs_triggered() {}

// Design check --------------------------------------------------------------------------------

void MainWindow::on_checkDesignButton_clicked() {}
