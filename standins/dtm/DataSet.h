#pragma once
// The DTM's data set: what the views read and write through the parameter
// manager, kept in a JSON file so that it survives a restart.
//
//   {
//     "format": "RQ16 data set", "version": 1,
//     "slotNumber": 3, "typeName": "RQ16 DO8",
//     "parameterBytes": "00000000FF",          (hexadecimal)
//     "storedQsData": "", "storedIMData": "",  (hexadecimal property bag contents)
//     "comment": "",
//     "channelTags": ["Q1", ..., "Q8"]
//   }
//
// Members of the wrong type or out of range are errors that name the member;
// members this program does not know are kept and written back unchanged.

#include "host/Types.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace rq16::standins {

struct DataSet {
    std::int32_t slotNumber = 3;
    QString typeName = QStringLiteral("RQ16 DO8");
    /// Four channel pair bytes (both detections on, failsafe "min value",
    /// non-locking, not inverted) and the channel flag byte (all active).
    ByteArray parameterBytes{0x00, 0x00, 0x00, 0x00, 0xFF};
    ByteArray storedQsData;
    ByteArray storedIMData;
    QString comment;
    QStringList channelTags{QStringLiteral("Q1"), QStringLiteral("Q2"), QStringLiteral("Q3"),
                            QStringLiteral("Q4"), QStringLiteral("Q5"), QStringLiteral("Q6"),
                            QStringLiteral("Q7"), QStringLiteral("Q8")};
    /// Members of the file that this program does not know.
    QJsonObject otherMembers;

    /// Far above any real data set (about a kilobyte), and room for a
    /// comment of many megabytes.
    static constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

    bool operator==(const DataSet&) const = default;

    QByteArray ToJson() const;
    /// Throws ComError saying what is wrong (and with which member) when the
    /// text is not a data set of this form. Missing members keep their
    /// defaults.
    static DataSet FromJson(const QByteArray& json);

    /// The data set in `path`, or the defaults when there is no such file.
    /// Throws ComError naming the file and the problem when it exists but
    /// cannot be read or is not a data set.
    static DataSet Load(const QString& path);
    /// Writes the file whole or not at all (ReplaceFile), keeping an existing
    /// file's mode and owner. Throws ComError naming the file and the reason
    /// when it cannot be written, leaving the file as it was; a file its
    /// owner may not write is never replaced, and a data set larger than
    /// kMaxFileSize is never written.
    void Save(const QString& path) const;
};

} // namespace rq16::standins
