#include "run/simulatorline.h"

namespace {
const QString kTimeTag = QStringLiteral("SIMULATED TIME:");
const QString kOkTag = QStringLiteral("[OK]");
const QString kErrorTag = QStringLiteral("ERROR");
const QString kEndTag = QStringLiteral("Simulation ended correctly");
} // namespace

SimulatorLine SimulatorLine::parse(const QString &line) {
    SimulatorLine result;
    const qsizetype timeAt = line.indexOf(kTimeTag);
    if (timeAt >= 0) {
        QString value = line.mid(timeAt + kTimeTag.size());
        const qsizetype percent = value.indexOf(QLatin1Char('%'));
        if (percent >= 0)
            value.truncate(percent);
        bool ok = false;
        const int simulated = value.trimmed().toInt(&ok, 10);
        result.kind = Progress;
        result.percent = ok ? simulated : 0;
    } else if (line.contains(kOkTag)) {
        result.kind = Status;
        result.text = line.mid(line.indexOf(kOkTag) + kOkTag.size()).trimmed();
    } else if (line.contains(kErrorTag)) {
        result.kind = Error;
        result.text = line;
    } else if (line.contains(kEndTag)) {
        result.kind = Ended;
        result.text = line;
    }
    return result;
}
