// MD5 message digest as RFC 1321 defines it; the icon database matches icon
// files by their digests.
#pragma once

#include <windows.h>

struct MD5_CTX {
  UINT32 count[2];   // bits processed, low word first
  UINT32 state[4];
  BYTE buffer[64];
};

void MD5Init(MD5_CTX* context);
void MD5Update(MD5_CTX* context, const void* data, UINT length);
void MD5Final(MD5_CTX* context, BYTE digest[16]);
// One 64-byte block into the state.
void MD5Transform(UINT32 state[4], const BYTE block[64]);
