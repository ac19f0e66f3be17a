#pragma once
// Shared by the test extensions written in C: the entry points as an
// extension author declares them (the extension kit's header).
#include "ParamExtension.h"
