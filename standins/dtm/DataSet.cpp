#include "DataSet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <cctype>

namespace rq16::standins {

namespace {

const QString kFormat = QStringLiteral("RQ16 data set");
constexpr int kVersion = 1;

QString Hex(const ByteArray& bytes) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                          static_cast<qsizetype>(bytes.size()))
                                   .toHex()
                                   .toUpper());
}

ByteArray FromHexMember(const QJsonObject& object, const QString& key, const ByteArray& fallback) {
    if (!object.contains(key)) {
        return fallback;
    }
    const QJsonValue value = object.value(key);
    const QByteArray text = value.toString().toLatin1();
    const bool valid = value.isString() && text.size() % 2 == 0 &&
                       std::all_of(text.begin(), text.end(), [](char c) {
                           return std::isxdigit(static_cast<unsigned char>(c)) != 0;
                       });
    if (!valid) {
        throw ComError(kErrInvalidArg,
                       QStringLiteral("Data set member '%1' is not hexadecimal").arg(key));
    }
    const QByteArray bytes = QByteArray::fromHex(text);
    return ByteArray(bytes.begin(), bytes.end());
}

} // namespace

QByteArray DataSet::ToJson() const {
    QJsonObject object;
    object.insert(QStringLiteral("format"), kFormat);
    object.insert(QStringLiteral("version"), kVersion);
    object.insert(QStringLiteral("slotNumber"), slotNumber);
    object.insert(QStringLiteral("typeName"), typeName);
    object.insert(QStringLiteral("parameterBytes"), Hex(parameterBytes));
    object.insert(QStringLiteral("storedQsData"), Hex(storedQsData));
    object.insert(QStringLiteral("storedIMData"), Hex(storedIMData));
    object.insert(QStringLiteral("comment"), comment);
    object.insert(QStringLiteral("channelTags"), QJsonArray::fromStringList(channelTags));
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

DataSet DataSet::FromJson(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        throw ComError(
            kErrInvalidArg,
            QStringLiteral("The data set is not a JSON object: %1").arg(error.errorString()));
    }
    const QJsonObject object = document.object();
    if (object.value(QStringLiteral("format")).toString() != kFormat) {
        throw ComError(kErrInvalidArg, QStringLiteral("The file is not an RQ16 data set"));
    }
    if (object.value(QStringLiteral("version")).toInt() > kVersion) {
        throw ComError(kErrInvalidArg,
                       QStringLiteral("The data set was written by a newer version"));
    }
    DataSet set;
    set.slotNumber = object.value(QStringLiteral("slotNumber")).toInt(set.slotNumber);
    set.typeName = object.value(QStringLiteral("typeName")).toString(set.typeName);
    set.parameterBytes =
        FromHexMember(object, QStringLiteral("parameterBytes"), set.parameterBytes);
    set.storedQsData = FromHexMember(object, QStringLiteral("storedQsData"), {});
    set.storedIMData = FromHexMember(object, QStringLiteral("storedIMData"), {});
    set.comment = object.value(QStringLiteral("comment")).toString();
    const QJsonArray tags = object.value(QStringLiteral("channelTags")).toArray();
    for (qsizetype i = 0; i < tags.size() && i < set.channelTags.size(); ++i) {
        set.channelTags[i] = tags.at(i).toString();
    }
    return set;
}

DataSet DataSet::Load(const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return DataSet();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw ComError(
            kErrNotFound,
            QStringLiteral("Cannot read the data set file %1: %2").arg(path, file.errorString()));
    }
    return FromJson(file.readAll());
}

void DataSet::Save(const QString& path) const {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ToJson()) < 0 || !file.commit()) {
        throw ComError(
            kErrInvalidArg,
            QStringLiteral("Cannot write the data set file %1: %2").arg(path, file.errorString()));
    }
}

} // namespace rq16::standins
