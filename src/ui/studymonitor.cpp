#include "ui/studymonitor.h"
#include "ui_studymonitor.h"

#include "run/localbackend.h"
#include "run/runbackend.h"
#include "run/study.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QMessageBox>
#include <QSet>

namespace {
enum Column { PointColumn = 0 }; // then one column per setting, then the ones below
const char *const kTailColumns[] = {"State", "Progress", "Status"};
} // namespace

StudyMonitor::StudyMonitor(QWidget *parent, RunBackend *runs)
    : QDialog(parent), ui(new Ui::StudyMonitor), backend(runs) {
    ui->setupUi(this);
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Parameter study"));
    connect(ui->cancelPointButton, &QPushButton::clicked, this, &StudyMonitor::cancelSelected);
    connect(ui->cancelAllButton, &QPushButton::clicked, this, [this] {
        if (current)
            current->cancelAll();
    });
    connect(ui->refreshButton, &QPushButton::clicked, this, &StudyMonitor::refresh);
    connect(ui->closeButton, &QPushButton::clicked, this, &QDialog::close);
    if (backend)
        connect(backend, &RunBackend::problem, this, [this](const QString &message) {
            QMessageBox::warning(this, QStringLiteral("Application"), message);
        });
}

StudyMonitor::~StudyMonitor() {
    delete ui;
}

bool StudyMonitor::open(const QString &folder, QString *error) {
    auto *study = new Study(this);
    if (!study->open(folder, error)) {
        delete study;
        return false;
    }
    current = study;
    ui->folderLabel->setText(tr("Study in %1").arg(study->folder()));
    QStringList header{tr("Point")};
    for (const QString &path : study->settingPaths())
        header << path;
    for (const char *name : kTailColumns)
        header << tr(name);
    ui->pointsTable->setColumnCount(int(header.size()));
    ui->pointsTable->setHorizontalHeaderLabels(header);
    ui->pointsTable->setRowCount(int(study->points().size()));
    ui->pointsTable->verticalHeader()->setVisible(false);
    ui->pointsTable->horizontalHeader()->setStretchLastSection(true);
    for (int i = 0; i < study->points().size(); ++i)
        showPoint(i);
    connect(study, &Study::pointChanged, this, [this](int index) {
        showPoint(index);
        showSummary();
    });
    connect(study, &Study::saveFailed, this,
            [this](const QString &message) { ui->summaryLabel->setText(message); });
    if (backend)
        study->follow(backend);
    showSummary();
    return true;
}

void StudyMonitor::startStudy() {
    if (current && backend)
        current->start(backend);
    showSummary();
}

void StudyMonitor::showPoint(int index) {
    const StudyPoint &p = current->points().at(index);
    QStringList cells{QString::number(p.number)};
    cells << p.values << p.state;
    cells << (p.state == Study::kReady || p.state == Study::kNotRun
                  ? QString()
                  : QStringLiteral("%1 %").arg(p.progress));
    // A point the checker refused shows the checker's line; a failed one why it failed.
    cells << (p.state == Study::kNotRun                                    ? p.verdict
              : !p.message.isEmpty() && p.state == QLatin1String("failed") ? p.message
                                                                           : p.status);
    for (int c = 0; c < cells.size(); ++c) {
        QTableWidgetItem *item = ui->pointsTable->item(index, c);
        if (!item) {
            item = new QTableWidgetItem;
            ui->pointsTable->setItem(index, c, item);
        }
        item->setText(cells[c]);
    }
}

void StudyMonitor::showSummary() {
    if (!current)
        return;
    const int total = int(current->points().size());
    ui->summaryLabel->setText(
        tr("%1 points: %2 finished, %3 running, %4 queued, %5 failed, %6 cancelled, %7 not run")
            .arg(total)
            .arg(current->count({QStringLiteral("finished")}))
            .arg(current->count({QStringLiteral("running")}))
            .arg(current->count({QStringLiteral("queued"), Study::kReady}))
            .arg(current->count({QStringLiteral("failed")}))
            .arg(current->count({QStringLiteral("cancelled")}))
            .arg(current->count({Study::kNotRun})));
}

void StudyMonitor::cancelSelected() {
    if (!current)
        return;
    QSet<int> rows;
    for (const QTableWidgetItem *item : ui->pointsTable->selectedItems())
        rows.insert(item->row());
    for (int row : rows)
        current->cancel(row);
}

void StudyMonitor::refresh() {
    if (!current)
        return;
    if (backend) {
        current->follow(backend);
        backend->poll();
    }
    for (int i = 0; i < current->points().size(); ++i)
        showPoint(i);
    showSummary();
}

void StudyMonitor::closeEvent(QCloseEvent *event) {
    // Local simulators are children of this designer: closing the monitor would stop them. Jobs
    // of a batch system go on and can be followed again by opening the study.
    if (current && current->active() && qobject_cast<LocalBackend *>(backend.data())) {
        const auto answer = QMessageBox::question(
            this, QStringLiteral("KARVENO Simulator"),
            tr("Points of this study are still running. Closing stops them. Close anyway?"),
            QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            event->ignore();
            return;
        }
        current->cancelAll();
    }
    QDialog::closeEvent(event);
}
