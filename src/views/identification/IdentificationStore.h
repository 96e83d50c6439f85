#pragma once
// The identification data kept in the DTM's data set: the QS data and the
// I&M data objects, each in a property bag under "QsData" and "IMData", and
// the comment. Plain C++ on the parameter manager and the helper objects of
// the component factory; the view shows, this class stores.

#include "host/Components.h"
#include "host/Dtm.h"

#include <QString>

#include <functional>

namespace rq16 {

/// Leading and trailing blanks removed (other white space stays).
QString TrimBlanks(const QString& text);

class IdentificationStore {
public:
    /// The parameter manager of the view's DTM; throws ComError when the view
    /// holds none.
    using Parameters = std::function<IParameterManager&()>;
    explicit IdentificationStore(Parameters parameters) : m_parameters(std::move(parameters)) {}

    /// Reads a stored object back; false when none is stored. Throws ComError
    /// on contents that cannot be read.
    bool ReadQsData(IQsData& qs);
    bool ReadIMData(IIMData& im);

    /// Stores the QS data of `bytes` when they differ from the stored ones.
    /// Throws ComError when the bytes cannot be loaded; from there on failing
    /// steps are skipped.
    void StoreQsData(const ByteArray& bytes);
    /// `shown` takes the trimmed texts of the three records and is stored
    /// when it differs. Throws ComError when the records cannot be loaded.
    void StoreIMData(IIMData& shown, const ByteArray& im0, const ByteArray& im1,
                     const ByteArray& im2);
    /// After a successful write: `shown` takes the trimmed texts and is
    /// stored without comparison, and the comment with it.
    void StoreAfterWrite(IIMData& shown, const QString& tagFunction, const QString& tagLocation,
                         const QString& installationDate, const QString& comment);
    /// Stores the comment when it differs; true when it did.
    bool StoreComment(const QString& comment);

    /// A store changed the data set: a save is due.
    bool m_bIMStoreChanged = false;
    bool m_bQsStoreChanged = false;

private:
    /// Stores `object` under `key` when its bag contents differ from what
    /// `stored` gives; true when they differed (or could not be compared).
    bool StoreIfDiffers(const QString& key, const IPersistable& object,
                        ByteArray (IParameterManager::*stored)(),
                        void (IParameterManager::*store)(const ByteArray&));
    bool ReadStored(const ByteArray& contents, const QString& key, IPersistable& object);

    Parameters m_parameters;
};

} // namespace rq16
