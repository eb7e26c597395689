#include "ui/mainwindow.h"

#include "ui_mainwindow.h"

#include "check/handover.h"
#include "io/catalogue.h"
#include "io/datalocation.h"
#include "io/materialfiles.h"
#include "io/projectfile.h"
#include "model/materialsmanager.h"
#include "run/localbackend.h"
#include "view/glwidget.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>

#include <cstdlib>
#include <new>

namespace {

// Render mode of a freshly created view.
constexpr int kSolidRenderMode = 0;
// How long "File saved" stays in the status bar, in milliseconds.
constexpr int kFileSavedTimeout = 2000;
// Filters of the Open and Save As dialogs, project files first.
constexpr char kProjectFileFilters[] = "Project files (*.txt);;All files (*)";
// QSettings keys: the folder the file dialogs last used, and the recent projects.
constexpr char kLastFolderKey[] = "files/lastFolder";
constexpr char kRecentProjectsKey[] = "files/recentProjects";
constexpr int kMaxRecentProjects = 10;

// Restores the normal cursor however the enclosing block is left.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// A missing catalogue leaves the program without the settings it is made of: say so, with the
// places looked at or the file that could not be read, and end.
[[noreturn]] void quitForMissingCatalogue(const DataLocation &data, const QString &path) {
    QMessageBox box(QMessageBox::Warning, QObject::tr("Application"),
                    QObject::tr("Properties file not found!"), QMessageBox::Ok);
    box.setInformativeText(data.found()
                               ? QObject::tr("Cannot read %1.").arg(QDir::toNativeSeparators(path))
                               : data.placesTriedText());
    box.exec();
    std::exit(0);
}

// Runs a catalogue reader; memory running out leaves the program without its settings, as a
// missing catalogue does: say so and end.
template <class Read> bool readCatalogue(Read read) {
    try {
        return read();
    } catch (const std::bad_alloc &) {
        QMessageBox::warning(nullptr, QObject::tr("Application"),
                             QObject::tr("Not enough memory to read the catalogues."),
                             QMessageBox::Ok);
        std::exit(0);
    }
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MainWindow>()), appname("KARVENO Simulator") {
    ui->setupUi(this);
    undo = new QUndoStack(this);

    qglWidget = new GLWidget(&volums, kSolidRenderMode);

    materialsManager = MaterialsManager::getInstance();

    ui->verticalLayout_2->addWidget(qglWidget, 0);
    ui->modeBox->hide();
    createMenus();
    createRunMenus();
    selectionLabel = new QLabel(this);
    statusBar()->addPermanentWidget(selectionLabel);
    setAcceptDrops(true);

    loadMaterials();
    loadDefaultVolumProperties();
    loadPropertiesWithCategories();
    showDataProblems();
    updateWindowTitle();
    createLiveCheck();
    describeCommands();
    startAutosave();

    connect(ui->actionSaveAs, &QAction::triggered, this, &MainWindow::saveAs);
    connect(ui->actionSave, &QAction::triggered, this, &MainWindow::save);
    connect(ui->actionOpen, &QAction::triggered, this, &MainWindow::openSim);
    connect(ui->actionGlobal_Scale_Unit, &QAction::triggered, this, &MainWindow::scaleDialog);
    connect(ui->actionGeneral_Properties, &QAction::triggered, this, &MainWindow::propertiesDialog);
    connect(ui->actionMaterials_Properties, &QAction::triggered, this,
            &MainWindow::materialsDialog);
    connect(ui->actionCheck_design, &QAction::triggered, this,
            &MainWindow::on_checkDesignButton_clicked);
    connect(ui->actionAbout, &QAction::triggered, this, &MainWindow::aboutDialog);
    connect(ui->actionHelp_Index, &QAction::triggered, this, &MainWindow::helpDialog);
    connect(this, qOverload<QString>(&MainWindow::volumSelected), this,
            &MainWindow::changeVolumList);
    connect(ui->actionNewSim, &QAction::triggered, this, &MainWindow::newSim);
    connect(undo, &QUndoStack::cleanChanged, this, [this](bool clean) {
        project_modified = !clean;
        updateWindowTitle();
    });
    connect(&design, &Design::changed, this, &MainWindow::designChanged);
    connect(ui->volumsList, &QListWidget::itemSelectionChanged, this, &MainWindow::updateButtons);

    initSlots();
}

MainWindow::~MainWindow() {
    // The view draws from the volum list; it goes first.
    delete qglWidget;
    qglWidget = nullptr;
    volums.clear();
}

// The connections that involve the view. Called again whenever the view is replaced: the new view's
// connections are made, and those whose two ends did not change are not made twice.
void MainWindow::initSlots() {
    connect(qglWidget, SIGNAL(mouseMoved(QString)), ui->statusbar, SLOT(showMessage(QString)),
            Qt::UniqueConnection);
    connect(qglWidget, &GLWidget::volumMoved, this, &MainWindow::volumMovedSlot,
            Qt::UniqueConnection);
    connect(qglWidget, &GLWidget::mouseClicked, this, &MainWindow::checkVolumClicked,
            Qt::UniqueConnection);
    connect(qglWidget, &GLWidget::editAtomSignal, this, &MainWindow::editAtomDialog,
            Qt::UniqueConnection);
    connect(qglWidget, &GLWidget::deleteAtomSignal, this, &MainWindow::deleteAtomSlot,
            Qt::UniqueConnection);
    connect(qglWidget, &GLWidget::mouseDoubleClick, this, &MainWindow::checkVolumDialog,
            Qt::UniqueConnection);
    connect(solid, &QAction::triggered, this, &MainWindow::setSolidMode, Qt::UniqueConnection);
    connect(atomic, &QAction::triggered, this, &MainWindow::setAtomicMode, Qt::UniqueConnection);
    connect(ui->actionShow_Axis, &QAction::toggled, qglWidget, &GLWidget::setAxis,
            Qt::UniqueConnection);
    connect(ui->actionShow_Grid, &QAction::toggled, qglWidget, &GLWidget::setGrid,
            Qt::UniqueConnection);
    connect(this, qOverload<double, double, double>(&MainWindow::volumSelected), qglWidget,
            &GLWidget::focusCameraToVolum, Qt::UniqueConnection);
    connect(this, &MainWindow::projectLoaded, qglWidget, &GLWidget::focusCameraToVolum,
            Qt::UniqueConnection);
}

void MainWindow::createMenus() {
    auto *modeGroup = new QActionGroup(this);
    modeGroup->setExclusive(true);
    solid = new QAction(tr("&Solid"), this);
    atomic = new QAction(tr("&Atomic"), this);
    modeGroup->addAction(solid);
    modeGroup->addAction(atomic);
    solid->setCheckable(true);
    atomic->setCheckable(true);
    solid->setChecked(true);

    QMenu *modeMenu = ui->menuVisualization->addMenu(tr("&Mode"));
    modeMenu->addAction(solid);
    modeMenu->addAction(atomic);

    // Edit menu after the file menu: Undo and Redo name the step they take back or do again.
    auto *editMenu = new QMenu(tr("&Edit"), this);
    editMenu->setObjectName(QStringLiteral("menuEdit"));
    QAction *undoAction = undo->createUndoAction(this, tr("Undo"));
    undoAction->setObjectName(QStringLiteral("actionUndo"));
    undoAction->setShortcut(QKeySequence::Undo);
    QAction *redoAction = undo->createRedoAction(this, tr("Redo"));
    redoAction->setObjectName(QStringLiteral("actionRedo"));
    redoAction->setShortcut(QKeySequence::Redo);
    editMenu->addAction(undoAction);
    editMenu->addAction(redoAction);
    const QList<QAction *> topMenus = ui->menubar->actions();
    ui->menubar->insertMenu(topMenus.size() > 1 ? topMenus.at(1) : nullptr, editMenu);

    recentMenu = new QMenu(tr("Recent projects"), this);
    recentMenu->setObjectName(QStringLiteral("menuRecent"));
    ui->menuMen->insertMenu(ui->actionQuit, recentMenu);
    ui->menuMen->insertSeparator(ui->actionQuit);
    updateRecentMenu();
}

// A tool tip says what a command does and, where it has one, its shortcut, taken from the action
// itself so that the two never disagree.
void MainWindow::describeCommands() {
    const auto describe = [](QAction *action, const QString &what) {
        const QKeySequence key = action->shortcut();
        action->setToolTip(key.isEmpty() ? what
                                         : QStringLiteral("%1 (%2)").arg(
                                               what, key.toString(QKeySequence::NativeText)));
    };
    describe(ui->actionOpen, tr("Open a Project"));
    describe(ui->actionNewSim, tr("Start a new, empty project"));
    describe(ui->actionSave, tr("Save the project to its file"));
    describe(ui->actionSaveAs, tr("Save the project to a new file"));
    describe(ui->actionQuit, tr("Quit the designer"));
    describe(findChild<QAction *>(QStringLiteral("actionUndo")), tr("Take back the last edit"));
    describe(findChild<QAction *>(QStringLiteral("actionRedo")),
             tr("Make the edit taken back again"));
    describe(ui->actionShow_Axis, tr("Show or hide the x (red), y (green) and z (blue) axes"));
    describe(ui->actionShow_Grid, tr("Show or hide the grid on the coordinate planes"));
    describe(solid, tr("Show the volums as solid boxes with their mesh lines"));
    describe(atomic, tr("Show one sphere per atom of each volum"));
    describe(ui->actionGlobal_Scale_Unit, tr("Set the length of one design unit on each axis"));
    describe(ui->actionGeneral_Properties, tr("Edit the general settings of the simulation"));
    describe(ui->actionMaterials_Properties,
             tr("Edit the materials: colour, crystal lattice and settings"));
    describe(ui->actionCheck_design, tr("Check the design against the simulator's rules"));
    describe(checkWhileEditing, tr("Check the design again after every change, in the "
                                   "background, and show the verdict in the status bar"));
    describe(ui->actionSimulate, tr("Save the project and run the simulator on it"));
    describe(findChild<QAction *>(QStringLiteral("actionRun_settings")),
             tr("Choose where runs go (this computer or Slurm) and their options"));
    describe(findChild<QAction *>(QStringLiteral("actionParameter_study")),
             tr("Run the design over a range of values of one or two settings"));
    describe(findChild<QAction *>(QStringLiteral("actionOpen_study")),
             tr("Follow a parameter study made earlier"));
    describe(ui->action3D_Graphs, tr("Start the results viewer"));
    describe(ui->actionHelp_Index, tr("Show the help with the keys of the 3D view"));
    describe(ui->actionAbout, tr("About the KARVENO Simulator designer"));
    // The menus show their tool tips, which Qt leaves off by default.
    for (QMenu *menu : findChildren<QMenu *>())
        menu->setToolTipsVisible(true);

    // The view's own keys act on the picked volum (see the help page's key table).
    ui->addButton->setToolTip(tr("Add a volum beyond the existing ones"));
    ui->editButton->setToolTip(
        tr("Edit the volum highlighted in the list or picked (or double click it in the view)"));
    ui->duplicateButton->setToolTip(
        tr("Copy the volum highlighted in the list or picked and place the copy beyond the "
           "design"));
    ui->deleteButton->setToolTip(tr("Delete the picked volum"));
    ui->volumsList->setToolTip(tr("The volums of the design: click one to pick it (arrow keys, "
                                  "M and N in the view move it); its box shows or hides it"));
}

void MainWindow::updateWindowTitle() {
    QString title;
    if (project_modified)
        title += QStringLiteral("* ");
    title += curFile.isEmpty() ? tr("New unsaved project") : curFile;
    title += QStringLiteral(" - ") + appname;
    setWindowTitle(title);
}

void MainWindow::setProjectModified() {
    // Every change of the design comes through here: the view draws it again.
    if (qglWidget)
        qglWidget->designChanged();
    project_modified = true;
    updateWindowTitle();
}

void MainWindow::changeEvent(QEvent *event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        // The form's own title is a placeholder; the title rule owns the real one.
        updateWindowTitle();
    }
}

