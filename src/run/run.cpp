#include "run/run.h"

#include "run/simulatorline.h"

#include <QDebug>
#include <QDir>

namespace {
const char *const kStateNames[] = {"queued", "running", "finished", "failed", "cancelled"};
} // namespace

Run::Run(const QString &project, const QString &outputFolder, QObject *parent)
    : QObject(parent), projectFile(project), output(outputFolder) {
    if (!output.isEmpty() && !output.endsWith(QLatin1Char('/')))
        output += QLatin1Char('/');
}

QString Run::stateName(State state) {
    return QString::fromLatin1(kStateNames[int(state)]);
}

bool Run::stateFromName(const QString &name, State *state) {
    for (int i = 0; i < int(std::size(kStateNames)); ++i) {
        if (name == QLatin1String(kStateNames[i])) {
            *state = State(i);
            return true;
        }
    }
    return false;
}

void Run::openLog() {
    if (log.isOpen())
        log.close();
    log.setFileName(output + QStringLiteral("log.txt"));
    // A log that cannot be created does not stop the run; lines are then only interpreted.
    if (!log.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate))
        qDebug() << "Cannot create simulation log" << log.fileName() << log.errorString();
}

void Run::receiveOutput(const QByteArray &chunk) {
    // Output may arrive in pieces: only complete lines are interpreted, the rest waits.
    pending += chunk;
    qsizetype end;
    while ((end = pending.indexOf('\n')) >= 0) {
        const QByteArray raw = pending.left(end + 1);
        pending.remove(0, end + 1);
        handleLine(raw);
    }
}

void Run::endOutput() {
    if (pending.isEmpty())
        return;
    const QByteArray raw = pending;
    pending.clear();
    handleLine(raw);
}

void Run::handleLine(const QByteArray &raw) {
    QString line = QString::fromLocal8Bit(raw);
    qDebug() << "STATUS: " << line;
    if (log.isOpen()) {
        log.write(raw);
        if (!raw.endsWith('\n'))
            log.write("\n");
        log.flush();
    }
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
        line.chop(1);

    const SimulatorLine meaning = SimulatorLine::parse(line);
    switch (meaning.kind) {
    case SimulatorLine::Progress:
        if (meaning.percent == 100)
            completed = true;
        if (meaning.percent != percent && meaning.percent >= 0 && meaning.percent <= 100) {
            percent = meaning.percent;
            emit progressChanged(percent);
        }
        break;
    case SimulatorLine::Status:
        status = meaning.text;
        emit detailsChanged();
        break;
    case SimulatorLine::Error:
        status = meaning.text;
        completed = false;
        sawError = true;
        emit detailsChanged();
        break;
    case SimulatorLine::Ended:
        status = meaning.text;
        completed = true;
        emit detailsChanged();
        break;
    case SimulatorLine::Other:
        break;
    }
    emit lineReceived(line);
}

void Run::setState(State state, const QString &message) {
    if (isDone() || state == current)
        return; // a finished run stays as it ended
    current = state;
    if (!message.isEmpty())
        why = message;
    if (isDone() && log.isOpen())
        log.close();
    emit stateChanged(current);
}

void Run::setJobId(const QString &id) {
    if (id == job)
        return;
    job = id;
    emit detailsChanged();
}

void Run::setBackendState(const QString &word) {
    if (word == backendWord)
        return;
    backendWord = word;
    emit detailsChanged();
}

void Run::finishFromExit(bool normalExit, int exitCode) {
    endOutput();
    if (cancelAsked)
        setState(State::Cancelled);
    else if (!normalExit)
        setState(State::Failed, tr("The simulator stopped abnormally."));
    else if (exitCode != 0)
        setState(State::Failed, tr("The simulator ended with exit status %1.").arg(exitCode));
    else if (!completed && sawError)
        setState(State::Failed, status);
    else
        setState(State::Finished);
}
