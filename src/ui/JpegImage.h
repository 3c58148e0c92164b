#pragma once
// JPEG (JFIF) decoding with libjpeg, for the pictures stored in the program.
#include <QByteArray>
#include <QImage>

// Decodes `data` into an RGB image. Anything that is not a complete, valid
// JPEG (empty, truncated, corrupt, unsupported colour model, absurd size)
// gives a null image. Never prints anything.
QImage DecodeJpeg(const QByteArray &data);
