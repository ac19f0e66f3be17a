#pragma once
// Shared by the test extensions written in C: the entry points as an
// extension author declares them (the sample's header), and EditParam, which
// the sample leaves out.
#include "engineering-units/ParamExtension.h"

int32_t __stdcall EditParam(IParam* param, char* valueOut, char* displayOut);