void MainWindow::on_actionQuit_triggered() {
    close();
}

void MainWindow::aboutDialog() {
    QMessageBox::about(this, tr("About KARVENO Simulator"),
                       tr("<h1>KARVENO Simulator</h1>"
                          "<p>Copyright &copy; the KARVENO developers. All rights reserved.</p>"
                          "<p><a href=\"https://karveno.example.org/\">Website</a></p>"));
}

// ---------------------------------------------------------------------------------------------
// Catalogues and materials

void MainWindow::loadMaterials() {
    const DataLocation data = DataLocation::find();
    const QStringList folders = data.materialFolders();
    bool found = false;
    try {
        found = loadMaterialFolders(folders, *materialsManager, &dataProblems);
    } catch (const std::bad_alloc &) {
        notEnoughMemory(tr("read the materials"));
        return;
    }
    if (!found) {
        QMessageBox box(QMessageBox::Warning, tr("Application"),
                        tr("No materials info found! You cannot create simulation without them"),
                        QMessageBox::Ok, this);
        box.setInformativeText(
            data.found() ? tr("Looked for material files in:\n  %1")
                               .arg(QDir::toNativeSeparators(folders.join(QStringLiteral("\n  "))))
                         : data.placesTriedText());
        box.exec();
    }
}

void MainWindow::loadDefaultVolumProperties() {
    const DataLocation data = DataLocation::find();
    const QString path = data.filePath(QStringLiteral("volum_properties.txt"));
    ReadProblems problems;
    if (!readCatalogue([&] { return readVolumCatalogue(path, default_volum_props, &problems); }))
        quitForMissingCatalogue(data, path);
    if (!problems.isEmpty())
        dataProblems.append({path, problems});
}

