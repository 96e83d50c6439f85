#pragma once
// A property bag whose contents are one byte block: a small header followed
// by the sorted key → state pairs (QDataStream), so equal bags always give
// equal bytes.

#include "host/Components.h"

#include <QByteArray>
#include <QMap>

namespace rq16::standins {

class PropertyBag : public IPropertyBag {
public:
    ByteArray Contents() const override;
    /// Empty contents give an empty bag; unreadable contents throw ComError
    /// and leave the bag as it was.
    void SetContents(const ByteArray& contents) override;
    void WriteProperty(const QString& key, const IPersistable& object) override;
    void ReadProperty(const QString& key, IPersistable& object) override;

    bool Contains(const QString& key) const { return m_entries.contains(key); }
    QStringList Keys() const { return m_entries.keys(); }

private:
    QMap<QString, QByteArray> m_entries;
};

/// Helpers shared by the persistable stand-ins.
ByteArray ToByteArray(const QByteArray& bytes);
QByteArray ToQByteArray(const ByteArray& bytes);

} // namespace rq16::standins
