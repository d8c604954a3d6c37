// The documents that play together in synchronised mode. The list does not own them. Its lock guards
// the list and every walk over it; the GUI thread builds, clears and shrinks it, the play thread's
// calls (handed to the GUI thread) walk it by index.
#pragma once

#include <functional>
#include <vector>

#include "vomLib/Utility/CriticalSectionWrapper.h"

class CVesloDoc;
class IPlayDocument;

class CSyncDocList {
public:
    void Clear();
    void Add(CVesloDoc* pDoc);
    // FALSE when the document was not listed.
    BOOL Remove(const IPlayDocument* pDoc);
    BOOL Contains(const IPlayDocument* pDoc) const;
    int GetCount() const;
    // The i-th document, or null past the end. The lock is released before the caller uses it.
    CVesloDoc* GetAt(int index) const;
    // Calls visit for each document with the lock held; visit must not change the list.
    void ForEach(const std::function<void(CVesloDoc*)>& visit) const;

private:
    mutable CCriticalSectionWrapper m_lock;
    std::vector<CVesloDoc*> m_docs;
};
