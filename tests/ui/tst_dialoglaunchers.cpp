// The window's Settings and Help entries open their dialogs with the right titles, and only an
// accepted dialog marks the project modified. Runs in a temporary folder with small catalogues.

#include "ui/mainwindow.h"

#include "modaldriver.h"
#include "ui/helpdialog.h"
#include "ui_mainwindow.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

class MainWindowTestAccess {
public:
    static Ui::MainWindow &ui(MainWindow &w) { return *w.ui; }
    static bool modified(MainWindow &w) { return w.project_modified; }
    static QList<Category> &categories(MainWindow &w) { return w.categories; }
    static double &yMesure(MainWindow &w) { return w.yScaleMesure; }
    static int &zUnit(MainWindow &w) { return w.zScaleUnit; }
};
using A = MainWindowTestAccess;

namespace {

void writeFile(const QString &path, const QByteArray &content) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// Records the title and class of the dialog, applies `edit` to it and closes it with `button`.
ModalDriver::Answer answer(QString &title, std::function<void(QWidget *)> edit,
                           QDialogButtonBox::StandardButton button) {
    return [&title, edit, button](QWidget *w) {
        title = w->windowTitle();
        edit(w);
        w->findChild<QDialogButtonBox *>("buttonBox")->button(button)->click();
    };
}

} // namespace

class DialogLaunchersTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath("data/materials"));
        writeFile(dir.filePath("data/properties.txt"), "1\n2\n"
                                                       "1 General settings\n"
                                                       "Steps 1 10 Number of time steps\n"
                                                       "1 Output\n"
                                                       "Verbose 0 1 Write more output\n");
        writeFile(dir.filePath("data/volum_properties.txt"),
                  "1\n1 Boundaries\n"
                  "Contact 0 0 The volum is a contact\n");
        writeFile(dir.filePath("data/materials/si.txt"),
                  "M\nSi\n1\n200 100 50\n1 0 0\n0 1 0\n0 0 1\n1\n0 0 0 Si\n0\n");
        QVERIFY(QDir::setCurrent(dir.path()));
    }

    void generalPropertiesWritesAndMarksModifiedOnAccept() {
        MainWindow w;
        QVERIFY(A::ui(w).actionGeneral_Properties->isEnabled());
        QString title;
        ModalDriver driver;
        driver.then(answer(
            title, [](QWidget *d) { d->findChild<QSpinBox *>("Steps")->setValue(25); },
            QDialogButtonBox::Ok));
        A::ui(w).actionGeneral_Properties->trigger();
        QCOMPARE(title, QString("General Properies of the Simulation Project"));
        QCOMPARE(A::categories(w)[0].getProperties()[0].getDoubleValue(), 25.0);
        QVERIFY(A::modified(w));
        QVERIFY(w.windowTitle().startsWith("* "));
    }

    void scaleDialogWritesTheWindowsScaleOnAccept() {
        MainWindow w;
        QVERIFY(A::ui(w).actionGlobal_Scale_Unit->isEnabled());
        QString title;
        ModalDriver driver;
        auto edit = [](QWidget *d) {
            d->findChild<QDoubleSpinBox *>("yMesureBox")->setValue(2.5);
            d->findChild<QSpinBox *>("zScaleExponent")->setValue(-9);
        };
        driver.then(answer(title, edit, QDialogButtonBox::Cancel))
            .then(answer(title, edit, QDialogButtonBox::Ok));
        A::ui(w).actionGlobal_Scale_Unit->trigger();
        QCOMPARE(title, QString("Global Scale Unit"));
        QCOMPARE(A::yMesure(w), 1.0);
        QCOMPARE(A::zUnit(w), -10);
        QVERIFY(!A::modified(w));

        A::ui(w).actionGlobal_Scale_Unit->trigger();
        QCOMPARE(A::yMesure(w), 2.5);
        QCOMPARE(A::zUnit(w), -9);
        QVERIFY(A::modified(w));
    }

    void helpIndexOpensTheHelpWindowOnItsOwn() {
        MainWindow w;
        QCOMPARE(A::ui(w).actionHelp_Index->shortcut(), QKeySequence("Ctrl+H"));
        QString title;
        bool ownWindow = false;
        ModalDriver driver;
        driver.then([&](QWidget *d) {
            title = d->windowTitle();
            ownWindow = qobject_cast<HelpDialog *>(d) && !d->parentWidget();
            static_cast<QDialog *>(d)->reject();
        });
        A::ui(w).actionHelp_Index->trigger();
        QCOMPARE(title, QString("KARVENO Help"));
        QVERIFY(ownWindow);
        QVERIFY(!A::modified(w));
    }
};

QTEST_MAIN(DialogLaunchersTest)
#include "tst_dialoglaunchers.moc"
