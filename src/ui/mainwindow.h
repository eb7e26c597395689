#ifndef KARVENO_UI_MAINWINDOW_H
#define KARVENO_UI_MAINWINDOW_H

// The designer's main window: it owns the design (volums, general and default volum categories,
// axis scales, catalogue version, current file and its modified flag), holds the 3D view and the
// volum panel, and routes every command and view signal to the operation that serves it.
//
// The implementation is spread over several files by concern: mainwindow.cpp (start-up, form,
// connections, title, project life cycle, loaders, design check), mainwindow_volums.cpp (volum
// list and placement), mainwindow_atomic.cpp (atomic mode), mainwindow_dialogs.cpp (dialog
// launchers), mainwindow_simulation.cpp (external programs, runs and parameter studies) and
// mainwindow_export.cpp (exports) and mainwindow_livecheck.cpp (the live design check).

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <memory>

#include "io/materialfiles.h"
#include "io/projectfile.h"
#include "model/category.h"
#include "model/design.h"
#include "model/materialsmanager.h"
#include "model/volum.h"
#include "ui/recoveryfiles.h"

class CheckIndicator;
class GLWidget;
class LiveCheck;
struct CheckInput;
class MaterialsDialog;
class MaterialsManager;
class PropertiesDialog;
class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QEvent;
class QLabel;
class QListWidgetItem;
class LocalBackend;
class QMenu;
class QProcess;
class QUndoStack;
class Run;
class RunBackend;
class ScaleDialog;
class VolumsDialog;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The design being edited; every edit of it is one step of undoStack().
    Design &currentDesign() { return design; }
    QUndoStack *undoStack() const { return undo; }

    // Opens a project file (a file given on the command line, a recent project, a dropped
    // file), through the unsaved-changes guard. Returns whether the file was read.
    bool openProject(const QString &fileName);
    // Offers the recovery copy of a design that was modified and not saved when the program
    // last ended (mainwindow_files.cpp); the program calls it once the window is shown.
    void offerRecovery();

signals:
    // Points the camera at (x, y, z) after a project has been opened.
    void projectLoaded(double x, double y, double z);
    // Points the camera at a picked volum's centre (or the origin when the pick is dropped).
    void volumSelected(double x, double y, double z);
    // Highlights the named volum's list item.
    void volumSelected(QString name);

