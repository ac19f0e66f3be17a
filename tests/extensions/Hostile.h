#pragma once
// Hostile test extensions: each library defines Misbehave(), and its three
// entry points (Hostile.c) call it before they would report success.

void Misbehave(void);
