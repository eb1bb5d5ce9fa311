// list_tails.hpp: appending to the tail of a parent's list without walking it each time.
#pragma once

#include <unordered_map>

namespace orvik {

// Remembers the last element appended for the parent in use, and for parents left earlier,
// so that returning to an earlier module or source file still appends in constant time.
template <typename T> class ListTails {
public:
    void append(T*& head, T* item, const void* parent)
    {
        if (parent != m_parent) {
            if (m_parent)
                m_others[m_parent] = m_last;
            auto found = m_others.find(parent);
            m_last = found != m_others.end() ? found->second : nullptr;
            m_parent = parent;
        }
        if (!head) {
            head = item;
        } else {
            T* last = m_last ? m_last : head;
            while (last->next)
                last = last->next;
            last->next = item;
        }
        m_last = item;
    }

    void clear()
    {
        m_parent = nullptr;
        m_last = nullptr;
        m_others.clear();
    }

private:
    const void* m_parent = nullptr;
    T* m_last = nullptr;
    std::unordered_map<const void*, T*> m_others;
};

} // namespace orvik
