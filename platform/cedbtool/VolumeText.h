// A database volume as text: every database with its type and sort orders, and every
// record with its properties, one per line. Dumping and loading go through the device's
// database functions only.
#pragma once
#include "platform/coredll/cedb.h"

#include <string>

class VolumeText {
 public:
  // Appends the text of every database on the volume to out.
  static bool Dump(CEGUID volume, std::string* out, std::string* error);
  // Replaces each database named in the text by the one described there, in one durable
  // step: a text or a write that fails changes nothing. Records get new object
  // identifiers; everything else is kept.
  static bool Load(CEGUID volume, const std::string& text, std::string* error);
  // Reads the text without loading it: false, with the error, where Load would refuse it.
  static bool Check(const std::string& text, std::string* error);
};
