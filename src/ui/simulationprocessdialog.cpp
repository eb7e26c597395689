#include "ui/simulationprocessdialog.h"
#include "ui_simulationprocessdialog.h"

#include <QDebug>
#include <QMessageBox>
#include <QPushButton>
#include <QTextStream>

namespace {
const QString kTimeTag = QStringLiteral("SIMULATED TIME:");
const QString kOkTag = QStringLiteral("[OK]");
const QString kErrorTag = QStringLiteral("ERROR");
const QString kEndTag = QStringLiteral("Simulation ended correctly");

QString coloured(const QString &line, const char *colour) {
    return QStringLiteral("<span style=\"color: %1; font-weight: bold;\">")
               .arg(QLatin1String(colour)) +
           line + QStringLiteral("</span>");
}
} // namespace

SimulationProcessDialog::SimulationProcessDialog(QWidget *parent, QProcess *process,
                                                 const QString &outputPath)
    : QDialog(parent), ui(new Ui::SimulationProcessDialog), simulator(process),
      logfile(outputPath + QStringLiteral("log.txt")) {
    ui->setupUi(this);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(false);
    setCursor(Qt::BusyCursor);
    // A log that cannot be created does not stop the run; lines are then only shown.
    if (!logfile.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate))
        qDebug() << "Cannot create simulation log" << logfile.fileName() << logfile.errorString();
    if (simulator) {
        connect(simulator, &QProcess::readyReadStandardOutput, this,
                &SimulationProcessDialog::updateProcessStatus);
        connect(simulator, &QProcess::readyReadStandardError, this,
                &SimulationProcessDialog::updateProcessStatus);
        connect(simulator, &QProcess::errorOccurred, this, &SimulationProcessDialog::processFailed);
        connect(simulator, &QProcess::finished, this, [this] {
            updateProcessStatus();
            flushPartialLine();
        });
    }
}

SimulationProcessDialog::~SimulationProcessDialog() {
    delete ui;
}

void SimulationProcessDialog::updateProcessStatus() {
    if (!simulator)
        return;
    // Output may arrive in pieces: only complete lines are interpreted, the rest waits.
    pending += simulator->readAllStandardOutput();
    if (simulator->processChannelMode() != QProcess::MergedChannels)
        pending += simulator->readAllStandardError();
    qsizetype end;
    while ((end = pending.indexOf('\n')) >= 0) {
        const QByteArray raw = pending.left(end + 1);
        pending.remove(0, end + 1);
        handleLine(QString::fromLocal8Bit(raw));
    }
}

void SimulationProcessDialog::flushPartialLine() {
    if (pending.isEmpty())
        return;
    const QByteArray raw = pending;
    pending.clear();
    handleLine(QString::fromLocal8Bit(raw));
}

void SimulationProcessDialog::handleLine(const QString &line) {
    qDebug() << "STATUS: " << line;
    if (logfile.isOpen()) {
        QTextStream log(&logfile);
        log << line;
        if (!line.endsWith(QLatin1Char('\n')))
            log << '\n';
        log.flush();
    }
    QString text = line;
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    interpretLine(text);
}

void SimulationProcessDialog::interpretLine(const QString &line) {
    const qsizetype timeAt = line.indexOf(kTimeTag);
    if (timeAt >= 0) {
        QString value = line.mid(timeAt + kTimeTag.size());
        const qsizetype percent = value.indexOf(QLatin1Char('%'));
        if (percent >= 0)
            value.truncate(percent);
        bool ok = false;
        const int simulated = value.trimmed().toInt(&ok, 10);
        if (ok && simulated == 100) {
            setOkAvailable(true);
            setCursor(Qt::ArrowCursor);
        }
    } else if (line.contains(kOkTag)) {
        ui->statusLabel->setText(line.mid(line.indexOf(kOkTag) + kOkTag.size()).trimmed());
    } else if (line.contains(kErrorTag)) {
        ui->statusLabel->setText(coloured(line, "red"));
        setOkAvailable(false);
    } else if (line.contains(kEndTag)) {
        ui->statusLabel->setText(coloured(line, "green"));
        setOkAvailable(true);
        setCursor(Qt::ArrowCursor);
    }
}

void SimulationProcessDialog::setOkAvailable(bool ok) {
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(ok);
    ui->buttonBox->button(QDialogButtonBox::Cancel)->setEnabled(!ok);
}

void SimulationProcessDialog::processFailed(QProcess::ProcessError error) {
    // Only a failed start leaves the user without any sign of life from the simulator; a crash or a
    // kill after a start is visible in the log and the last status line.
    if (error != QProcess::FailedToStart)
        return;
    const QString reason = simulator ? simulator->errorString() : QString();
    ui->statusLabel->setText(
        coloured(tr("The simulator could not be started: %1").arg(reason), "red"));
    setOkAvailable(false);
    setCursor(Qt::ArrowCursor);
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
