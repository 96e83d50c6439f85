#pragma once
// One ordered record of every call that the fakes receive, so a test can
// assert whole sequences across objects.

#include <QString>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace rq16::test {

class CallLog {
public:
    void add(const QString& call) { m_calls.push_back(call); }
    void clear() { m_calls.clear(); }
    const std::vector<QString>& calls() const { return m_calls; }

    /// Calls that start with `prefix`, in order.
    std::vector<QString> matching(const QString& prefix) const {
        std::vector<QString> out;
        std::copy_if(m_calls.begin(), m_calls.end(), std::back_inserter(out),
                     [&](const QString& c) { return c.startsWith(prefix); });
        return out;
    }
    int count(const QString& prefix) const { return static_cast<int>(matching(prefix).size()); }
    bool contains(const QString& call) const {
        return std::find(m_calls.begin(), m_calls.end(), call) != m_calls.end();
    }
    /// Index of the first call equal to `call` at or after `from`; -1 if none.
    int indexOf(const QString& call, int from = 0) const {
        for (int i = std::max(0, from); i < static_cast<int>(m_calls.size()); ++i) {
            if (m_calls[static_cast<size_t>(i)] == call) {
                return i;
            }
        }
        return -1;
    }
    QString dump() const {
        QStringList l;
        for (const auto& c : m_calls) {
            l << c;
        }
        return l.join(QLatin1Char('\n'));
    }

private:
    std::vector<QString> m_calls;
};

} // namespace rq16::test
