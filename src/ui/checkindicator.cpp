#include "ui/checkindicator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>

namespace {

QPixmap markPixmap(const QColor &colour, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour.darker(130));
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    return pixmap;
}

// "KARVENO ERROR [ code ] words" as "code: words"; other lines as they are.
QString faultText(const QString &line) {
    static const QRegularExpression numbered(
        QStringLiteral("^KARVENO ERROR \\[\\s*(\\d+)\\s*\\]\\s*(.*)$"));
    const QRegularExpressionMatch m = numbered.match(line);
    if (!m.hasMatch())
        return line;
    return m.captured(1) + QStringLiteral(": ") + m.captured(2).simplified();
}

} // namespace

CheckIndicator::CheckIndicator(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("checkIndicator"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(4);
    mark_ = new QLabel(this);
    label_ = new QLabel(this);
    label_->setTextFormat(Qt::PlainText);
    label_->setMinimumWidth(80);
    // The label shows what fits; the indicator's own size hint asks for the whole text.
    label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(mark_);
    layout->addWidget(label_, 1);
    setMaximumWidth(520);
    checkingDelay_.setSingleShot(true);
    checkingDelay_.setInterval(400);
    connect(&checkingDelay_, &QTimer::timeout, this,
            [this] { show(Checking, tr("Checking…"), tr("The design is being checked.")); });
    show(Checking, tr("Checking…"), tr("The design is being checked."));
}

void CheckIndicator::showChecking() {
    if (state_ != Checking && !checkingDelay_.isActive())
        checkingDelay_.start();
}

void CheckIndicator::showVerdict(const CheckVerdict &verdict) {
    checkingDelay_.stop();
    verdict_ = verdict;
    if (verdict.ok()) {
        show(Ok, tr("Design OK"), verdict.trimmed());
    } else if (!verdict.checked && verdict.refusal.isEmpty()) {
        show(Idle, tr("No volums"), verdict.trimmed());
    } else {
        const QString line = verdict.trimmed();
        show(Fault, faultText(line), line + tr("\nClick to select the volum it names."));
    }
}

void CheckIndicator::show(State state, const QString &text, const QString &toolTip) {
    state_ = state;
    text_ = text;
    static const QColor colours[] = {QColor(0xb0, 0xb0, 0xb0), QColor(0x2e, 0x9d, 0x3a),
                                     QColor(0xd3, 0x2f, 0x2f), QColor(0xb0, 0xb0, 0xb0)};
    const int size = qMax(8, fontMetrics().height() - 4);
    mark_->setPixmap(markPixmap(colours[state], size));
    setToolTip(toolTip);
    setCursor(state == Fault ? Qt::PointingHandCursor : Qt::ArrowCursor);
    updateGeometry();
    elide();
}

QSize CheckIndicator::sizeHint() const {
    // Room for the whole text; the status bar gives what it can and the text is elided to it.
    const QMargins m = layout()->contentsMargins();
    const int width = m.left() + mark_->sizeHint().width() + layout()->spacing() +
                      label_->fontMetrics().horizontalAdvance(text_) + m.right() + 2;
    return {qMin(width, maximumWidth()), QWidget::sizeHint().height()};
}

void CheckIndicator::elide() {
    label_->setText(label_->fontMetrics().elidedText(text_, Qt::ElideRight, label_->width()));
}

void CheckIndicator::mousePressEvent(QMouseEvent *event) {
    // While a newer verdict is awaited the one shown may no longer name the right volum.
    if (event->button() == Qt::LeftButton && state_ == Fault && !checkingDelay_.isActive())
        emit faultClicked(verdict_);
    QWidget::mousePressEvent(event);
}

void CheckIndicator::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    elide();
}
