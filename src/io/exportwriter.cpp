#include "io/exportwriter.h"

#include <charconv>
#include <cmath>

namespace {

// About a megabyte per write call.
constexpr qsizetype kBufferLimit = 1 << 20;

} // namespace

ExportWriter::ExportWriter(const QString &path) : file(path) {
    buffer.reserve(kBufferLimit + 256);
}

bool ExportWriter::open() {
    if (file.open(QIODevice::WriteOnly))
        return true;
    failure = file.errorString();
    return false;
}

ExportWriter &ExportWriter::text(const char *s) {
    buffer.append(s);
    flushIfFull();
    return *this;
}

ExportWriter &ExportWriter::text(const QByteArray &s) {
    buffer.append(s);
    flushIfFull();
    return *this;
}

ExportWriter &ExportWriter::number(double value, int digits) {
    // Readers of these formats know no NaN or infinity; the designs never hold them in practice.
    if (!std::isfinite(value))
        value = 0.0;
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
    buffer.append(text, result.ptr - text);
    flushIfFull();
    return *this;
}

ExportWriter &ExportWriter::integer(std::int64_t value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    buffer.append(text, result.ptr - text);
    flushIfFull();
    return *this;
}

ExportWriter &ExportWriter::put(char c) {
    buffer.append(c);
    flushIfFull();
    return *this;
}

void ExportWriter::flushIfFull() {
    if (buffer.size() < kBufferLimit)
        return;
    if (failure.isEmpty() && file.write(buffer) != buffer.size())
        failure = file.errorString();
    buffer.clear();
}

bool ExportWriter::commit() {
    if (failure.isEmpty() && !buffer.isEmpty() && file.write(buffer) != buffer.size())
        failure = file.errorString();
    buffer.clear();
    if (!failure.isEmpty()) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        failure = file.errorString();
        return false;
    }
    return true;
}
