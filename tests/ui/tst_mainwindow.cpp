// The main window's own behaviour: title and modified flag, the connections made with each new
// view, the project life cycle with its unsaved-changes guard, and the shipped examples opened,
// checked and saved back.

#include "uitest.h"

using namespace uitest;

namespace {

// QObject::receivers is protected; a member pointer formed here applies to any object.
struct ReceiverCount : QObject {
    static int of(const QObject *sender, const char *signal) {
        return (sender->*(&ReceiverCount::receivers))(signal);
    }
};

const QString kTitle = QStringLiteral(" - KARVENO Simulator");
const QString kGuard = QStringLiteral("KARVENO Simulator|The current project has been modified.\n"
                                      "Do you want to save your changes?");
const QString kOpen = QStringLiteral("file:Open a Project");

// A modified window holding one listed volum "gate".
void modifiedWithGate(MainWindow &w) {
    addCube(w, "gate", 0);
    A::setModified(w);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString repository;
    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true); // QSettings away from the user's own
        QSettings().remove(QStringLiteral("files"));
        repository = QDir::currentPath();
        QVERIFY(enterWorkFolder(dir));
    }

    // Every menu command's tip says what it does and names its shortcut, if any.
    void tooltipsDescribeCommandsAndNameTheirShortcuts() {
        MainWindow w;
        QList<QAction *> pending = A::ui(w).menubar->actions();
        int commands = 0, withShortcut = 0;
        while (!pending.isEmpty()) {
            QAction *action = pending.takeFirst();
            if (action->menu()) {
                pending << action->menu()->actions();
                continue;
            }
            if (action->isSeparator())
                continue;
            ++commands;
            const QString tip = action->toolTip();
            QVERIFY2(tip != QString(action->text()).remove('&') ||
                         action->objectName() == "actionOpen",
                     qPrintable(action->text() + ": " + tip));
            if (action->shortcut().isEmpty())
                continue;
            ++withShortcut;
            QVERIFY2(tip.contains(action->shortcut().toString(QKeySequence::NativeText)),
                     qPrintable(action->text() + ": " + tip));
        }
        QVERIFY(commands >= 20);
        QVERIFY(withShortcut >= 7); // Open, New, Save, Quit, Help, Undo, Redo
        // The texts themselves stay as they were.
        QCOMPARE(A::ui(w).actionOpen->text(), QStringLiteral("Open a Project"));
        QVERIFY(A::ui(w).actionOpen->toolTip().startsWith("Open a Project ("));
        const QList<QWidget *> panel{A::ui(w).addButton, A::ui(w).editButton,
                                     A::ui(w).duplicateButton, A::ui(w).deleteButton,
                                     A::ui(w).volumsList};
        for (QWidget *widget : panel)
            QVERIFY2(!widget->toolTip().isEmpty(), qPrintable(widget->objectName()));
    }

    void titleFollowsModifiedFlagAndFile() {
        MainWindow w;
        QCOMPARE(w.windowTitle(), "New unsaved project" + kTitle);
        A::setModified(w);
        QCOMPARE(w.windowTitle(), "* New unsaved project" + kTitle);
        const QString file = path("title.txt");
        QVERIFY(A::saveFile(w, file));
        QCOMPARE(w.windowTitle(), file + kTitle);
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("File saved"));
        A::setModified(w);
        // A language change re-applies the form's texts; the title rule still holds.
        QEvent change(QEvent::LanguageChange);
        QApplication::sendEvent(&w, &change);
        QCOMPARE(w.windowTitle(), "* " + file + kTitle);
    }

    void viewConnectionsExistOnceAfterNewAndOpen() {
        MainWindow w;
        Ui::MainWindow &ui = A::ui(w);
        auto counts = [&] {
            QList<int> c;
            for (const char *signal :
                 {SIGNAL(mouseMoved(QString)), SIGNAL(volumMoved(double, double, double)),
                  SIGNAL(mouseClicked(double, double, double)), SIGNAL(editAtomSignal()),
                  SIGNAL(deleteAtomSignal()), SIGNAL(mouseDoubleClick(double, double, double))})
                c << ReceiverCount::of(A::view(w), signal);
            c << ReceiverCount::of(A::solid(w), SIGNAL(triggered(bool)))
              << ReceiverCount::of(A::atomic(w), SIGNAL(triggered(bool)))
              << ReceiverCount::of(ui.actionShow_Axis, SIGNAL(toggled(bool)))
              << ReceiverCount::of(ui.actionShow_Grid, SIGNAL(toggled(bool)))
              << ReceiverCount::of(&w, SIGNAL(volumSelected(double, double, double)))
              << ReceiverCount::of(&w, SIGNAL(volumSelected(QString)))
              << ReceiverCount::of(&w, SIGNAL(projectLoaded(double, double, double)));
            return c;
        };
        const QList<int> atStart = counts();
        QCOMPARE(atStart.mid(0, 6), QList<int>(6, 1));
        QCOMPARE(atStart.last(), 1);

        QPointer<GLWidget> first = A::view(w);
        A::newSim(w);
        QVERIFY(first.isNull());
        QCOMPARE(counts(), atStart);

        const QString file = path("connections.txt");
        QVERIFY(A::saveFile(w, file));
        ModalDriver driver{ModalDriver::chooseFile(file)};
        A::openSim(w);
        QCOMPARE(driver.seen, QStringList{kOpen});
        QCOMPARE(counts(), atStart);

        // The check marks follow the new view, which starts with the grid hidden.
        ui.actionShow_Grid->setChecked(true);
        A::newSim(w);
        QVERIFY(!ui.actionShow_Grid->isChecked() && !A::view(w)->gridShown());
        ui.actionShow_Grid->setChecked(true);
        QVERIFY(A::view(w)->gridShown());
    }

    // Cancel, or Save of a project never saved with the save dialog cancelled: new, open, quit
    // and close all leave the modified project as it was. Unmodified, nothing is asked.
    void guardThatDoesNotGoOnLeavesEverything_data() {
        boolRows("save", "Cancel", "Save, no file chosen");
    }
    void guardThatDoesNotGoOnLeavesEverything() {
        QFETCH(bool, save);
        MainWindow w;
        ModalDriver driver;
        A::newSim(w);
        QVERIFY(driver.seen.isEmpty());

        modifiedWithGate(w);
        QPointer<GLWidget> view = A::view(w);
        const QString title = w.windowTitle();
        QStringList asked;
        for (int i = 0; i < 4; ++i) {
            driver.then(ModalDriver::press(save ? QMessageBox::Save : QMessageBox::Cancel));
            asked << kGuard;
            if (save) {
                driver.then(ModalDriver::cancel());
                asked << "file:Save Project";
            }
        }
        A::newSim(w);
        A::openSim(w);
        A::ui(w).actionQuit->trigger();
        QVERIFY(!w.close());
        QCOMPARE(driver.seen, asked);
        QCOMPARE(A::view(w), view);
        QCOMPARE(A::volums(w).size(), 1);
        QCOMPARE(itemTexts(w), QStringList{"gate [1]"});
        QVERIFY(A::modified(w));
        QCOMPARE(w.windowTitle(), title);
    }

    void guardDiscardStartsEmptyProjectWithDefaultScale() {
        MainWindow w;
        modifiedWithGate(w);
        A::yMesure(w) = 2.5;
        ModalDriver driver{ModalDriver::press(QMessageBox::Discard)};
        A::newSim(w);
        QCOMPARE(driver.seen, QStringList{kGuard});
        QVERIFY(A::volums(w).isEmpty());
        QCOMPARE(A::ui(w).volumsList->count(), 0);
        QVERIFY(!A::ui(w).deleteButton->isEnabled());
        QCOMPARE(A::yMesure(w), 1.0);
        QCOMPARE(w.windowTitle(), "New unsaved project" + kTitle);

        A::setModified(w);
        driver.then(ModalDriver::press(QMessageBox::Discard));
        QVERIFY(w.close());
    }

    void guardSaveWritesThenGoesOn() {
        MainWindow w;
        const QString file = path("guard-save.txt");
        QVERIFY(A::saveFile(w, file));
        modifiedWithGate(w);
        ModalDriver driver{ModalDriver::press(QMessageBox::Save), ModalDriver::cancel()};
        A::openSim(w);
        QCOMPARE(driver.seen, QStringList({kGuard, kOpen}));
        QVERIFY(!A::modified(w));
        QCOMPARE(A::curFile(w), file);
        QVERIFY(readFile(file).contains("\ngate\n"));
    }

    void saveAsAddsTxtExtension_data() {
        QTest::addColumn<QString>("written"); // the tag is the name typed
        QTest::newRow("plain") << "plain.txt";
        QTest::newRow("kept.txt") << "kept.txt";
        QTest::newRow("upper.TXT") << "upper.TXT.txt";
    }
    void saveAsAddsTxtExtension() {
        QFETCH(QString, written);
        const QString typed = QTest::currentDataTag();
        MainWindow w;
        A::setModified(w);
        ModalDriver driver{ModalDriver::chooseFile(path(typed))};
        QVERIFY(A::saveAs(w));
        QCOMPARE(A::curFile(w), path(written));
        QVERIFY(QFile::exists(path(written)));
        QVERIFY(!A::modified(w));
    }

    void saveAsAsksBeforeReplacingTheExtendedName() {
        // "report" is typed, "report.txt" holds another project: the dialog only saw "report".
        const QString other = path("report.txt");
        QVERIFY(writeFile(other, "another project\n"));
        MainWindow w;
        A::setModified(w);
        ModalDriver driver{ModalDriver::chooseFile(path("report")),
                           ModalDriver::press(QMessageBox::No)};
        QVERIFY(!A::saveAs(w));
        QCOMPARE(driver.seen.last(), "KARVENO Simulator|" + QDir::toNativeSeparators(other) +
                                         " already exists.\nDo you want to replace it?");
        QCOMPARE(readFile(other), QByteArray("another project\n"));
        QVERIFY(A::modified(w));

        driver.then(ModalDriver::chooseFile(path("report")))
            .then(ModalDriver::press(QMessageBox::Yes));
        QVERIFY(A::saveAs(w));
        QCOMPARE(A::curFile(w), other);
        QVERIFY(readFile(other).startsWith("1\nP "));
    }

    void failedWriteKeepsStateAndPreviousFile() {
        MainWindow w;
        const QString good = path("previous.txt");
        QVERIFY(A::saveFile(w, good));
        const QByteArray before = readFile(good);
        modifiedWithGate(w);
        ModalDriver driver{ModalDriver::press(QMessageBox::Ok)};
        const QString bad = path("no-such-folder/project.txt");
        QVERIFY(!A::saveFile(w, bad));
        QCOMPARE(driver.seen.size(), 1);
        QVERIFY(driver.seen.at(0).startsWith("Application|Cannot write file "));
        QVERIFY(driver.seen.at(0).contains(QDir::toNativeSeparators(bad)));
        QCOMPARE(A::curFile(w), good);
        QVERIFY(A::modified(w));
        QCOMPARE(readFile(good), before);
    }

    void openListsEveryVolumCheckedAndNamesTheProject() {
        const QString file = path("two-volums.txt");
        MainWindow w;
        addCube(w, "source", 0);
        addCube(w, "drain", 1);
        A::volums(w)[1].setVisible(false);
        QVERIFY(A::saveFile(w, file));
        ModalDriver driver{ModalDriver::chooseFile(file)};
        A::openSim(w);
        QCOMPARE(itemTexts(w), QStringList({"source [1]", "drain [2]"}));
        QCOMPARE(A::ui(w).volumsList->item(1)->checkState(), Qt::Checked);
        QVERIFY(A::volums(w).at(1).isVisible());
        QCOMPARE(w.windowTitle(), file + kTitle);
    }

    // Data files read with problems are listed with file and line in one box at start; used.
    void dataProblemsAreListedAtStart() {
        const QString bad = path("data/materials/bad.txt");
        QVERIFY(writeFile(bad, "M\nBad\n2\n200 100 50\n1 0 x\n0 1 0\n0 0 1\n1\n0 0 0 Bad\n0\n"));
        QString listed;
        ModalDriver driver{[&listed](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            listed = box ? box->informativeText() : QString();
            ModalDriver::press(QMessageBox::Ok)(w);
        }};
        {
            MainWindow w;
            QFile::remove(bad);
            QVERIFY(MaterialsManager::getInstance()->getMaterial(QStringLiteral("Bad")));
        }
        QCOMPARE(driver.seen,
                 QStringList{"Application|Some catalogues or materials were read with problems. "
                             "What was read is used; the files are left as they are."});
        QVERIFY2(listed.contains(QDir::toNativeSeparators(bad) + ":5:"), qPrintable(listed));
    }

    // A file gone once chosen, or a pipe (refused before it is opened: reading it would block),
    // leaves the project as it was.
    void unreadableFileLeavesProjectUntouched() {
        const QString fifo = path("pipe.txt");
        QVERIFY(QFile::exists(fifo) || mkfifo(qPrintable(fifo), 0600) == 0);
        MainWindow w;
        const QString current = path("current.txt");
        QVERIFY(A::saveFile(w, current));
        modifiedWithGate(w);
        QPointer<GLWidget> view = A::view(w);
        const QString vanishing = path("vanishing.txt");
        QVERIFY(writeFile(vanishing, "1\nP 0\nM 0\nV 1 1 1 0\n"));
        ModalDriver driver{ModalDriver::press(QMessageBox::Discard),
                           ModalDriver::chooseFile(vanishing, true),
                           ModalDriver::press(QMessageBox::Ok)};
        A::openSim(w);
        QCOMPARE(driver.seen.size(), 3);
        QVERIFY(driver.seen.at(2).startsWith("Application|Cannot read file "));
        driver.then(ModalDriver::press(QMessageBox::Discard))
            .then(ModalDriver::press(QMessageBox::Ok));
        QVERIFY(!w.openProject(fifo));
        QCOMPARE(driver.seen.mid(3), QStringList({kGuard, "Application|Cannot read file " + fifo +
                                                              ":\nIt is not a regular file."}));
        QCOMPARE(A::view(w), view);
        QCOMPARE(itemTexts(w), QStringList{"gate [1]"});
        QCOMPARE(A::curFile(w), current);
        QVERIFY(A::modified(w));
    }

    void missingMarkersWarnOncePerMarker_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("warnings");
        QTest::addColumn<bool>("named");
        QTest::newRow("version only") << QByteArray("1\n") << 3 << false;
        QTest::newRow("no materials") << QByteArray("1\nP 0\nV 1 1 1 0\n") << 1 << true;
        QTest::newRow("complete, empty") << QByteArray("1\nP 0\nM 0\nV 1 1 1 0\n") << 0 << true;
        // A scale line with one field ends the load without naming the project.
        QTest::newRow("short scale line") << QByteArray("1\nP 0\nM 0\nV 3\n") << 0 << false;
    }
    void missingMarkersWarnOncePerMarker() {
        QFETCH(QByteArray, content);
        QFETCH(int, warnings);
        QFETCH(bool, named);
        const QString file = path("markers.txt");
        QVERIFY(writeFile(file, content));
        MainWindow w;
        ModalDriver driver{ModalDriver::chooseFile(file)};
        for (int i = 0; i <= warnings; ++i)
            driver.then(ModalDriver::press(QMessageBox::Ok));
        A::openSim(w);
        // A missing marker or a short scale line is also a reading problem: one box lists them,
        // and the design read is marked modified.
        const bool problems = content != "1\nP 0\nM 0\nV 1 1 1 0\n";
        QCOMPARE(driver.seen.mid(0, warnings + 1),
                 QStringList{kOpen} + QStringList(warnings, "Application|Unexpected file format"));
        QCOMPARE(driver.seen.size(), warnings + (problems ? 2 : 1));
        if (problems)
            QVERIFY(driver.seen.last().startsWith("Application|" + file + " was read with "));
        QCOMPARE(A::curFile(w), named ? file : QString());
        QCOMPARE(A::modified(w), problems);
    }

    // A mistyped number is listed with its line; the design as read is kept and marked
    // modified, and the first save over that file asks first (declined: the file stays as it
    // was). Saving to another file does not ask.
    void fileReadWithProblemsIsNotSavedOverUnasked() {
        const QString file = path("typo.txt");
        const QByteArray typo = "1\nP 0\nM 0\nV 1 1 1 1\na\n1 1 1\n(none)\n-1\n0 0 0\n"
                                "1OO 1 1\n-1\n0\n";
        QVERIFY(writeFile(file, typo));
        MainWindow w;
        ModalDriver driver{ModalDriver::chooseFile(file), ModalDriver::press(QMessageBox::Ok),
                           ModalDriver::press(QMessageBox::Cancel)};
        A::openSim(w);
        QCOMPARE(driver.seen.size(), 2);
        QCOMPARE(driver.seen.at(1), "Application|" + file +
                                        " was read with 1 problem(s). The design as read is kept "
                                        "and marked modified; compare it with the file before "
                                        "saving over it.");
        QCOMPARE(w.windowTitle(), "* " + file + kTitle);
        QCOMPARE(itemTexts(w), QStringList{"a [1]"});
        QVERIFY(!A::save(w));
        QCOMPARE(driver.seen.at(2), "KARVENO Simulator|This file was read with 1 problems. Saving "
                                    "replaces it with the design as read. Save anyway?");
        QCOMPARE(readFile(file), typo);
        QVERIFY(A::modified(w));
        QVERIFY(A::saveFile(w, path("elsewhere.txt")));
        QCOMPARE(driver.seen.size(), 3);
    }

    // A modified design's recovery copy is offered at the next start; saving removes it.
    void unsavedChangesAreRecovered() {
        const RecoveryFiles recovery;
        QFile::remove(recovery.copyPath(QString()));
        {
            MainWindow w;
            A::autosave(w);
            QVERIFY(!QFile::exists(recovery.copyPath(QString()))); // nothing to recover
            modifiedWithGate(w);
            A::autosave(w);
            QVERIFY(QFile::exists(recovery.copyPath(QString())));
        }
        MainWindow w;
        ModalDriver driver{ModalDriver::press(QMessageBox::Yes)};
        w.offerRecovery();
        QCOMPARE(driver.seen,
                 QStringList{"KARVENO Simulator|Recover unsaved changes of New unsaved project?"});
        QCOMPARE(itemTexts(w), QStringList{"gate [1]"});
        QVERIFY(A::modified(w) && A::curFile(w).isEmpty());
        QVERIFY(A::saveFile(w, path("recovered.txt")));
        QVERIFY(!QFile::exists(recovery.copyPath(QString())));
        QVERIFY(recovery.pending().isEmpty());
    }

    void emptyDesignIsNotChecked() {
        MainWindow w;
        ModalDriver driver{ModalDriver::press(QMessageBox::Ok)};
        A::ui(w).actionCheck_design->trigger();
        QCOMPARE(driver.seen, QStringList{"Application|No volums to check!"});
    }

    // One line per atom at (origin + position) x scale in Angstrom; a volum without atoms yet
    // has them generated for the file only, and the design is left as it was.
    void exportAtomsWritesEveryAtomAndLeavesTheDesign() {
        MainWindow w;
        useTestMaterials();
        addCube(w, "a", 0); // simple cubic, edge 1: 8 atoms, not generated yet
        addCube(w, "b", 2, 1.0f, "Ox");
        A::volums(w)[1].setAtomsInfo({Atom(0.5, 0.5, 0.25, material("Ox"), true)});
        A::yMesure(w) = 2.0; // 2e-10 m per unit along y
        A::clearModified(w);
        const QString title = w.windowTitle();
        ModalDriver driver{ModalDriver::chooseFile(path("atoms"))};
        A::ui(w).actionExportXyz->trigger();

        const QStringList lines = QString::fromUtf8(readFile(path("atoms.xyz"))).split('\n');
        QCOMPARE(lines.size(), 2 + 9 + 1); // count, comment, atoms, empty after the last end
        QCOMPARE(lines[0], "9");
        QVERIFY2(lines[1].startsWith("Properties=species:S:1:pos:R:3:volum:I:1 ") &&
                     lines[1].contains("design=\"New unsaved project\""),
                 qPrintable(lines[1]));
        QVERIFY(lines.contains("Si 1 2 1 1"));  // the far corner of cube a
        QCOMPARE(lines[10], "Ox 2.5 1 0.25 2"); // b's own atom, kept as edited
        QVERIFY(!A::volums(w)[0].areAtomsCalculated());
        QVERIFY(!A::modified(w));
        QCOMPARE(w.windowTitle(), title);
        QVERIFY(A::ui(w).statusbar->currentMessage().contains("9 atoms"));
    }

    // A verdict naming a volum (as a whole word) picks and highlights it and says the code.
    void checkVerdictPicksTheVolumItNames_data() {
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QString>("picked");
        QTest::addColumn<QString>("status");
        QTest::newRow("error with code")
            << "KARVENO ERROR [ 6005] THE VOLUM gate                 HAS NO DEFINED BOUNDARY"
            << "gate"
            << "Error 6005 in volum gate";
        QTest::newRow("two volums, first named wins")
            << "KARVENO ERROR [ 8006] SOURCE drain-1: AND DRAIN gate. ARE NOT OPPOSED"
            << "drain-1"
            << "Error 8006 in volum drain-1";
        QTest::newRow("refusal") << "Volum gate has no material!"
                                 << "gate"
                                 << "Fault in volum gate";
        QTest::newRow("name inside a word")
            << "KARVENO ERROR [ 3001] GATES" << QString() << QString();
        QTest::newRow("success") << "[OK] SIMULATION DESIGN FREE FROM ERRORS" << QString()
                                 << QString();
    }
    void checkVerdictPicksTheVolumItNames() {
        QFETCH(QString, verdict);
        QFETCH(QString, picked);
        QFETCH(QString, status);
        MainWindow w;
        addCube(w, "gate", 0);
        addCube(w, "drain-1", 2);
        A::showFault(w, verdict);
        QCOMPARE(A::selectedVolum(w), !picked.isEmpty());
        QCOMPARE(w.statusBar()->currentMessage(), status);
        if (picked.isEmpty())
            return;
        QCOMPARE(A::volums(w).at(A::selectedVolumIndex(w)).getName(), picked);
        QList<QListWidgetItem *> items = A::ui(w).volumsList->selectedItems();
        QCOMPARE(items.size(), 1);
        QVERIFY(items.first()->text().startsWith(picked + " ["));
        QVERIFY(A::ui(w).editButton->isEnabled() && A::ui(w).deleteButton->isEnabled());
        QVERIFY(A::selectionDetails(w).startsWith(picked + ": x "));
    }

    // Saved and opened projects are remembered most recent first; one that has gone is said
    // and dropped; opening one, or dropping a file on the window, goes through the guard.
    void recentProjectsAndDroppedFilesOpenThroughTheGuard() {
        QSettings().remove(QStringLiteral("files"));
        MainWindow w;
        addCube(w, "gate", 0);
        QVERIFY(A::saveFile(w, path("first.txt")));
        QVERIFY(A::saveFile(w, path("second.txt")));
        QVERIFY(A::saveFile(w, path("first.txt")));
        QMenu *recent = A::recentMenu(w);
        QCOMPARE(recent->actions().size(), 2);
        QVERIFY(recent->actions().at(0)->text().endsWith("first.txt"));

        QVERIFY(QFile::remove(path("second.txt")));
        ModalDriver driver{ModalDriver::press(QMessageBox::Ok)};
        recent->actions().at(1)->trigger();
        QCOMPARE(driver.seen.size(), 1);
        QVERIFY(driver.seen.first().contains("second.txt"));
        QCOMPARE(recent->actions().size(), 1);

        modifiedWithGate(w); // a second gate: modified, so the guard asks
        driver.seen.clear();
        driver.then(ModalDriver::press(QMessageBox::Cancel));
        recent->actions().at(0)->trigger();
        QCOMPARE(driver.seen, QStringList{kGuard});
        QCOMPARE(A::volums(w).size(), 2);

        driver.seen.clear();
        driver.then(ModalDriver::press(QMessageBox::Discard));
        QVERIFY(QFile::copy(path("first.txt"), path("dropped.txt")));
        QVERIFY(A::drop(w, path("dropped.txt")));
        QTRY_COMPARE(A::curFile(w), path("dropped.txt"));
        QCOMPARE(driver.seen, QStringList{kGuard});
        QCOMPARE(A::volums(w).size(), 1);
        QVERIFY(!A::modified(w));
    }

    void exampleOpensChecksAndSavesBack_data() {
        QTest::addColumn<QString>("file");
        const QDir examples(repository + "/examples");
        for (const QString &name : examples.entryList({"*.txt"}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name)) << examples.absoluteFilePath(name);
        if (examples.entryList({"*.txt"}).isEmpty())
            QSKIP("no example projects");
    }
    void exampleOpensChecksAndSavesBack() {
        QFETCH(QString, file);
        // The shipped catalogues and materials, read from the repository's data folder.
        QVERIFY(QDir::setCurrent(repository));
        auto back = qScopeGuard([&] { QDir::setCurrent(dir.path()); });
        MainWindow w;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        ModalDriver driver{ModalDriver::chooseFile(file),
                           ModalDriver::pressNotingIcon(QMessageBox::Ok, icon)};
        A::openSim(w);
        QVERIFY(!A::volums(w).isEmpty());
        QCOMPARE(A::ui(w).volumsList->count(), A::volums(w).size());
        A::ui(w).actionCheck_design->trigger();
        QCOMPARE(driver.seen,
                 QStringList({kOpen, "Application|[OK] SIMULATION DESIGN FREE FROM ERRORS"}));
        QCOMPARE(icon, QMessageBox::Information);
        const QString copy = path(QFileInfo(file).fileName());
        QVERIFY(A::saveFile(w, copy));
        QCOMPARE(readFile(copy), readFile(file));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
