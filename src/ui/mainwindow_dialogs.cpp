// Launchers of the scale, general properties, materials and help dialogs. Each dialog lives only
// while it runs and changes the design only when accepted; what changed is one undo step.

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
    const Design::State before = design.state();
    scdial = new ScaleDialog(this, &xScaleUnit, &xScaleMesure, &yScaleUnit, &yScaleMesure,
                             &zScaleUnit, &zScaleMesure);
    scdial->setWindowTitle("Global Scale Unit");
    scdial->exec();
    delete scdial;
    scdial = nullptr;
    recordEdit(tr("Change scale"), before);
}

void MainWindow::propertiesDialog() {
    const Design::State before = design.state();
    propdial = new PropertiesDialog(this, &categories);
    propdial->setWindowTitle("General Properies of the Simulation Project");
    propdial->exec();
    delete propdial;
    propdial = nullptr;
    recordEdit(tr("Edit general properties"), before);
}

void MainWindow::materialsDialog() {
    const Design::State before = design.state();
    matdial = new MaterialsDialog(this);
    matdial->setWindowTitle("Material Properies of the Simulation Project");
    const bool accepted = matdial->exec() == QDialog::Accepted;
    const bool basisChanged = accepted && matdial->isVectorListModified();
    delete matdial;
    matdial = nullptr;
    // A cancelled dialog has put the registry back as it found it, colours included, which
    // the view may have shown meanwhile.
    if (basisChanged)
        recalculatePoints();
    if (!design.record(*undo, tr("Edit materials"), before))
        design.notify(Design::Materials);
}
