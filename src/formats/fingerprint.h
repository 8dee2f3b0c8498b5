// A fingerprint of the six measured-data files, which the companions' outputs carry so that a
// picture never shows bands computed from other data: FNV-1a (64 bits) over each file's name and
// bytes, in the order the program reads them, as 16 hexadecimal digits.
#pragma once

#include <string>

#include "formats/error_text.h"

// The fingerprint of the data files in the current directory. Fails naming a file that cannot be
// read.
bool dataFingerprint(std::string& fingerprint, ErrorText& error);
