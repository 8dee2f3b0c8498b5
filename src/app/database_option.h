// The database a program takes its model from with --tdb FILE (and --phases LIST): read before the
// program enters its working folder, so that FILE is named as the user typed it.
#pragma once

#include "app/command_line.h"
#include "formats/tdb_system.h"

// Loads the database of options.tdb into `loaded`. On a fault of the file, one line
// "program: FILE: line N: reason" on standard error and false. Unless quiet, a note names the
// database's phases left out of the system.
bool openDatabase(const char* program, const CommonOptions& options, LoadedTdb& loaded);

// "Pb-Sn": the system's elements in the order of x (the second is the one x counts).
std::string systemName(const LoadedTdb& loaded);
