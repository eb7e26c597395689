// Interim bodies of the window's commands whose real implementation has not landed yet, so that
// the program links and runs. Whoever implements one of these deletes its body here (and its line
// in disablePendingCommands). This file goes away once it is empty.

#include "ui/mainwindow.h"

#include "ui_mainwindow.h"

#include <QListWidgetItem>

// Menu entries and buttons whose command does not exist yet stay disabled.
void disablePendingCommands(Ui::MainWindow &ui) {
    ui.actionCheck_design->setEnabled(false);
}

// Dialog launchers ----------------------------------------------------------------------------


// External programs ---------------------------------------------------------------------------


// Design check --------------------------------------------------------------------------------

void MainWindow::on_checkDesignButton_clicked() {}
