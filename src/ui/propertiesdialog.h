#ifndef KARVENO_UI_PROPERTIESDIALOG_H
#define KARVENO_UI_PROPERTIESDIALOG_H

// Edits the general settings of the simulation: the main window's categories, in place.

#include "model/category.h"

#include <QDialog>
#include <QList>

class PropertyForm;

namespace Ui {
class PropertiesDialog;
}

class PropertiesDialog : public QDialog {
    Q_OBJECT

public:
    // The dialog writes into *categories whenever the user leaves a category and on accept, so
    // values written on earlier row changes stay even when the dialog is cancelled.
    PropertiesDialog(QWidget *parent, QList<Category> *categories);
    ~PropertiesDialog() override;

    PropertyForm *propertyForm() const { return form; }

signals:
    // Emitted at the end of every acceptance, and on rejection when values written on earlier
    // row changes differ from those the dialog opened with; the opener marks its project modified.
    void changeEvent();

public slots:
    void reject() override;
    void on_buttonBox_accepted();
    void on_propertiesList_currentRowChanged(int currentRow);
    void showHelp(const QString &text);
    void showOption(QWidget *subForm);
    void setRadioButtonState(bool state);

protected:
    void changeEvent(QEvent *event) override;

private:
    Ui::PropertiesDialog *ui;
    QList<Category> *categories;
    PropertyForm *form;
    // The categories as they were when the dialog opened, to tell whether a cancel left changes.
    QList<Category> original;
};

#endif
