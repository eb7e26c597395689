#include "ui/simulationprocessdialog.h"
#include "ui_simulationprocessdialog.h"

#include "run/simulatorline.h"

#include <QFile>
#include <QMessageBox>
#include <QPushButton>

namespace {
QString coloured(const QString &line, const char *colour) {
    return QStringLiteral("<span style=\"color: %1; font-weight: bold;\">")
               .arg(QLatin1String(colour)) +
           line + QStringLiteral("</span>");
}
} // namespace

SimulationProcessDialog::SimulationProcessDialog(QWidget *parent, Run *observed)
    : QDialog(parent), ui(new Ui::SimulationProcessDialog), run(observed) {
    ui->setupUi(this);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(false);
    setCursor(Qt::BusyCursor);
    if (run) {
        connect(run, &Run::lineReceived, this, &SimulationProcessDialog::interpretLine);
        connect(run, &Run::stateChanged, this, &SimulationProcessDialog::runStateChanged);
        connect(run, &Run::detailsChanged, this, &SimulationProcessDialog::showJob);
        showJob();
    }
}

SimulationProcessDialog::~SimulationProcessDialog() {
    delete ui;
}

void SimulationProcessDialog::interpretLine(const QString &line) {
    const SimulatorLine meaning = SimulatorLine::parse(line);
    switch (meaning.kind) {
    case SimulatorLine::Progress:
        if (meaning.percent == 100) {
            setOkAvailable(true);
            setCursor(Qt::ArrowCursor);
        }
        break;
    case SimulatorLine::Status:
        ui->statusLabel->setText(meaning.text);
        break;
    case SimulatorLine::Error:
        ui->statusLabel->setText(coloured(line, "red"));
        setOkAvailable(false);
        break;
    case SimulatorLine::Ended:
        ui->statusLabel->setText(coloured(line, "green"));
        setOkAvailable(true);
        setCursor(Qt::ArrowCursor);
        break;
    case SimulatorLine::Other:
        break;
    }
}

void SimulationProcessDialog::runStateChanged() {
    showJob();
    // A run that failed without an error line of its own (the simulator could not be started,
    // the batch system refused the job) would leave the user without any sign: say why.
    if (run->state() == Run::State::Failed && !run->outputEndsInError() &&
        !run->message().isEmpty()) {
        ui->statusLabel->setText(coloured(run->message().toHtmlEscaped(), "red"));
        setOkAvailable(false);
    }
    if (run->isDone())
        setCursor(Qt::ArrowCursor);
}

void SimulationProcessDialog::showProblem(const QString &message) {
    ui->statusLabel->setText(coloured(message.toHtmlEscaped(), "red"));
}

void SimulationProcessDialog::showJob() {
    // Batch jobs show their id and Slurm's state; local runs are known by a pid the user has no
    // use for, and are only shown while they wait for a free place among the simultaneous runs.
    const QString job = run->jobId();
    const QString word = run->backendState();
    if (!word.isEmpty()) {
        ui->jobLabel->setText(job.isEmpty() ? tr("Slurm: submitting the job...")
                                            : tr("Slurm job %1: %2").arg(job, word));
        ui->jobLabel->setVisible(true);
    } else if (job.isEmpty() && run->state() == Run::State::Queued) {
        ui->jobLabel->setText(
            tr("Waiting for a free run: the limit of simultaneous runs is reached."));
        ui->jobLabel->setVisible(true);
    } else {
        ui->jobLabel->setVisible(false);
    }
}

void SimulationProcessDialog::setOkAvailable(bool ok) {
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(ok);
    ui->buttonBox->button(QDialogButtonBox::Cancel)->setEnabled(!ok);
}

void SimulationProcessDialog::on_pushButton_clicked() {
    QFile status(QStringLiteral("STATUS.TXT"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        QMessageBox::information(nullptr, QStringLiteral("info"), status.errorString());
    const QString text = status.isOpen() ? QString::fromLocal8Bit(status.readAll()) : QString();
    ui->textBrowser->setPlainText(text);
}

void SimulationProcessDialog::changeEvent(QEvent *event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}
