// The File menu's exports of the device (VTK) and its atoms (extended XYZ) for other tools. They
// work on a copy of the design and never touch the design or its modified flag.

#include "ui/mainwindow.h"

#include "ui_mainwindow.h"

#include "io/vtkexport.h"
#include "io/xyzexport.h"
#include "model/materialsmanager.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QStatusBar>

namespace {

// Runs `work` under the wait cursor: a large device takes a moment.
template <typename Work> ExportResult withWaitCursor(Work work) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ExportResult result = work();
    QGuiApplication::restoreOverrideCursor();
    return result;
}

} // namespace

QString MainWindow::askExportPath(const QString &title, const QString &suffix,
                                  const QString &filter) {
    const QFileInfo project(curFile);
    const QString start = curFile.isEmpty()
                              ? QDir::current().filePath(QStringLiteral("device.") + suffix)
                              : project.dir().filePath(project.completeBaseName() + '.' + suffix);
    QFileDialog dialog(this, title, start, filter + QStringLiteral(";;") + tr("All files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The suffix is added before the dialog asks about replacing a file, so it asks about the
    // file that will be written.
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void MainWindow::on_actionExportVtk_triggered() {
    const QString path = askExportPath(tr("Export device as VTK"), QStringLiteral("vtu"),
                                       tr("VTK unstructured grid (*.vtu)"));
    if (path.isEmpty())
        return;
    const ExportResult result =
        withWaitCursor([&] { return writeVtkDevice(path, projectDesign()); });
    if (!result.ok()) {
        QMessageBox::warning(
            this, tr("Application"),
            tr("Cannot write file %1:\n%2.").arg(QDir::toNativeSeparators(path), result.error),
            QMessageBox::Ok);
        return;
    }
    QStringList message{tr("Device exported to %1: %2 mesh cells")
                            .arg(QDir::toNativeSeparators(path))
                            .arg(result.count)};
    ui->statusbar->showMessage((message + result.notes).join(QStringLiteral("; ")));
}

void MainWindow::on_actionExportXyz_triggered() {
    const QString path =
        askExportPath(tr("Export atoms as XYZ"), QStringLiteral("xyz"), tr("Extended XYZ (*.xyz)"));
    if (path.isEmpty())
        return;
    const QString designName =
        curFile.isEmpty() ? tr("New unsaved project") : QFileInfo(curFile).completeBaseName();
    const ExportResult result = withWaitCursor(
        [&] { return writeXyzAtoms(path, projectDesign(), *materialsManager, designName); });
    if (!result.ok()) {
        QMessageBox::warning(
            this, tr("Application"),
            tr("Cannot write file %1:\n%2.").arg(QDir::toNativeSeparators(path), result.error),
            QMessageBox::Ok);
        return;
    }
    QStringList message{
        tr("Atoms exported to %1: %2 atoms").arg(QDir::toNativeSeparators(path)).arg(result.count)};
    ui->statusbar->showMessage((message + result.notes).join(QStringLiteral("; ")));
}