void MainWindow::loadPropertiesWithCategories() {
    const DataLocation data = DataLocation::find();
    const QString path = data.filePath(QStringLiteral("properties.txt"));
    GeneralCatalogue catalogue;
    ReadProblems problems;
    if (!readCatalogue([&] { return readGeneralCatalogue(path, catalogue, &problems); }))
        quitForMissingCatalogue(data, path);
    if (!problems.isEmpty())
        dataProblems.append({path, problems});
    version = catalogue.version;
    categories = catalogue.categories;
}

int MainWindow::getNumberOfProperties() {
    return flattenedCount(categories);
}

// ---------------------------------------------------------------------------------------------
// Project life cycle

void MainWindow::setCurrentFile(const QString &fileName) {
    curFile = fileName;
}

bool MainWindow::maybeSave() {
    if (!project_modified)
        return true;
    const QMessageBox::StandardButton answer = QMessageBox::warning(
        this, appname,
        tr("The current project has been modified.\nDo you want to save your changes?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return save(); // nothing written (dialog cancelled, write failed): keep the changes
    if (answer == QMessageBox::Discard)
        discardRecovery();
    return answer == QMessageBox::Discard;
}

void MainWindow::resetDesign() {
    volums.clear();
    xScaleMesure = yScaleMesure = zScaleMesure = 1.0;
    xScaleUnit = yScaleUnit = zScaleUnit = -10;
    selectedVolum = false;
    selectedVolumIndex = -1;
    selectedAtom = false;
    selectedAtomIndex = -1;
    volumSelectedAtom.clear();

    ui->volumsList->clear();
    ui->editButton->setEnabled(false);
    ui->deleteButton->setEnabled(false);
}

void MainWindow::replaceView() {
    delete qglWidget;
    solid->setChecked(true);
    qglWidget = new GLWidget(&volums, kSolidRenderMode);
    ui->verticalLayout_2->addWidget(qglWidget, 0);
    // The new view starts with axes shown and the grid hidden; the menu says the same.
    ui->actionShow_Axis->setChecked(qglWidget->axisShown());
    ui->actionShow_Grid->setChecked(qglWidget->gridShown());
    initSlots();
    // Keys work in the new view at once, without a mouse pass over it first.
    qglWidget->setFocus(Qt::OtherFocusReason);
}

void MainWindow::newSim() {
    if (!maybeSave())
        return;
    resetDesign();
    replaceView();
    setCurrentFile(QString());
    // A new project starts from the files: material edits and materials brought in by an opened
    // project are dropped. The default volum categories stay as read at start-up.
    loadMaterials();
    loadPropertiesWithCategories();
    showDataProblems();
    projectEncoding = TextEncoding::Utf8;
    readProblemsFile.clear();
    startProject();
}

void MainWindow::openSim() {
    if (!maybeSave())
        return;
    const QString fileName = QFileDialog::getOpenFileName(this, tr("Open a Project"), startFolder(),
                                                          tr(kProjectFileFilters));
    if (fileName.isEmpty())
        return;
    rememberFolder(fileName);
    if (readableProject(fileName))
        readProject(fileName);
}

bool MainWindow::openProject(const QString &fileName) {
    if (!maybeSave())
        return false;
    if (!readableProject(fileName))
        return false;
    readProject(fileName);
    return true;
}

bool MainWindow::readableProject(const QString &fileName) {
    // The current project stays untouched unless the chosen file can actually be read. A folder,
    // a device or a pipe is refused before it is opened: reading one may block or never end.
    const QFileInfo info(fileName);
    const bool regular = !info.exists() || info.isFile();
    QFile probe(fileName);
    if (!regular || !probe.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QMessageBox::warning(
            this, tr("Application"),
            tr("Cannot read file %1:\n%2.")
                .arg(QDir::toNativeSeparators(fileName),
                     regular ? probe.errorString() : tr("It is not a regular file")),
            QMessageBox::Ok);
        return false;
    }
    return true;
}

void MainWindow::readProject(const QString &fileName) {
    if (!loadFile(fileName))
        return;
    qglWidget->setSelectMode(true);
    if (!curFile.isEmpty())
        addRecentProject(curFile);
    startProject();
    // A design read with problems is not the file: the title says so until it is saved.
    if (!readProblemsFile.isEmpty()) {
        project_modified = true;
        updateWindowTitle();
    }
    emit projectLoaded(getMaxVolumsX(), getMaxVolumsY(), getMaxVolumsZ());
}

void MainWindow::startProject() {
    undo->clear();
    project_modified = false;
    statusBar()->clearMessage();
    showSelectionDetails();
    design.notify(Design::Volums | Design::Categories | Design::Scales | Design::Materials);
    // The keys move the picked volum and the camera: the view takes them without a click first.
    qglWidget->setFocus();
    // The whole design in view once, instead of a close-up of its far corner.
    qglWidget->viewAll();
    updateWindowTitle();
}

bool MainWindow::save() {
    if (curFile.isEmpty())
        return saveAs();
    return saveFile(curFile);
}

bool MainWindow::saveAs() {
    const QString suggestion = curFile.isEmpty()
                                   ? startFolder()
                                   : QDir(startFolder()).filePath(QFileInfo(curFile).fileName());
    QString fileName =
        QFileDialog::getSaveFileName(this, tr("Save Project"), suggestion, tr(kProjectFileFilters));
    updateWindowTitle();
    if (fileName.isEmpty())
        return false;
    rememberFolder(fileName);
    if (!fileName.endsWith(QLatin1String(".txt"))) {
        fileName += QLatin1String(".txt");
        // The file dialog only asked about the name as typed; the extended name may hold
        // another project.
        if (QFileInfo::exists(fileName) &&
            QMessageBox::question(this, appname,
                                  tr("%1 already exists.\nDo you want to replace it?")
                                      .arg(QDir::toNativeSeparators(fileName)),
                                  QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::No) != QMessageBox::Yes)
            return false;
    }
    return saveFile(fileName);
}

QString MainWindow::startFolder() const {
    if (!curFile.isEmpty())
        return QFileInfo(curFile).absolutePath();
    const QString last = QSettings().value(QLatin1String(kLastFolderKey)).toString();
    return !last.isEmpty() && QFileInfo(last).isDir() ? last : QDir::homePath();
}

void MainWindow::rememberFolder(const QString &fileName) {
    QSettings().setValue(QLatin1String(kLastFolderKey), QFileInfo(fileName).absolutePath());
}

void MainWindow::addRecentProject(const QString &fileName) {
    const QString path = QFileInfo(fileName).absoluteFilePath();
    QSettings settings;
    QStringList recent = settings.value(QLatin1String(kRecentProjectsKey)).toStringList();
    recent.removeAll(path);
    recent.prepend(path);
    while (recent.size() > kMaxRecentProjects)
        recent.removeLast();
    settings.setValue(QLatin1String(kRecentProjectsKey), recent);
    updateRecentMenu();
}

void MainWindow::updateRecentMenu() {
    recentMenu->clear();
    const QStringList recent = QSettings().value(QLatin1String(kRecentProjectsKey)).toStringList();
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent.at(i);
        QAction *action = recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        action->setToolTip(QDir::toNativeSeparators(path));
        action->setStatusTip(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] { openRecentProject(path); });
    }
    recentMenu->setEnabled(!recent.isEmpty());
}

