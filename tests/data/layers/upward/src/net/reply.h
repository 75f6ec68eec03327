#pragma once

#include "ui/main_frame.h"
