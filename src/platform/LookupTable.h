#pragma once
// An ordered map from a 32-bit Id, enumerated in the order the keys were added. Reading a
// missing key yields an empty value and inserts nothing.

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

template <typename V> class LookupTable
{
public:
    void clear()
    {
        m_entries.clear();
        m_index.clear();
    }

    void set(int32_t key, const V &value)
    {
        auto it = m_index.find(key);
        if (it != m_index.end()) {
            m_entries[it->second].second = value;
            return;
        }
        m_index.emplace(key, m_entries.size());
        m_entries.emplace_back(key, value);
    }

    V value(int32_t key) const
    {
        auto it = m_index.find(key);
        return it == m_index.end() ? V{} : m_entries[it->second].second;
    }

    bool contains(int32_t key) const { return m_index.find(key) != m_index.end(); }
    int count() const { return static_cast<int>(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }

    // The key at a position in insertion order, or none when out of range.
    std::optional<int32_t> keyAt(int position) const
    {
        if (position < 0 || position >= count()) {
            return std::nullopt;
        }
        return m_entries[position].first;
    }
    const V &valueAt(int position) const { return m_entries.at(position).second; }

    std::vector<int32_t> keys() const
    {
        std::vector<int32_t> result;
        result.reserve(m_entries.size());
        for (const auto &entry : m_entries) {
            result.push_back(entry.first);
        }
        return result;
    }

    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.end(); }

private:
    std::vector<std::pair<int32_t, V>> m_entries;
    std::unordered_map<int32_t, size_t> m_index;
};
