// Stand-in for the external results viewer: plots a results file written by the stand-in simulator.
// Usage: Graph_KARVENO.exe [RESULTS_FILE]. Without an argument it opens the file named on the
// "RESULTS: " line of STATUS.TXT in the working directory, or asks for one.

#include "resultsfile.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

class PlotWidget : public QWidget {
public:
    explicit PlotWidget(ResultsTable table) : data(std::move(table)) {
        setMouseTracking(true);
        setMinimumSize(480, 320);
        for (const auto &row : data.rows) {
            xmin = std::min(xmin, row[0]);
            xmax = std::max(xmax, row[0]);
            for (qsizetype c = 1; c < row.size(); ++c) {
                ymin = std::min(ymin, row[c]);
                ymax = std::max(ymax, row[c]);
            }
        }
        if (!(xmax > xmin))
            xmax = xmin + 1.0;
        if (!(ymax > ymin))
            ymax = ymin + 1.0;
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF area = plotArea();
        p.setPen(Qt::black);
        p.drawRect(area);
        for (int t = 0; t <= 4; ++t) {
            const double fx = area.left() + area.width() * t / 4.0;
            const double fy = area.bottom() - area.height() * t / 4.0;
            p.drawText(QPointF(fx - 20, area.bottom() + 16),
                       QString::number(xmin + (xmax - xmin) * t / 4.0, 'g', 3));
            p.drawText(QPointF(4, fy + 4), QString::number(ymin + (ymax - ymin) * t / 4.0, 'g', 3));
        }
        const QColor colours[] = {Qt::blue, Qt::red, Qt::darkGreen, Qt::magenta, Qt::darkCyan};
        const qsizetype ncols = data.rows.isEmpty() ? 0 : data.rows.first().size();
        for (qsizetype c = 1; c < ncols; ++c) {
            QPainterPath path;
            for (qsizetype r = 0; r < data.rows.size(); ++r) {
                const QPointF pt = toScreen(data.rows[r][0], data.rows[r][c]);
                r == 0 ? path.moveTo(pt) : path.lineTo(pt);
            }
            const QColor colour = colours[(c - 1) % 5];
            p.setPen(QPen(colour, 2));
            p.drawPath(path);
            const QString name =
                c < data.columns.size() ? data.columns[c] : QStringLiteral("y%1").arg(c);
            const QRectF key(area.right() - 160, area.top() + 4 + 16 * double(c - 1), 156, 16);
            p.fillRect(key, QColor(255, 255, 255, 220));
            p.drawText(key.adjusted(4, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, name);
        }
        p.setPen(Qt::black);
        if (data.columns.size() > 0)
            p.drawText(QPointF(area.center().x() - 30, height() - 6), data.columns[0]);
        p.drawText(QPointF(area.left(), 14), cursorText);
    }

    void mouseMoveEvent(QMouseEvent *event) override {
        const QRectF area = plotArea();
        const QPointF pos = event->position();
        if (area.contains(pos)) {
            const double x = xmin + (pos.x() - area.left()) / area.width() * (xmax - xmin);
            const double y = ymin + (area.bottom() - pos.y()) / area.height() * (ymax - ymin);
            cursorText = QStringLiteral("x = %1   y = %2").arg(x, 0, 'g', 4).arg(y, 0, 'g', 4);
        } else {
            cursorText.clear();
        }
        update();
    }

private:
    QRectF plotArea() const { return QRectF(70, 24, width() - 90, height() - 60); }
    QPointF toScreen(double x, double y) const {
        const QRectF a = plotArea();
        return {a.left() + (x - xmin) / (xmax - xmin) * a.width(),
                a.bottom() - (y - ymin) / (ymax - ymin) * a.height()};
    }

    ResultsTable data;
    double xmin = HUGE_VAL, xmax = -HUGE_VAL, ymin = HUGE_VAL, ymax = -HUGE_VAL;
    QString cursorText;
};

QString lastResultsFile() {
    QFile status(QStringLiteral("STATUS.TXT"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&status);
    QString found;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith(QLatin1String(kResultsStatusTag)))
            found = line.mid(int(qstrlen(kResultsStatusTag))).trimmed();
    }
    return found;
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : lastResultsFile();
    if (path.isEmpty() || !QFile::exists(path))
        path =
            QFileDialog::getOpenFileName(nullptr, QStringLiteral("Open a results file"), QString(),
                                         QStringLiteral("Results (*.dat);;All files (*)"));
    if (path.isEmpty())
        return 0;
    ResultsTable table;
    QString error;
    if (!readResultsFile(path, table, &error) || table.rows.isEmpty()) {
        QMessageBox::warning(nullptr, QStringLiteral("Graph_KARVENO"),
                             error.isEmpty()
                                 ? QStringLiteral("No data in %1").arg(path)
                                 : QStringLiteral("Cannot read %1:\n%2").arg(path, error));
        return 1;
    }
    PlotWidget plot(table);
    plot.setWindowTitle(QStringLiteral("Graph_KARVENO - %1").arg(path));
    plot.resize(720, 480);
    plot.show();
    return app.exec();
}
