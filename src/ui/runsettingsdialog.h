#ifndef RUNSETTINGSDIALOG_H
#define RUNSETTINGSDIALOG_H

// "Run settings...": chooses the back-end of Simulate and of studies, and the Slurm options.

#include "run/runsettings.h"

#include <QDialog>

namespace Ui {
class RunSettingsDialog;
}

class RunSettingsDialog : public QDialog {
    Q_OBJECT

public:
    explicit RunSettingsDialog(QWidget *parent = nullptr);
    ~RunSettingsDialog() override;

    void setSettings(const RunSettings &settings);
    RunSettings settings() const;

private:
    void backendChosen();

    Ui::RunSettingsDialog *ui;
    RunSettings shown; // keeps what the form does not show (the poll interval)
};

#endif
