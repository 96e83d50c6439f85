#pragma once
// Texts of widgets built in code that follow the application's language.

#include <functional>
#include <utility>
#include <vector>

namespace rq16::frameapp {

/// Each setter sets the texts of one widget through tr(); it runs once when
/// added and again on every language change (`retranslate`, called from the
/// owner's changeEvent).
class TranslatedTexts {
public:
    void add(std::function<void()> setter) {
        setter();
        m_setters.push_back(std::move(setter));
    }
    void retranslate() const {
        for (const auto& setter : m_setters) {
            setter();
        }
    }

private:
    std::vector<std::function<void()>> m_setters;
};

} // namespace rq16::frameapp
