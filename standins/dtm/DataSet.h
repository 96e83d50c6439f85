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

#include "host/Types.h"

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

    bool operator==(const DataSet&) const = default;

    QByteArray ToJson() const;
    /// Throws ComError when the text is not a data set of this form. Missing
    /// members keep their defaults.
    static DataSet FromJson(const QByteArray& json);

    /// The data set in `path`, or the defaults when there is no such file.
    /// Throws ComError when the file exists but cannot be read.
    static DataSet Load(const QString& path);
    /// Writes the file (whole or not at all); throws ComError on failure.
    void Save(const QString& path) const;
};

} // namespace rq16::standins
