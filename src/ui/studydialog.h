#ifndef STUDYDIALOG_H
#define STUDYDIALOG_H

// "Parameter study...": one or two settings of the saved project (general, of a volum or of a
// material, by name from the categories the property form shows), their values, how they combine,
// and the study folder.

#include "io/projectfile.h"
#include "model/materialsmanager.h"
#include "run/studydefinition.h"

#include <QDialog>

namespace Ui {
class StudyDialog;
}
class QComboBox;
class QLineEdit;

class StudyDialog : public QDialog {
    Q_OBJECT

public:
    // `project` is the saved project file whose settings are offered.
    StudyDialog(QWidget *parent, const QString &project);
    ~StudyDialog() override;

    StudyDefinition definition() const;
    QString folder() const;

public slots:
    void accept() override;

private:
    struct Row {
        QComboBox *scope;
        QComboBox *owner;
        QComboBox *setting;
        QLineEdit *values;
    };
    void fillOwners(const Row &row);
    void fillSettings(const Row &row);
    // Shows the chosen setting's present value, the form of its values and its help.
    void describeSetting(const Row &row);
    QString pathOf(const Row &row) const;
    bool readDefinition(StudyDefinition *definition, QString *error) const;
    void showCount();

    Ui::StudyDialog *ui;
    Row rows[2];
    MaterialsManager registry;
    ProjectDesign design;
};

#endif
