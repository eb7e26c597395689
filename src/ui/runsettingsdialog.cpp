#include "ui/runsettingsdialog.h"
#include "ui_runsettingsdialog.h"

RunSettingsDialog::RunSettingsDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::RunSettingsDialog) {
    ui->setupUi(this);
    connect(ui->backendBox, &QComboBox::currentIndexChanged, this,
            &RunSettingsDialog::backendChosen);
    setSettings(RunSettings());
}

RunSettingsDialog::~RunSettingsDialog() {
    delete ui;
}

void RunSettingsDialog::setSettings(const RunSettings &s) {
    shown = s;
    ui->backendBox->setCurrentIndex(s.backend == RunSettings::Slurm ? 1 : 0);
    ui->localLimitBox->setValue(s.localLimit);
    ui->jobNameEdit->setText(s.jobName);
    ui->partitionEdit->setText(s.partition);
    ui->timeEdit->setText(s.timeLimit);
    ui->cpusBox->setValue(s.cpus);
    ui->memoryEdit->setText(s.memory);
    ui->arrayLimitBox->setValue(s.arrayLimit);
    ui->sbatchEdit->setText(s.sbatch);
    ui->squeueEdit->setText(s.squeue);
    ui->scontrolEdit->setText(s.scontrol);
    ui->scancelEdit->setText(s.scancel);
    ui->nodeSimulatorEdit->setText(s.nodeSimulator);
    backendChosen();
}

RunSettings RunSettingsDialog::settings() const {
    RunSettings s = shown;
    // An emptied program field falls back to the program's name, found on the PATH.
    auto program = [](const QLineEdit *edit, const char *name) {
        const QString text = edit->text().trimmed();
        return text.isEmpty() ? QString::fromLatin1(name) : text;
    };
    s.backend = ui->backendBox->currentIndex() == 1 ? RunSettings::Slurm : RunSettings::Local;
    s.localLimit = ui->localLimitBox->value();
    s.jobName = ui->jobNameEdit->text().trimmed();
    s.partition = ui->partitionEdit->text().trimmed();
    s.timeLimit = ui->timeEdit->text().trimmed();
    s.cpus = ui->cpusBox->value();
    s.memory = ui->memoryEdit->text().trimmed();
    s.arrayLimit = ui->arrayLimitBox->value();
    s.sbatch = program(ui->sbatchEdit, "sbatch");
    s.squeue = program(ui->squeueEdit, "squeue");
    s.scontrol = program(ui->scontrolEdit, "scontrol");
    s.scancel = program(ui->scancelEdit, "scancel");
    s.nodeSimulator = ui->nodeSimulatorEdit->text().trimmed();
    return s;
}

void RunSettingsDialog::backendChosen() {
    ui->slurmGroup->setEnabled(ui->backendBox->currentIndex() == 1);
}
