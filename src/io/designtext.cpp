#include "io/designtext.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <new>

namespace {

// True when `bytes` ends inside a UTF-8 sequence that the next bytes would have to complete;
// a stateful decoder keeps such bytes back instead of flagging them.
bool endsInsideUtf8Sequence(QByteArrayView bytes) {
    const qsizetype n = bytes.size();
    for (qsizetype back = 1; back <= std::min<qsizetype>(n, 4); ++back) {
        const auto c = static_cast<unsigned char>(bytes[n - back]);
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for the lead byte
        const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back;
    }
    return false;
}

bool hasWideByteOrderMark(QByteArrayView bytes) {
    const std::optional<QStringConverter::Encoding> bom = QStringConverter::encodingForData(bytes);
    return bom && *bom != QStringConverter::Utf8;
}

} // namespace

QString decodeDesignText(const QByteArray &bytes, TextEncoding *encoding) {
    if (encoding)
        *encoding = TextEncoding::Utf8;
    if (hasWideByteOrderMark(bytes)) {
        QStringDecoder decoder(*QStringConverter::encodingForData(bytes));
        return decoder(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError() && !endsInsideUtf8Sequence(bytes))
        return text;
    if (encoding)
        *encoding = TextEncoding::Latin1;
    return QString::fromLatin1(bytes);
}

bool readDesignText(const QString &path, DesignText &out) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        out.error = info.isDir() ? QStringLiteral("It is a folder, not a file.")
                                 : QStringLiteral("It is not a regular file.");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        out.error = file.errorString();
        return false;
    }
    try {
        // Read in pieces and decode into one text sized from the file, so that the bytes and the
        // text are never both held whole.
        constexpr qint64 kPiece = qint64(1) << 22;
        QStringDecoder utf8(QStringConverter::Utf8);
        QString text;
        text.resize(qsizetype(std::max<qint64>(file.size(), 0)) + 1);
        qsizetype used = 0;
        QByteArray piece;
        bool first = true;
        bool wide = false;
        bool validUtf8 = true;
        while (!file.atEnd()) {
            piece = file.read(kPiece);
            if (piece.isEmpty())
                break;
            if (first && hasWideByteOrderMark(piece)) {
                piece += file.readAll();
                out.text = decodeDesignText(piece, &out.encoding);
                wide = true;
                break;
            }
            first = false;
            // A text-mode read never gives more characters than bytes; only a file that grew
            // while being read needs more room.
            if (used + piece.size() > text.size())
                text.resize(used + piece.size());
            used = utf8.appendToBuffer(text.data() + used, piece) - text.data();
            validUtf8 = validUtf8 && !utf8.hasError();
        }
        if (file.error() != QFileDevice::NoError) {
            out.error = file.errorString();
            return false;
        }
        if (wide)
            return true; // a UTF-16 or UTF-32 file, decoded whole
        if (validUtf8 && !endsInsideUtf8Sequence(piece)) {
            text.truncate(used);
            text.squeeze();
            out.text = std::move(text);
            out.encoding = TextEncoding::Utf8;
            return true;
        }
        // Not UTF-8: every byte is one Latin-1 character, read again in pieces into the same
        // text.
        if (!file.seek(0)) {
            out.error = file.errorString();
            return false;
        }
        used = 0;
        while (!file.atEnd()) {
            piece = file.read(kPiece);
            if (piece.isEmpty())
                break;
            if (used + piece.size() > text.size())
                text.resize(used + piece.size());
            std::transform(piece.cbegin(), piece.cend(), text.data() + used,
                           [](char c) { return QChar(uchar(c)); });
            used += piece.size();
        }
        if (file.error() != QFileDevice::NoError) {
            out.error = file.errorString();
            return false;
        }
        text.truncate(used);
        text.squeeze();
        out.text = std::move(text);
        out.encoding = TextEncoding::Latin1;
        return true;
    } catch (const std::bad_alloc &) {
        out.text.clear();
        out.outOfMemory = true;
        out.error = QStringLiteral("Not enough memory to read it.");
        return false;
    }
}
