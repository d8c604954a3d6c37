// The server's own failure: "not initialized" and argument errors, in the library exception form.
#pragma once

#include "vomLib/Utility/vomException.h"

class BremFcException : public vomException {
public:
    using vomException::vomException;
};

#define BREMFC_THROW(text) throw BremFcException(__FILE__, __LINE__, 0, GetLastError(), (text))
