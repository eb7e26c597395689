#include "ui/propertiesdialog.h"

#include "ui/propertyform.h"
#include "ui_propertiesdialog.h"

#include <QEvent>

PropertiesDialog::PropertiesDialog(QWidget *parent, QList<Category> *categories)
    : QDialog(parent), ui(new Ui::PropertiesDialog), categories(categories) {
    ui->setupUi(this);
    form = new PropertyForm(ui->scrollArea, this);
    form->setObjectNamesEnabled(true);

    if (categories) {
        edited = *categories;
        for (const Category &category : std::as_const(edited))
            ui->propertiesList->addItem(category.getName());
    }
    // Show the first category's form straight away rather than waiting for the list's focus.
    if (ui->propertiesList->count() > 0)
        ui->propertiesList->setCurrentRow(0);
}

PropertiesDialog::~PropertiesDialog() {
    delete ui;
}

void PropertiesDialog::on_buttonBox_accepted() {
    form->readBack(PropertyForm::Trace::Deletions);
    if (categories && *categories != edited) {
        *categories = edited;
        emit changeEvent();
    }
}

void PropertiesDialog::on_propertiesList_currentRowChanged(int currentRow) {
    form->showCategory(&edited, currentRow);
}

void PropertiesDialog::showHelp(const QString &text) {
    form->showHelp(text);
}

void PropertiesDialog::showOption(QWidget *subForm) {
    form->showOption(subForm);
}

void PropertiesDialog::setRadioButtonState(bool state) {
    form->setRadioButtonState(state);
}

void PropertiesDialog::changeEvent(QEvent *event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}