void MainWindow::openRecentProject(const QString &fileName) {
    if (!QFileInfo::exists(fileName)) {
        QSettings settings;
        QStringList recent = settings.value(QLatin1String(kRecentProjectsKey)).toStringList();
        recent.removeAll(fileName);
        settings.setValue(QLatin1String(kRecentProjectsKey), recent);
        updateRecentMenu();
        QMessageBox::warning(this, tr("Application"),
                             tr("The project %1 no longer exists; it has been removed from the "
                                "recent projects.")
                                 .arg(QDir::toNativeSeparators(fileName)),
                             QMessageBox::Ok);
        return;
    }
    openProject(fileName);
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    // Opened once the drop has finished: the guard and the reader show modal boxes.
    const QString fileName = urls.first().toLocalFile();
    QTimer::singleShot(0, this, [this, fileName] { openProject(fileName); });
}

void MainWindow::closeEvent(QCloseEvent *event) {
    // Local simulators end with the designer: nothing is stopped before both questions have
    // been answered. Jobs on Slurm go on without it and need no question.
    if (!maybeStopRuns() || !maybeSave()) {
        event->ignore();
        return;
    }
    if (localRuns)
        localRuns->stopOwnRuns();
    event->accept();
    QMainWindow::closeEvent(event);
}

ProjectDesign MainWindow::projectDesign() const {
    ProjectDesign project;
    project.version = version;
    project.categories = categories;
    project.volums = volums;
    project.x = AxisScale{xScaleMesure, xScaleUnit};
    project.y = AxisScale{yScaleMesure, yScaleUnit};
    project.z = AxisScale{zScaleMesure, zScaleUnit};
    project.encoding = projectEncoding;
    return project;
}

