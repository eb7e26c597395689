// The File menu's exports of the device (VTK), its atoms (extended XYZ) and the 3D view (PNG) for
// other tools. They work on a copy of the design and never touch the design or its modified flag.

#include "ui/mainwindow.h"

#include "ui_mainwindow.h"

#include "io/vtkexport.h"
#include "io/xyzexport.h"
#include "model/materialsmanager.h"
#include "ui/imagesizedialog.h"
#include "view/glwidget.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QStatusBar>

namespace {

// Runs `work` under the wait cursor (a large device takes a moment), then says how it went: a box
// with the reason when the file could not be written, else `summary` (with %1 the path and %2 the
// count written) and the export's notes in the status bar.
template <typename Work>
void runExport(QWidget *parent, QStatusBar *statusBar, const QString &path, const QString &summary,
               Work work) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const ExportResult result = work();
    QGuiApplication::restoreOverrideCursor();
    const QString nativePath = QDir::toNativeSeparators(path);
    if (!result.ok()) {
        QMessageBox::warning(
            parent, QObject::tr("Application"),
            QObject::tr("Cannot write file %1:\n%2.").arg(nativePath, result.error),
            QMessageBox::Ok);
        return;
    }
    const QStringList message =
        QStringList{summary.arg(nativePath).arg(result.count)} + result.notes;
    statusBar->showMessage(message.join(QStringLiteral("; ")));
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
    runExport(this, ui->statusbar, path, tr("Device exported to %1: %2 mesh cells"),
              [&] { return writeVtkDevice(path, projectDesign()); });
}

void MainWindow::on_actionExportXyz_triggered() {
    const QString path =
        askExportPath(tr("Export atoms as XYZ"), QStringLiteral("xyz"), tr("Extended XYZ (*.xyz)"));
    if (path.isEmpty())
        return;
    const QString designName =
        curFile.isEmpty() ? tr("New unsaved project") : QFileInfo(curFile).completeBaseName();
    runExport(this, ui->statusbar, path, tr("Atoms exported to %1: %2 atoms"),
              [&] { return writeXyzAtoms(path, projectDesign(), *materialsManager, designName); });
}

void MainWindow::on_actionExportImage_triggered() {
    const qreal ratio = qglWidget->devicePixelRatioF();
    ImageSizeDialog sizeDialog(qglWidget->size() * ratio, this);
    sizeDialog.setWindowTitle(tr("Export view as image"));
    if (sizeDialog.exec() != QDialog::Accepted)
        return;
    const QSize size = sizeDialog.chosenSize();
    const QString path =
        askExportPath(tr("Export view as image"), QStringLiteral("png"), tr("PNG images (*.png)"));
    if (path.isEmpty())
        return;
    const QImage image = qglWidget->renderImage(size);
    QString error;
    if (image.isNull())
        error =
            tr("the view cannot be drawn at %1 x %2 pixels").arg(size.width()).arg(size.height());
    else if (!image.save(path, "PNG"))
        error = tr("the file cannot be written");
    if (!error.isEmpty()) {
        QMessageBox::warning(
            this, tr("Application"),
            tr("Cannot write file %1:\n%2.").arg(QDir::toNativeSeparators(path), error),
            QMessageBox::Ok);
        return;
    }
    ui->statusbar->showMessage(tr("View exported to %1: %2 x %3 pixels")
                                   .arg(QDir::toNativeSeparators(path))
                                   .arg(image.width())
                                   .arg(image.height()));
}

void MainWindow::on_actionViewAll_triggered() {
    qglWidget->viewAll();
}
