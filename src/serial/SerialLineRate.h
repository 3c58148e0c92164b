#pragma once
// Any line rate on Linux through termios2 (BOTHER), kept apart from
// <termios.h>, whose struct termios clashes with the kernel's.
#include <cstdint>

// Sets input and output rate of the terminal `fd` to `baud` bit/s, standard
// or not, without draining or flushing. False when the driver refuses it.
bool SetLineRate(int fd, int32_t baud);
// The output rate the terminal `fd` runs at, or -1 when it can't be read.
int32_t LineRate(int fd);
