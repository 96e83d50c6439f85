#include "DataSet.h"

#include "FileReplace.h"

#include "src/common/BoundedFile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include <sys/stat.h>
#include <unistd.h>

namespace rq16::standins {

namespace {

const QString kFormat = QStringLiteral("RQ16 data set");
constexpr int kVersion = 1;

const QString kFormatKey = QStringLiteral("format");
const QString kVersionKey = QStringLiteral("version");
const QString kSlotKey = QStringLiteral("slotNumber");
const QString kTypeNameKey = QStringLiteral("typeName");
const QString kParameterKey = QStringLiteral("parameterBytes");
const QString kQsKey = QStringLiteral("storedQsData");
const QString kIMKey = QStringLiteral("storedIMData");
const QString kCommentKey = QStringLiteral("comment");
const QString kTagsKey = QStringLiteral("channelTags");

QString Hex(const ByteArray& bytes) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                          static_cast<qsizetype>(bytes.size()))
                                   .toHex()
                                   .toUpper());
}

[[noreturn]] void Refuse(const QString& key, const QString& what) {
    throw ComError(kErrInvalidArg, QStringLiteral("the member '%1' %2").arg(key, what));
}

/// A whole number from `low` to `high`; JSON numbers are doubles, so 3.7 and
/// 1e12 arrive here as such and are refused.
std::int32_t IntMember(const QJsonObject& object, const QString& key, std::int32_t fallback,
                       std::int32_t low, std::int32_t high) {
    if (!object.contains(key)) {
        return fallback;
    }
    const QJsonValue value = object.value(key);
    const double number = value.toDouble(std::numeric_limits<double>::quiet_NaN());
    if (!value.isDouble() || std::floor(number) != number || number < low || number > high) {
        Refuse(key, QStringLiteral("must be a whole number from %1 to %2").arg(low).arg(high));
    }
    return static_cast<std::int32_t>(number);
}

QString StringMember(const QJsonObject& object, const QString& key, const QString& fallback) {
    if (!object.contains(key)) {
        return fallback;
    }
    if (!object.value(key).isString()) {
        Refuse(key, QStringLiteral("must be a text"));
    }
    return object.value(key).toString();
}

ByteArray HexMember(const QJsonObject& object, const QString& key, const ByteArray& fallback) {
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
        Refuse(key, QStringLiteral("must be hexadecimal text with two digits per byte"));
    }
    const QByteArray bytes = QByteArray::fromHex(text);
    return ByteArray(bytes.begin(), bytes.end());
}

QStringList TagsMember(const QJsonObject& object, const QStringList& fallback) {
    if (!object.contains(kTagsKey)) {
        return fallback;
    }
    const QJsonValue value = object.value(kTagsKey);
    const QJsonArray tags = value.toArray();
    const bool valid =
        value.isArray() && tags.size() <= fallback.size() &&
        std::all_of(tags.begin(), tags.end(), [](const QJsonValue& tag) { return tag.isString(); });
    if (!valid) {
        Refuse(kTagsKey, QStringLiteral("must be a list of at most %1 texts").arg(fallback.size()));
    }
    QStringList result = fallback;
    for (qsizetype i = 0; i < tags.size(); ++i) {
        result[i] = tags.at(i).toString();
    }
    return result;
}

/// True when whoever runs the program may write the existing file `path`.
/// The superuser may write anything, so for it the file's write bits count:
/// a file made read-only stays untouched.
bool MayWrite(const QString& path, const struct stat& info) {
    if (::geteuid() == 0) {
        return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    }
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

} // namespace

QByteArray DataSet::ToJson() const {
    QJsonObject object = otherMembers;
    object.insert(kFormatKey, kFormat);
    object.insert(kVersionKey, kVersion);
    object.insert(kSlotKey, slotNumber);
    object.insert(kTypeNameKey, typeName);
    object.insert(kParameterKey, Hex(parameterBytes));
    object.insert(kQsKey, Hex(storedQsData));
    object.insert(kIMKey, Hex(storedIMData));
    object.insert(kCommentKey, comment);
    object.insert(kTagsKey, QJsonArray::fromStringList(channelTags));
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

DataSet DataSet::FromJson(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        throw ComError(kErrInvalidArg, QStringLiteral("it is not JSON text (%1 at byte %2)")
                                           .arg(error.errorString())
                                           .arg(error.offset));
    }
    if (!document.isObject()) {
        throw ComError(kErrInvalidArg, QStringLiteral("it is not a JSON object"));
    }
    QJsonObject object = document.object();
    if (!object.contains(kFormatKey)) {
        throw ComError(kErrInvalidArg,
                       QStringLiteral("it has no member 'format', so it is no RQ16 data set"));
    }
    if (object.value(kFormatKey).toString() != kFormat) {
        Refuse(kFormatKey, QStringLiteral("is not \"%1\"").arg(kFormat));
    }
    if (IntMember(object, kVersionKey, kVersion, std::numeric_limits<std::int32_t>::min(),
                  std::numeric_limits<std::int32_t>::max()) != kVersion) {
        throw ComError(kErrInvalidArg, QStringLiteral("its version %1 is unknown (this program "
                                                      "reads version %2)")
                                           .arg(object.value(kVersionKey).toDouble())
                                           .arg(kVersion));
    }
    DataSet set;
    set.slotNumber =
        IntMember(object, kSlotKey, set.slotNumber, 0, std::numeric_limits<std::int32_t>::max());
    set.typeName = StringMember(object, kTypeNameKey, set.typeName);
    set.parameterBytes = HexMember(object, kParameterKey, set.parameterBytes);
    set.storedQsData = HexMember(object, kQsKey, {});
    set.storedIMData = HexMember(object, kIMKey, {});
    set.comment = StringMember(object, kCommentKey, QString());
    set.channelTags = TagsMember(object, set.channelTags);
    for (const QString& key : {kFormatKey, kVersionKey, kSlotKey, kTypeNameKey, kParameterKey,
                               kQsKey, kIMKey, kCommentKey, kTagsKey}) {
        object.remove(key);
    }
    set.otherMembers = object;
    return set;
}

DataSet DataSet::Load(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).exists()) {
        return DataSet();
    }
    QString problem;
    try {
        if (const auto contents = ReadBoundedFile(path, kMaxFileSize, problem)) {
            return FromJson(*contents);
        }
    } catch (const ComError& e) {
        problem = e.description();
    }
    throw ComError(kErrInvalidArg,
                   QStringLiteral("The data set file %1 cannot be read: %2.").arg(path, problem));
}

void DataSet::Save(const QString& path) const {
    const auto refuse = [&path](const QString& reason) {
        throw ComError(
            kErrFileAccess,
            QStringLiteral("The data set file %1 cannot be written: %2.").arg(path, reason));
    };
    struct stat info {};
    const bool exists = ::stat(QFile::encodeName(path).constData(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        refuse(QStringLiteral("it is not a regular file"));
    }
    if (exists && !MayWrite(path, info)) {
        refuse(QStringLiteral("the file is read-only"));
    }
    const QByteArray json = ToJson();
    // A file that Load would refuse is not written at all.
    if (json.size() > kMaxFileSize) {
        refuse(QStringLiteral("the data set takes %1 bytes, more than the %2 a data set file may "
                              "hold")
                   .arg(json.size())
                   .arg(kMaxFileSize));
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (const auto failure = ReplaceFile(path, json)) {
        refuse(*failure);
    }
}

} // namespace rq16::standins
