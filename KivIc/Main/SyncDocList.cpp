#include "KivIc/Main/SyncDocList.h"

#include <algorithm>

#include "KivIc/Playback/VesloDoc.h"

void CSyncDocList::Clear() {
    CCriticalSectionLock lock(m_lock);
    m_docs.clear();
}

void CSyncDocList::Add(CVesloDoc* pDoc) {
    if (pDoc == nullptr)
        return;
    CCriticalSectionLock lock(m_lock);
    if (std::find(m_docs.begin(), m_docs.end(), pDoc) == m_docs.end())
        m_docs.push_back(pDoc);
}

BOOL CSyncDocList::Remove(const IPlayDocument* pDoc) {
    CCriticalSectionLock lock(m_lock);
    return std::erase(m_docs, pDoc) > 0 ? TRUE : FALSE;
}

BOOL CSyncDocList::Contains(const IPlayDocument* pDoc) const {
    CCriticalSectionLock lock(m_lock);
    return std::find(m_docs.begin(), m_docs.end(), pDoc) != m_docs.end() ? TRUE : FALSE;
}

int CSyncDocList::GetCount() const {
    CCriticalSectionLock lock(m_lock);
    return static_cast<int>(m_docs.size());
}

CVesloDoc* CSyncDocList::GetAt(int index) const {
    CCriticalSectionLock lock(m_lock);
    if (index < 0 || index >= static_cast<int>(m_docs.size()))
        return nullptr;
    return m_docs[static_cast<size_t>(index)];
}

void CSyncDocList::ForEach(const std::function<void(CVesloDoc*)>& visit) const {
    CCriticalSectionLock lock(m_lock);
    for (CVesloDoc* doc : m_docs)
        visit(doc);
}
