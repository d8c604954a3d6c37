// Everything of the Windows substitutes in one include.
#pragma once

#include "platform/win32/types.h"
#include "platform/win32/errors.h"
#include "platform/win32/memory.h"
#include "platform/win32/files.h"
#include "platform/win32/temp_file.h"
#include "platform/win32/sync.h"
#include "platform/win32/profile.h"
#include "platform/win32/system.h"
#include "platform/win32/bitmap.h"
