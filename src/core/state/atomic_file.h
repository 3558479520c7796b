// Atomic replacement lives in the file seam (core/base/file_io.h).
#pragma once

#include "core/base/file_io.h"
