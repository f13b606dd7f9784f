#include "platform/ui/QtText.h"

#include <QByteArray>
#include <QFile>

namespace platform {

namespace {

std::string FromByteArray(const QByteArray& bytes) {
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QByteArray ToByteArray(const std::string& bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

QString FromBytes(const std::string& bytes) {
    return QString::fromLatin1(ToByteArray(bytes));
}

std::string ToBytes(const QString& text) {
    return FromByteArray(text.toLatin1());
}

QString PathFromBytes(const std::string& bytes) {
    return QFile::decodeName(ToByteArray(bytes));
}

std::string PathToBytes(const QString& path) {
    return FromByteArray(QFile::encodeName(path));
}

QString FromMessage(const Message& message) {
    QString text;
    for (const Message::Piece& piece : message.Pieces()) {
        text += piece.path ? PathFromBytes(piece.bytes) : FromBytes(piece.bytes);
    }
    return text;
}

}  // namespace platform