bool MainWindow::saveFile(const QString &fileName) {
    if (!confirmSaveOverProblems(fileName))
        return false;
    QString error;
    bool written = false;
    try {
        const ProjectDesign project = projectDesign();
        WaitCursor wait;
        written = writeProjectFile(fileName, project, *materialsManager, &error);
    } catch (const std::bad_alloc &) {
        notEnoughMemory(tr("save %1").arg(QDir::toNativeSeparators(fileName)));
        return false;
    }
    if (!written) {
        QMessageBox::warning(
            this, tr("Application"),
            tr("Cannot write file %1:\n%2.").arg(QDir::toNativeSeparators(fileName), error),
            QMessageBox::Ok);
        return false;
    }

    discardRecovery();
    setCurrentFile(fileName);
    discardRecovery();
    readProblemsFile.clear();
    addRecentProject(fileName);
    undo->setClean();
    project_modified = false;
    updateWindowTitle();
    statusBar()->showMessage(tr("File saved"), kFileSavedTimeout);
    return true;
}

bool MainWindow::loadFile(const QString &fileName) {
    // Sections missing from the file leave the design's own parts as they are. The file is read
    // whole before anything of the design changes, so memory running out keeps the design.
    ProjectDesign project = projectDesign();
    ProjectReadResult result;
    try {
        WaitCursor wait;
        result = readProjectFile(fileName, project, *materialsManager);
    } catch (const std::bad_alloc &) {
        result.outOfMemory = true;
    }
    if (result.outOfMemory) {
        notEnoughMemory(tr("open %1").arg(QDir::toNativeSeparators(fileName)));
        return false;
    }
    if (!result.opened) {
        QMessageBox::warning(
            this, tr("Application"),
            tr("Cannot read file %1:\n%2.").arg(QDir::toNativeSeparators(fileName), result.error),
            QMessageBox::Ok);
        return false;
    }

    resetDesign();
    ui->duplicateButton->setEnabled(false);
    replaceView();
    // Forget the previous project's name: if the file turns out to be incomplete, a later Save
    // must ask where to write rather than put a half-read design over the previous project.
    setCurrentFile(QString());
    version = project.version;
    categories = project.categories;
    volums = project.volums;
    xScaleMesure = project.x.mesure;
    xScaleUnit = project.x.unit;
    yScaleMesure = project.y.mesure;
    yScaleUnit = project.y.unit;
    zScaleMesure = project.z.mesure;
    zScaleUnit = project.z.unit;
    projectEncoding = project.encoding;

    for (int i = 0; i < result.missingMarkers; ++i) {
        QMessageBox::warning(this, tr("Application"), tr("Unexpected file format"),
                             QMessageBox::Ok);
    }
    showReadingProblems(fileName, result.problems);
    if (result.volumsRead) {
        updateVolums(QString(), QString());
        setCurrentFile(fileName);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Design check

void MainWindow::on_checkDesignButton_clicked() {
    if (volums.isEmpty()) {
        QMessageBox::warning(this, tr("Application"), tr("No volums to check!"), QMessageBox::Ok);
        return;
    }

    CheckVerdict verdict;
    {
        WaitCursor wait;
        verdict = checkDesign(checkInput());
    }
    // The box shows the line as the checker words it (the padding blanks of its fixed-width
    // line dropped); a clean design gets the information icon, a fault the warning icon.
    if (verdict.ok()) {
        QMessageBox::information(this, tr("Application"), verdict.trimmed(), QMessageBox::Ok);
        return;
    }
    QMessageBox::warning(this, tr("Application"), verdict.trimmed(), QMessageBox::Ok);
    showFault(verdict.trimmed(), verdict.volum);
}
