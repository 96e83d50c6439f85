#pragma once
// The resource server's manager: texts and pictures loaded by number.

#include "Types.h"

#include <QPixmap>
#include <QString>

namespace rq16 {

class IResourceManager {
public:
    virtual ~IResourceManager() = default;

    /// Text number `id` from the resource folder `folder`. An empty folder
    /// means the manager's `DefaultFolder`. Throws ComError if there is no
    /// such text.
    virtual QString GetString(std::int32_t id, const QString& folder) = 0;

    /// Picture number `id`, scaled to width x height (0 and 0 give the natural
    /// size). An empty folder means `DefaultFolder`. Throws ComError if there
    /// is no such picture.
    virtual QPixmap LoadPicture(std::int32_t id, int width, int height, const QString& folder) = 0;

    /// First configuration property: the language of the texts ("en", ...).
    virtual QString Language() const = 0;
    virtual void SetLanguage(const QString& language) = 0;

    /// Second configuration property: the folder used when a lookup passes an
    /// empty folder.
    virtual QString DefaultFolder() const = 0;
    virtual void SetDefaultFolder(const QString& folder) = 0;
};

/// Copies both configuration properties from `from` into `to`, the second
/// property first, then the first, as every view and element does.
inline void CopyResourceConfiguration(const IResourceManager& from, IResourceManager& to) {
    to.SetDefaultFolder(from.DefaultFolder());
    to.SetLanguage(from.Language());
}

} // namespace rq16
