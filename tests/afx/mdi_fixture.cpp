#include "afx/mdi_fixture.h"

IMPLEMENT_DYNCREATE(PlainDoc, CDocument)
IMPLEMENT_DYNCREATE(PlainView, CView)
