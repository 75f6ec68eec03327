#pragma once

#include "np_types.h"
#include "platform/paths.h"
