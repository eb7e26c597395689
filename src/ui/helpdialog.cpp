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

#include <memory>

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
    // Large enough to show the whole key table without wrapping or scrolling, within the screen.
    // Measured on a copy: the browser lays its own page out to its current width.
    const std::unique_ptr<QTextDocument> page(ui->webView->document()->clone());
    const QSize room = screen() ? screen()->availableGeometry().size() * 9 / 10 : QSize(1200, 900);
    const int frame = 2 * ui->webView->frameWidth() +
                      ui->webView->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QMargins margins = layout() ? layout()->contentsMargins() : QMargins();
    const int chromeWidth = frame + margins.left() + margins.right();
    const int chromeHeight = frame + margins.top() + margins.bottom();
    // Laid out as wide as the screen allows, the table takes the width its lines need.
    page->setTextWidth(room.width() - chromeWidth);
    page->setTextWidth(page->idealWidth() + 1);
    const QSize wanted(int(page->size().width()) + chromeWidth,
                       int(page->size().height()) + chromeHeight);
    resize(wanted.boundedTo(room).expandedTo(size()));
}

HelpDialog::~HelpDialog() {
    delete ui;
}

QTextBrowser *HelpDialog::browser() const {
    return ui->webView;
}
