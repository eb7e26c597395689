#include "ui/studydialog.h"
#include "ui_studydialog.h"

#include "model/material.h"
#include "run/runsettings.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {
enum Scope { General = 0, OfVolum = 1, OfMaterial = 2 };

// The setting named `name` in the categories, alternatives of choices included; null for none.
const Property *findSetting(const QList<Category> &categories, const QString &name) {
    for (const Category &category : categories) {
        for (const Property &property : category.getProperties()) {
            if (property.getName() == name)
                return &property;
            for (const Condition &condition : property.getConditions())
                for (const Property &inner : condition.getProperties())
                    if (inner.getName() == name)
                        return &inner;
        }
    }
    return nullptr;
}

// What the values box suggests for a setting: its present value and the form of its values.
QString valueHint(const Property &property) {
    switch (property.getType()) {
    case Property::Boolean:
        return QStringLiteral("now %1; 0, 1").arg(property.getBoolValue() ? 1 : 0);
    case Property::Integer:
        return QStringLiteral("now %1; 1, 2, 5 or start:step:end").arg(property.getIntValue());
    case Property::Choice: {
        QStringList names;
        QString chosen;
        for (const Condition &condition : property.getConditions()) {
            names << condition.getName();
            if (condition.isActivated())
                chosen = condition.getName();
        }
        return QStringLiteral("now %1; of %2").arg(chosen, names.join(QLatin1String(", ")));
    }
    default:
        return QStringLiteral("now %1; 1, 2.5, 5 or start:step:end").arg(property.getDoubleValue());
    }
}

// Every setting name of the categories, the settings of a choice's alternatives included.
QStringList settingNames(const QList<Category> &categories) {
    QStringList names;
    for (const Category &category : categories) {
        for (const Property &property : category.getProperties()) {
            names << property.getName();
            for (const Condition &condition : property.getConditions())
                for (const Property &inner : condition.getProperties())
                    names << inner.getName();
        }
    }
    names.removeDuplicates();
    return names;
}
} // namespace

StudyDialog::StudyDialog(QWidget *parent, const QString &project)
    : QDialog(parent), ui(new Ui::StudyDialog) {
    ui->setupUi(this);
    readProjectFile(project, design, registry);
    rows[0] = {ui->scope1Box, ui->owner1Box, ui->setting1Box, ui->values1Edit};
    rows[1] = {ui->scope2Box, ui->owner2Box, ui->setting2Box, ui->values2Edit};
    for (const Row &row : rows) {
        connect(row.scope, &QComboBox::currentIndexChanged, this, [this, row] { fillOwners(row); });
        connect(row.owner, &QComboBox::currentIndexChanged, this,
                [this, row] { fillSettings(row); });
        connect(row.setting, &QComboBox::currentIndexChanged, this,
                [this, row] { describeSetting(row); });
        connect(row.values, &QLineEdit::textChanged, this, &StudyDialog::showCount);
        fillOwners(row);
    }
    connect(ui->secondGroup, &QGroupBox::toggled, this, &StudyDialog::showCount);
    connect(ui->combineBox, &QComboBox::currentIndexChanged, this, &StudyDialog::showCount);

    const QFileInfo info(project);
    ui->folderEdit->setText(info.absoluteDir().filePath(info.completeBaseName() + "-study"));
    connect(ui->browseButton, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getExistingDirectory(
            this, tr("Choose the study folder."), ui->folderEdit->text(),
            QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
        if (!chosen.isEmpty())
            ui->folderEdit->setText(chosen);
    });
    const RunSettings settings = RunSettings::load();
    ui->backendLabel->setText(settings.backend == RunSettings::Slurm
                                  ? tr("Slurm (change it in Run settings...)")
                                  : tr("Local processes (change it in Run settings...)"));
    showCount();
}

StudyDialog::~StudyDialog() {
    delete ui;
}

