// The framework core without widgets: run-time classes, strings, exceptions and files.
#pragma once

#include "platform/win32/win32.h"

#include "platform/afx/core/afxdefs.h"
#include "platform/afx/core/object.h"
#include "platform/afx/core/cstring.h"
#include "platform/afx/core/exceptions.h"
#include "platform/afx/core/file.h"
#include "platform/afx/core/stdiofile.h"
