// Edits that must not be lost or mistaken: dialogs change the project only when accepted, and the
// volum dialog keeps names and materials it cannot show.

#include "ui/materialsdialog.h"
#include "ui/propertiesdialog.h"
#include "ui/volumsdialog.h"

#include "uitest.h"

using namespace uitest;

class TestEditSafety : public QObject {
    Q_OBJECT

    enum Ending { Cancel, Escape, Closed, Ok };

private slots:
    void init() { quietWithTestMaterials(); }

    // Only OK on a settings dialog changes the project, as one undo step back to the same text.
    void dialogsChangeTheProjectOnlyOnOk_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("title"); // not checked when empty
        QTest::addColumn<int>("ending");
        const QStringList commands{"General_Properties", "Materials_Properties",
                                   "Global_Scale_Unit"};
        const QStringList titles{"General Properies of the Simulation Project", QString(),
                                 "Global Scale Unit"};
        const char *endings[] = {"Cancel", "Escape", "closed", "OK"};
        for (int i = 0; i < commands.size(); ++i) {
            for (int ending : {Cancel, Escape, Closed, Ok})
                QTest::addRow("%s, %s", qPrintable(commands[i]), endings[ending])
                    << "action" + commands[i] << titles[i] << ending;
        }
    }
    void dialogsChangeTheProjectOnlyOnOk() {
        QFETCH(QString, command);
        QFETCH(QString, title);
        QFETCH(int, ending);
        QTemporaryDir dir;
        QVERIFY(enterWorkFolder(dir));
        MainWindow w;
        useTestMaterials();
        addCube(w, "a", 0);
        A::clearModified(w);
        const QByteArray before = A::projectText(w);
        QString shown;
        ModalDriver driver{ModalDriver::later([&](QWidget *d) {
            shown = d->windowTitle();
            if (auto *materials = d->findChild<QComboBox *>("materialBox")) {
                child<QDoubleSpinBox>(d, "vector1YBox")->setValue(1.5);
                materials->setCurrentIndex(1);
                child<QDoubleSpinBox>(d, "vector2XBox")->setValue(2.5);
            } else if (auto *rows = d->findChild<QListWidget *>("propertiesList")) {
                child<QSpinBox>(d, "Steps")->setValue(77);
                rows->setCurrentRow(1);
                child<QComboBox>(d, "Verbose")->setCurrentIndex(0);
            } else {
                child<QDoubleSpinBox>(d, "yMesureBox")->setValue(2.5);
            }
            if (ending == Ok)
                press(d, QDialogButtonBox::Ok);
            else if (ending == Cancel)
                press(d, QDialogButtonBox::Cancel);
            else if (ending == Escape)
                QTest::keyClick(d, Qt::Key_Escape);
            else
                d->close();
        })};
        child<QAction>(&w, qPrintable(command))->trigger();
        if (!title.isEmpty())
            QCOMPARE(shown, title);
        QCOMPARE(A::modified(w), ending == Ok);
        QCOMPARE(A::projectText(w) == before, ending != Ok);
        QCOMPARE(w.undoStack()->count(), ending == Ok ? 1 : 0);
        if (ending != Ok)
            return;
        if (command == "actionGeneral_Properties")
            QCOMPARE(A::categories(w)[0].getProperties()[1].getDoubleValue(), 77.0);
        w.undoStack()->undo();
        QCOMPARE(A::projectText(w), before);
        QVERIFY(!A::modified(w));
    }

    void cancelForgetsADuplicatedMaterial() {
        const QList<Material *> before = *MaterialsManager::getInstance()->getMaterials();
        MaterialsDialog d;
        MaterialsManager::getInstance()->addMaterial(cubic("Cu", 3)); // as a duplicate would
        material("Si")->setColor(Qt::red);                            // as the colour button
        d.reject();
        QCOMPARE(*MaterialsManager::getInstance()->getMaterials(), before);
        QCOMPARE(material("Si")->getColor(), QColor(10, 20, 30));
    }

    // The wheel changes a box only once the user has clicked into it, never one passed over.
    void wheelChangesOnlyTheFocusedBox_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("focused");
        for (const char *box : {"Temperature", "Steps"}) {
            QTest::addRow("%s, pointer passing over", box) << box << false;
            QTest::addRow("%s, clicked into", box) << box << true;
        }
        QTest::addRow("volum dialog origin") << "xoriginBox" << false;
        QTest::addRow("materials dialog vector") << "vector1XBox" << false;
    }
    void wheelChangesOnlyTheFocusedBox() {
        QFETCH(QString, box);
        QFETCH(bool, focused);
        QTemporaryDir dir;
        QVERIFY(enterWorkFolder(dir));
        QList<Category> categories{Category("General")};
        categories[0].addProperty(Property("Temperature", Property::Real, 300.0, "K"));
        categories[0].addProperty(Property("Steps", Property::Integer, 10.0, "n"));
        QList<Volum> volums;
        std::unique_ptr<QDialog> d;
        if (box == "xoriginBox")
            d = std::make_unique<VolumsDialog>(nullptr, &volums, categories, 0, 0, 0);
        else if (box == "vector1XBox")
            d = std::make_unique<MaterialsDialog>();
        else
            d = std::make_unique<PropertiesDialog>(nullptr, &categories);
        d->show();
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d.get()));
        auto *target = child<QAbstractSpinBox>(d.get(), qPrintable(box));
        if (focused)
            target->setFocus();
        else
            child<QDialogButtonBox>(d.get(), "buttonBox")->setFocus();
        const QString before = target->text();
        const QPointF at = QPointF(target->rect().center());
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
        QCOMPARE(target->text() != before, focused);
    }

    void volumWithoutMaterialKeepsItUnlessOneIsPicked() {
        QList<Volum> volums{cube("g", 0)};
        volums[0].setMissingMaterialName("Unobtainium");
        {
            VolumsDialog d(nullptr, &volums, "g");
            QCOMPARE(child<QComboBox>(&d, "materialBox")->currentIndex(), -1);
            d.on_buttonBox_accepted();
            QVERIFY(d.isFinish());
        }
        QVERIFY(!volums[0].getMaterial());
        QCOMPARE(volums[0].getMissingMaterialName(), QStringLiteral("Unobtainium"));
        VolumsDialog d(nullptr, &volums, "g");
        child<QComboBox>(&d, "materialBox")->setCurrentIndex(1);
        d.on_buttonBox_accepted();
        QCOMPARE(volums[0].getMaterial(), material("Ox"));
        QVERIFY(volums[0].getMissingMaterialName().isEmpty());
    }

    // At the default sizes every row of the form, help button included, lies in the scroll area.
    void formRowsFitTheDialogs_data() { boolRows("materials", "volum dialog", "materials dialog"); }
    void formRowsFitTheDialogs() {
        QFETCH(bool, materials);
        Category category(QStringLiteral("DC boundary"));
        category.addProperty(Property("DC_CAPACITANCE", Property::RealExponent, 1.234e18,
                                      QStringLiteral("Capacitance (F).")));
        category.addProperty(
            Property("DC_VOLTAGE_END", Property::Real, 4.05, QStringLiteral("Last voltage (V).")));
        category.addProperty(Property("INTERNAL_NOBOUNDARY", Property::Boolean, 1.0,
                                      QStringLiteral("No boundary.")));
        QList<Volum> volums;
        std::unique_ptr<QDialog> d;
        if (materials) {
            material("Si")->setCategories({category});
            d = std::make_unique<MaterialsDialog>();
        } else {
            d = std::make_unique<VolumsDialog>(nullptr, &volums, QList<Category>{category}, 0, 0,
                                               0);
        }
        d->show();
        child<QListWidget>(d.get(), "propertiesList")->setCurrentRow(0);
        QApplication::processEvents();
        QWidget *viewport = child<QScrollArea>(d.get(), "scrollArea")->viewport();
        const QList<QToolButton *> help = viewport->findChildren<QToolButton *>();
        QCOMPARE(help.size(), 3);
        QWidget *content = child<QScrollArea>(d.get(), "scrollArea")->widget();
        const QList<QWidget *> shown = content->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *widget : shown) {
            if (!widget->isVisible())
                continue;
            const QString what = widget->metaObject()->className() + QStringLiteral(" at ") +
                                 QString::number(widget->x());
            const QRect inViewport(widget->mapTo(viewport, QPoint(0, 0)), widget->size());
            QVERIFY2(viewport->rect().contains(inViewport), qPrintable(what));
            for (QWidget *other : shown) {
                QVERIFY2(other == widget || !other->isVisible() ||
                             !other->geometry().intersects(widget->geometry()),
                         qPrintable(what));
            }
        }
    }
};

QTEST_MAIN(TestEditSafety)
#include "tst_editsafety.moc"