public slots:
    void updateVolums(QString newit, QString oldit);
    void recalculatePoints();
    void on_checkDesignButton_clicked();
    void on_volumsList_itemChanged(QListWidgetItem *item);
    void on_deleteButton_clicked();
    void on_editButton_clicked();
    void on_addButton_clicked();
    void on_actionQuit_triggered();
    void on_actionSimulate_triggered();
    void on_volumsList_itemClicked(QListWidgetItem *item);
    void on_duplicateButton_clicked();
    void newSim();
    // Both return whether the project file was written.
    bool saveAs();
    bool save();
    void aboutDialog();
    void helpDialog();
    void scaleDialog();
    void propertiesDialog();
    void materialsDialog();
    void openSim();
    void volumMovedSlot(double dx, double dy, double dz);
    void checkVolumClicked(double x, double y, double z);
    void checkVolumDialog(double x, double y, double z);
    void editAtomDialog();
    void deleteAtomSlot();
    void changeVolumList(QString name);
    void updateWindowTitle();
    void setProjectModified();
    void setAtomicMode();
    void setSolidMode();
    void on_action3D_Graphs_triggered();
    // Runs and parameter studies (mainwindow_simulation.cpp).
    void runSettingsDialog();
    void parameterStudyDialog();
    void openStudy();
    // Exports for other tools (mainwindow_export.cpp); they only read the design.
    void on_actionExportVtk_triggered();
    void on_actionExportXyz_triggered();
    void on_actionExportImage_triggered();
    void on_actionViewAll_triggered();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Start-up and project life cycle (mainwindow.cpp).
    void initSlots();
    void createMenus();
    // Tool tips of the commands and the volum panel, naming their shortcuts.
    void describeCommands();
    void loadMaterials();
    void loadDefaultVolumProperties();
    void loadPropertiesWithCategories();
    int getNumberOfProperties();
    // The design as the project file holds it (copies of the window's members).
    ProjectDesign projectDesign() const;
    bool saveFile(const QString &fileName);
    // Reads a project into the design; false, with the design as it was, when it cannot be read.
    bool loadFile(const QString &fileName);
    void setCurrentFile(const QString &fileName);
    // The unsaved-changes guard of New, Open and closing: false when the command must stop
    // (Cancel, or Save chosen and nothing was written).
    bool maybeSave();
    // Empties the design, the scales, the picks and the volum panel (New and Open).
    void resetDesign();
    // Puts a fresh view in solid mode in place of the old one and connects it.
    void replaceView();
    // Reads fileName into an emptied design (Open, recent projects, drops, command line); the
    // guard has run and the file is known to be readable.
    void readProject(const QString &fileName);
    // Says so and returns false when fileName cannot be opened for reading.
    bool readableProject(const QString &fileName);
    // After New or Open: empty undo stack, not modified, status bar cleared, view focused.
    void startProject();
    // The folder the file dialogs start in: the current project's, else the last one used.
    QString startFolder() const;
    void rememberFolder(const QString &fileName);
    // Recent projects: most recent first, at most kMaxRecentProjects, kept with QSettings.
    void addRecentProject(const QString &fileName);
    void updateRecentMenu();
    void openRecentProject(const QString &fileName);

    // Editing (mainwindow_edit.cpp). One step of the undo stack from `before` to the design as
    // it is now; nothing when the design did not change.
    void recordEdit(const QString &text, const Design::State &before,
                    const QString &mergeKey = QString());
    // Follows every change of the design: the view redraws; after an undo or redo the list,
    // the picks and the buttons are rebuilt from the restored design.
    void designChanged(Design::Changes what);
    // Edit, Duplicate and Delete are enabled exactly while a volum is picked.
    void updateButtons();
    // Name, bounds, size and mesh counts of the picked volum in the status bar's right side.
    void showSelectionDetails();
    // Picks and shows the volum a checker verdict names, if any: the volum at position `volum`
    // of the list when the checker said which (CheckVerdict::volum), else the first word of the
    // line that names one.
    void showFault(const QString &verdict, int volum = -1);

    // Volum list and placement (mainwindow_volums.cpp).
    bool existVolum(QString name);
    double getMaxVolumsX();
    double getMaxVolumsY();
    double getMaxVolumsZ();
    bool checkOverlap(double x, double y, double z);
    bool checkInside(double x, double y, double z);
    // Runs the volum dialog held in vdial until it completes or is closed, then deletes it.
    void runVolumsDialog(const QString &title, bool editing);
    void editVolum(const QString &name);
    // The volum a list item stands for: its text before the first "[", trimmed; -1 for none.
    int volumIndexOfItem(const QListWidgetItem *item) const;
    int volumIndex(const QString &name) const;
    // Picks volums[index]: flag, status bar, pick members. Signals and buttons are the caller's.
    void pickVolum(int index);
    void lowerPrecisions(const Volum &volum);

    // Atomic mode (mainwindow_atomic.cpp).
    // The picked atom, or null when none is picked or the pick no longer designates an atom.
    Atom *pickedAtom();
    // Drops the atom pick (clearing the atom's flag) and disables the view's atom entries.
    void clearAtomPick();
    // (volum, atom) positions of every atom whose drawn sphere's box holds the world point
    // (x, y, z), scanning volums and their atoms in order; at most `limit` of them.
    // Points the camera at the volum from far enough to show all of it.
    void bringIntoView(const Volum &volum);

    int getNumberOfAtoms();

    // Reading problems, memory and recovery copies (mainwindow_files.cpp).
    void startAutosave();
    // Copies a modified design for recovery (every two minutes, and before runs and studies).
    void autosave();
    // Removes the recovery copy of the current project (after a save, or changes discarded).
    void discardRecovery();
    // One box with the problems met reading a project; remembers them for the next save.
    void showReadingProblems(const QString &fileName, const ReadProblems &problems);
    // True when `fileName` may be written: it was not read with problems, or the user agrees.
    bool confirmSaveOverProblems(const QString &fileName);
    // One box with the problems of the catalogues and materials read last.
    void showDataProblems();
    // "Not enough memory to <what>."
    void notEnoughMemory(const QString &what);

    // Runs (mainwindow_simulation.cpp).
    void createRunMenus();
    // Saves the project before a run or a study; false when nothing was written.
    bool saveBeforeRun();
    // The closing guard of local runs: true when none runs or the user agrees to stop them.
    bool maybeStopRuns();
    // The back-end the run settings choose; the local one is shared by every run of the window.
    RunBackend *runBackend();
    // Live design check (mainwindow_livecheck.cpp).
    void createLiveCheck();
    // The design as the checker is given it; the pointers are into the window's members.
    CheckInput checkInput() const;

    // Exports (mainwindow_export.cpp): asks where to write, starting beside the project file;
    // empty when cancelled.
    QString askExportPath(const QString &title, const QString &suffix, const QString &filter);

    std::unique_ptr<Ui::MainWindow> ui;
    // Owned through the Qt parent (the central widget) once it is in the layout.
    GLWidget *qglWidget = nullptr;
    QAction *solid = nullptr;
    QAction *atomic = nullptr;
    // The dialogs while they are open; null otherwise.
    VolumsDialog *vdial = nullptr;
    ScaleDialog *scdial = nullptr;
    PropertiesDialog *propdial = nullptr;
    MaterialsDialog *matdial = nullptr;
    // The design; the members below name its parts. The view holds a pointer to the volum list
    // and draws from it.
    Design design{MaterialsManager::getInstance()};
    QList<Volum> &volums = design.volums();
    QList<Category> &categories = design.categories();
    // Each axis's scale is measure x 10^unit (metres per design length unit).
    double &xScaleMesure = design.scaleMesure(0);
    double &yScaleMesure = design.scaleMesure(1);
    double &zScaleMesure = design.scaleMesure(2);
    int &xScaleUnit = design.scaleUnit(0);
    int &yScaleUnit = design.scaleUnit(1);
    int &zScaleUnit = design.scaleUnit(2);
    // Every design edit is one step; the modified flag follows its clean state.
    QUndoStack *undo = nullptr;
    QMenu *recentMenu = nullptr;
    // Picked volum's details, on the right of the status bar.
    QLabel *selectionLabel = nullptr;
    QString appname;
    // Path of the current project file; empty for a project never saved.
    QString curFile;
    MaterialsManager *materialsManager = nullptr;
    QList<Category> default_volum_props;
    // The local back-end keeps one limit on the simultaneous runs of every Simulate and study.
    LocalBackend *localRuns = nullptr;
    // The live check, its status-bar indicator and its Project menu switch.
    LiveCheck *liveCheck = nullptr;
    CheckIndicator *checkIndicator = nullptr;
    QAction *checkWhileEditing = nullptr;
    // The run of the last "Simulate", observed by its monitor.
    QPointer<Run> simulation;
    QString simulationOutputPath;
    // Placement tolerances and unit of a keyboard move; they only ever decrease.
    float xprecision = 0.1f;
    float yprecision = 0.1f;
    float zprecision = 0.1f;
    // Picks are held as positions, never as iterators or pointers: the lists move their
    // elements when they grow. selectedVolumIndex is the picked volum's position in volums;
    // selectedAtomIndex is a position in the atoms of the volum named volumSelectedAtom (names
    // are unique), so an atom pick survives changes to the volum pick. -1 means nothing picked.
    // Whoever inserts or erases volums or atoms keeps both valid or clears them.
    int selectedAtomIndex = -1;
    int selectedVolumIndex = -1;
    QString volumSelectedAtom;
    bool selectedAtom = false;
    bool selectedVolum = false;
    int version = 0;
    bool project_modified = false;
    // The encoding of the project file read last; a save writes it again.
    TextEncoding projectEncoding = TextEncoding::Utf8;
    // The file the design was read from with problems (absolute path), and how many.
    QString readProblemsFile;
    int readProblemsCount = 0;
    // Problems of the catalogues and materials being read, shown once they are all read.
    QList<FileProblems> dataProblems;
    RecoveryFiles recovery;
    static constexpr int kListedProblems = 20;
    static constexpr int kRecoveryMessageTimeout = 5000;

    // Tests reach the window's state through a class of this name that they define.
    friend class MainWindowTestAccess;
};

#endif // KARVENO_UI_MAINWINDOW_H
