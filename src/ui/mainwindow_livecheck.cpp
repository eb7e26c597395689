// The live design check: the status-bar indicator, the "Check while editing" setting, and the
// design handed to the checker (shared with "Check design").

#include "ui/mainwindow.h"

#include "ui_mainwindow.h"

#include "check/handover.h"
#include "check/livecheck.h"
#include "model/materialsmanager.h"
#include "ui/checkindicator.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>

namespace {

const char kCheckWhileEditingKey[] = "check/whileEditing";

QSettings designerSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Karveno"),
                     QStringLiteral("designer"));
}

} // namespace

CheckInput MainWindow::checkInput() const {
    CheckInput input;
    input.version = version;
    input.volums = &volums;
    input.categories = &categories;
    input.materials = materialsManager->getMaterials();
    input.x = AxisScale{xScaleMesure, xScaleUnit};
    input.y = AxisScale{yScaleMesure, yScaleUnit};
    input.z = AxisScale{zScaleMesure, zScaleUnit};
    return input;
}

void MainWindow::createLiveCheck() {
    liveCheck = new LiveCheck([this] { return checkInput(); }, this);
    checkIndicator = new CheckIndicator(this);
    ui->statusbar->addPermanentWidget(checkIndicator);
    connect(liveCheck, &LiveCheck::checking, checkIndicator, &CheckIndicator::showChecking);
    connect(liveCheck, &LiveCheck::verdictReady, checkIndicator, &CheckIndicator::showVerdict);
    connect(checkIndicator, &CheckIndicator::faultClicked, this,
            [this](const CheckVerdict &verdict) { showFault(verdict.trimmed(), verdict.volum); });
    // Every change of the design is announced by it: edits, undo and redo, New and Open.
    connect(&design, &Design::changed, liveCheck, &LiveCheck::designChanged);

    checkWhileEditing = new QAction(tr("Check while &editing"), this);
    checkWhileEditing->setObjectName(QStringLiteral("actionCheckWhileEditing"));
    checkWhileEditing->setCheckable(true);
    checkWhileEditing->setChecked(designerSettings().value(kCheckWhileEditingKey, true).toBool());
    ui->menuDessign->insertAction(ui->actionSimulate, checkWhileEditing);
    connect(checkWhileEditing, &QAction::toggled, this, [this](bool on) {
        designerSettings().setValue(kCheckWhileEditingKey, on);
        liveCheck->setEnabled(on);
        checkIndicator->setVisible(on);
    });
    liveCheck->setEnabled(checkWhileEditing->isChecked());
    checkIndicator->setVisible(checkWhileEditing->isChecked());
    liveCheck->designChanged();
}