void StudyDialog::fillOwners(const Row &row) {
    row.owner->clear();
    const int scope = row.scope->currentIndex();
    if (scope == OfVolum)
        for (const Volum &volum : design.volums)
            row.owner->addItem(volum.getName());
    else if (scope == OfMaterial)
        for (const Material *material : *registry.getMaterials())
            row.owner->addItem(material->getName());
    row.owner->setEnabled(scope != General);
    fillSettings(row);
}

void StudyDialog::fillSettings(const Row &row) {
    row.setting->clear();
    const int scope = row.scope->currentIndex();
    const QString owner = row.owner->currentText();
    if (scope == General) {
        row.setting->addItems(settingNames(design.categories));
    } else if (scope == OfVolum) {
        for (const Volum &volum : design.volums)
            if (volum.getName() == owner)
                row.setting->addItems(settingNames(volum.getCategories()));
    } else if (const Material *material = registry.getMaterial(owner)) {
        row.setting->addItems(settingNames(material->getCategories()));
    }
}

void StudyDialog::describeSetting(const Row &row) {
    const QList<Category> *categories = nullptr;
    const QString owner = row.owner->currentText();
    if (row.scope->currentIndex() == General) {
        categories = &design.categories;
    } else if (row.scope->currentIndex() == OfVolum) {
        for (const Volum &volum : design.volums)
            if (volum.getName() == owner)
                categories = &volum.getCategories();
    } else if (const Material *material = registry.getMaterial(owner)) {
        categories = &material->getCategories();
    }
    const Property *property =
        categories ? findSetting(*categories, row.setting->currentText()) : nullptr;
    row.values->setPlaceholderText(property ? valueHint(*property)
                                            : tr("1, 2, 5 or start:step:end"));
    row.setting->setToolTip(property ? property->getHelp() : QString());
    row.values->setToolTip(row.setting->toolTip());
}

QString StudyDialog::pathOf(const Row &row) const {
    switch (row.scope->currentIndex()) {
    case OfVolum:
        return QStringLiteral("volum/%1/%2")
            .arg(row.owner->currentText(), row.setting->currentText());
    case OfMaterial:
        return QStringLiteral("material/%1/%2")
            .arg(row.owner->currentText(), row.setting->currentText());
    default:
        return QStringLiteral("general/") + row.setting->currentText();
    }
}

bool StudyDialog::readDefinition(StudyDefinition *definition, QString *error) const {
    const int used = ui->secondGroup->isChecked() ? 2 : 1;
    for (int i = 0; i < used; ++i) {
        if (rows[i].setting->currentText().isEmpty()) {
            *error = tr("Choose a setting.");
            return false;
        }
        StudySetting setting;
        setting.path = pathOf(rows[i]);
        if (!StudyDefinition::parseValues(rows[i].values->text(), &setting.values, error)) {
            *error = setting.path + QStringLiteral(": ") + *error;
            return false;
        }
        definition->settings << setting;
    }
    definition->paired = ui->combineBox->currentIndex() == 1;
    return true;
}

StudyDefinition StudyDialog::definition() const {
    StudyDefinition definition;
    QString error;
    readDefinition(&definition, &error);
    return definition;
}

QString StudyDialog::folder() const {
    return ui->folderEdit->text().trimmed();
}

void StudyDialog::showCount() {
    StudyDefinition definition;
    QString error;
    QList<QStringList> points;
    if (readDefinition(&definition, &error) && definition.points(&points, &error))
        ui->countLabel->setText(tr("%n point(s)", nullptr, int(points.size())));
    else
        ui->countLabel->setText(error);
}

void StudyDialog::accept() {
    StudyDefinition definition;
    QString error;
    QList<QStringList> points;
    if (!readDefinition(&definition, &error) || !definition.points(&points, &error)) {
        QMessageBox::warning(this, QString(), error);
        return;
    }
    if (folder().isEmpty()) {
        QMessageBox::warning(this, QString(), tr("Choose the study folder."));
        return;
    }
    QDialog::accept();
}
