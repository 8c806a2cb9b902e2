#pragma once
#include "base/clock.h"
