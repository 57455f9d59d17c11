#pragma once
// The sizes a picture's own header declares, read before any decoder sees the
// bytes: only PNG, JPEG, GIF and BMP pass, and only when every size they
// declare fits kMaxImageSide. Wine's decoders trust these fields and allocate
// (or fault) on what they say.
#include <windows.h>

#include <cstddef>

// S_OK for a PNG, JPEG, GIF or BMP whose declared sizes all fit; E_OUTOFMEMORY
// when one is beyond the limit; E_FAIL when the bytes are none of the four or
// their header is damaged (a zero or negative size, an uncompressed .bmp whose
// rows lie past its end, a JPEG without a frame header, a GIF frame without
// any colour table).
HRESULT CheckImageHeader(const BYTE* data, size_t size);
