#include "ui/helpdialog.h"

#include "io/datalocation.h"
#include "ui/uiresources.h"
#include "ui_helpdialog.h"

#include <QFileInfo>
#include <QLayout>
#include <QScreen>
#include <QStyle>
#include <QTextDocument>
#include <QUrl>

HelpDialog::HelpDialog(QWidget *parent) : QDialog(parent), ui(new Ui::HelpDialog) {
    initUiResources();
    ui->setupUi(this);
    // A help.html in the data folder (a site's own page) takes the place of the built-in one.
    const QString local = DataLocation::find().filePath(QStringLiteral("help.html"));
    ui->webView->setSource(QFileInfo(local).isFile() ? QUrl::fromLocalFile(local)
                                                     : QUrl(QStringLiteral("qrc:/help.html")));
    fitToPage();
}

void HelpDialog::fitToPage() {
    // Large enough to show the whole key table without scrolling, within the screen.
    QTextDocument *page = ui->webView->document();
    page->setTextWidth(page->idealWidth());
    const int frame = 2 * ui->webView->frameWidth() +
                      ui->webView->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QMargins margins = layout() ? layout()->contentsMargins() : QMargins();
    QSize wanted = page->size().toSize() + QSize(frame + margins.left() + margins.right(),
                                                 frame + margins.top() + margins.bottom());
    if (const QScreen *shown = screen())
        wanted = wanted.boundedTo(shown->availableGeometry().size() * 9 / 10);
    resize(wanted.expandedTo(size()));
}

HelpDialog::~HelpDialog() {
    delete ui;
}

QTextBrowser *HelpDialog::browser() const {
    return ui->webView;
}
