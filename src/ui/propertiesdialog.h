#ifndef KARVENO_UI_PROPERTIESDIALOG_H
#define KARVENO_UI_PROPERTIESDIALOG_H

// Edits the general settings of the simulation on a copy of the main window's categories; only
// an accepted dialog writes them back.

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
    // The form works on a copy; *categories is written only on accept, and only when the copy
    // differs from it. Cancel, Escape and closing the window leave it as it was.
    PropertiesDialog(QWidget *parent, QList<Category> *categories);
    ~PropertiesDialog() override;

    PropertyForm *propertyForm() const { return form; }

signals:
    // Emitted when an acceptance changed *categories.
    void changeEvent();

public slots:
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
    // The copy the form edits.
    QList<Category> edited;
};

#endif
