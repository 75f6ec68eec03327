#pragma once

#include "net/reply.h"
