// phasediagram-solidify on a binary system of a database: both paths of one alloy through every
// field and reaction of the system's diagram, with the amount of each phase.
#pragma once

#include "app/command_line.h"
#include "formats/solidification_table.h"

struct DatabaseAlloy {
    double given;  // X0 as typed: a mole fraction, or with `weight` a weight percent
    bool weight;
    PathGrid grid;
    bool fromGiven;
    bool toGiven;
};

// Runs the program on the database of `common`; returns the exit status.
int solidifyFromDatabase(const char* program, const CommonOptions& common, DatabaseAlloy alloy);
