#include "IdentificationStore.h"

#include "ComponentRegistry.h"
#include "IMRecords.h"
#include "SkipOnError.h"

namespace rq16 {

namespace {

const QString kQsDataKey = QStringLiteral("QsData");
const QString kIMDataKey = QStringLiteral("IMData");

/// The contents of a new property bag holding `object` under `key`.
ByteArray BagContents(const QString& key, const IPersistable& object) {
    auto bag = Components().CreatePropertyBag();
    bag->WriteProperty(key, object);
    return bag->Contents();
}

void SetTexts(IIMData& im, const QString& tagFunction, const QString& tagLocation,
              const QString& installationDate) {
    im.SetTagFunction(TrimBlanks(tagFunction));
    im.SetTagLocation(TrimBlanks(tagLocation));
    im.SetInstallationDate(TrimBlanks(installationDate));
}

} // namespace

QString TrimBlanks(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from) == u' ') {
        ++from;
    }
    while (to > from && text.at(to - 1) == u' ') {
        --to;
    }
    return text.mid(from, to - from);
}

bool IdentificationStore::ReadStored(const ByteArray& contents, const QString& key,
                                     IPersistable& object) {
    if (contents.empty()) {
        return false;
    }
    auto bag = Components().CreatePropertyBag();
    bag->SetContents(contents);
    bag->ReadProperty(key, object);
    return true;
}

bool IdentificationStore::ReadQsData(IQsData& qs) {
    return ReadStored(m_parameters().StoredQsData(), kQsDataKey, qs);
}

bool IdentificationStore::ReadIMData(IIMData& im) {
    return ReadStored(m_parameters().StoredIMData(), kIMDataKey, im);
}

bool IdentificationStore::StoreIfDiffers(const QString& key, const IPersistable& object,
                                         ByteArray (IParameterManager::*stored)(),
                                         void (IParameterManager::*store)(const ByteArray&)) {
    // A failing step is skipped; a failed comparison counts as a difference.
    ByteArray contents;
    SkipOnError([&] { contents = BagContents(key, object); });
    bool differ = true;
    SkipOnError(
        [&] { differ = identification::ContentsDiffer((m_parameters().*stored)(), contents); });
    if (differ) {
        SkipOnError([&] { (m_parameters().*store)(contents); });
    }
    return differ;
}

void IdentificationStore::StoreQsData(const ByteArray& bytes) {
    auto qs = Components().CreateQsData();
    qs->LoadBytes(bytes);
    if (StoreIfDiffers(kQsDataKey, *qs, &IParameterManager::StoredQsData,
                       &IParameterManager::SetStoredQsData)) {
        m_bQsStoreChanged = true;
    }
}

void IdentificationStore::StoreIMData(IIMData& shown, const ByteArray& im0, const ByteArray& im1,
                                      const ByteArray& im2) {
    auto im = Components().CreateIMData();
    im->LoadRecords(im0, im1, im2);
    SetTexts(shown, im->TagFunction(), im->TagLocation(), im->InstallationDate());
    if (StoreIfDiffers(kIMDataKey, shown, &IParameterManager::StoredIMData,
                       &IParameterManager::SetStoredIMData)) {
        m_bIMStoreChanged = true;
    }
}

void IdentificationStore::StoreAfterWrite(IIMData& shown, const QString& tagFunction,
                                          const QString& tagLocation,
                                          const QString& installationDate, const QString& comment) {
    SetTexts(shown, tagFunction, tagLocation, installationDate);
    ByteArray contents;
    SkipOnError([&] { contents = BagContents(kIMDataKey, shown); });
    SkipOnError([&] { m_parameters().SetStoredIMData(contents); });
    SkipOnError([&] { m_parameters().SetStoredComment(comment); });
}

bool IdentificationStore::StoreComment(const QString& comment) {
    if (m_parameters().StoredComment() == comment) {
        return false;
    }
    m_parameters().SetStoredComment(comment);
    return true;
}

} // namespace rq16
