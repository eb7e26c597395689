// Launchers of the scale, general properties, materials and help dialogs. Each dialog lives only
// while it runs; the dialogs that change the design report it through their changeEvent() signal.

#include "ui/helpdialog.h"
#include "ui/mainwindow.h"
#include "ui/materialsdialog.h"
#include "ui/propertiesdialog.h"
#include "ui/scaledialog.h"

void MainWindow::helpDialog() {
    HelpDialog help; // a window of its own, without parent
    help.exec();
}

void MainWindow::scaleDialog() {
    scdial = new ScaleDialog(this, &xScaleUnit, &xScaleMesure, &yScaleUnit, &yScaleMesure,
                             &zScaleUnit, &zScaleMesure);
    scdial->setWindowTitle("Global Scale Unit");
    connect(scdial, qOverload<>(&ScaleDialog::changeEvent), this, &MainWindow::setProjectModified);
    scdial->exec();
    delete scdial;
    scdial = nullptr;
}

void MainWindow::propertiesDialog() {
    propdial = new PropertiesDialog(this, &categories);
    propdial->setWindowTitle("General Properies of the Simulation Project");
    connect(propdial, qOverload<>(&PropertiesDialog::changeEvent), this,
            &MainWindow::setProjectModified);
    propdial->exec();
    delete propdial;
    propdial = nullptr;
}

void MainWindow::materialsDialog() {
    matdial = new MaterialsDialog(this);
    matdial->setWindowTitle("Material Properies of the Simulation Project");
    connect(matdial, qOverload<>(&MaterialsDialog::changeEvent), this,
            &MainWindow::setProjectModified);
    matdial->exec();
    // Asked whatever the outcome: a basis changed before switching materials stays changed.
    const bool basisChanged = matdial->isVectorListModified();
    delete matdial;
    matdial = nullptr;
    if (basisChanged)
        recalculatePoints();
}
