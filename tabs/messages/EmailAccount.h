// One account of an account filter: its name and the folders it shows, each a tagged
// blob (kind 'M' a messaging folder's entry id, 'F' a WebIS Mail folder as the packed
// folder number and account name) with the folder's name.
#pragma once
#include "base/TaggedBlob.h"
#include "platform/windowlib/String.h"

struct EMAIL_ACCOUNT {
  CString name;
  CTaggedBlobArray folders;
};
