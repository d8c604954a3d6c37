// Everything of the automation layer in one include.
#pragma once

#include "platform/com/hresult.h"
#include "platform/com/guid.h"
#include "platform/com/bstr.h"
#include "platform/com/variant.h"
#include "platform/com/interfaces.h"
#include "platform/com/typeinfo.h"
#include "platform/com/dispargs.h"
#include "platform/com/objects.h"
#include "platform/com/registry.h"
#include "platform/com/server.h"
