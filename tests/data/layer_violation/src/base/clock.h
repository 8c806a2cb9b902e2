#pragma once
// A base header that reaches up to the window: the layer check refuses it.
#include "app/window.h"
