#include "PropertyBag.h"

#include <QDataStream>
#include <QIODevice>

namespace rq16::standins {

namespace {

constexpr quint32 kMagic = 0x52515042; // "RQPB"
constexpr quint16 kVersion = 1;

} // namespace

ByteArray ToByteArray(const QByteArray& bytes) {
    return ByteArray(bytes.begin(), bytes.end());
}

QByteArray ToQByteArray(const ByteArray& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

ByteArray PropertyBag::Contents() const {
    QByteArray block;
    QDataStream out(&block, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << kMagic << kVersion << m_entries;
    return ToByteArray(block);
}

void PropertyBag::SetContents(const ByteArray& contents) {
    if (contents.empty()) {
        m_entries.clear();
        return;
    }
    QDataStream in(ToQByteArray(contents));
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint16 version = 0;
    QMap<QString, QByteArray> entries;
    in >> magic >> version;
    if (in.status() != QDataStream::Ok || magic != kMagic || version != kVersion) {
        throw ComError(kErrInvalidArg, QStringLiteral("Property bag contents are not readable"));
    }
    in >> entries;
    if (in.status() != QDataStream::Ok || !in.atEnd()) {
        throw ComError(kErrInvalidArg, QStringLiteral("Property bag contents are damaged"));
    }
    m_entries = std::move(entries);
}

void PropertyBag::WriteProperty(const QString& key, const IPersistable& object) {
    m_entries.insert(key, object.SaveState());
}

void PropertyBag::ReadProperty(const QString& key, IPersistable& object) {
    auto it = m_entries.constFind(key);
    if (it == m_entries.constEnd()) {
        throw ComError(kErrNotFound, QStringLiteral("Property '%1' not in the bag").arg(key));
    }
    object.LoadState(*it);
}

} // namespace rq16::standins
