// What "PhaseDiagram.svg" says, decided before anything is drawn: the temperature axis, the named
// phase fields, the pieces of each boundary line with their stability (the tables' Valid rows,
// completed from the model where the tables lack a stable tie-line), the bands of
// phasediagram-uncertainty, the stable eutectic, and the notes on what is missing.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "plot/boundary_rows.h"
#include "plot/diagram_data.h"

// A measured point as the picture draws it: where it was measured, marked by kind (the measured
// phase a liquid, a solid against the liquid, a solid against the other solid, or an arrest), and
// whether it lies outside the band of its computed value. An arrest without a composition is
// drawn at the computed liquid's.
MeasuredMark measuredMark(const PointResidual& residual);

// Decides everything the picture shows. Says in a note when a table or band file holds no rows,
// when Valid rows of a table do not solve the model of the data (tables from other data: then
// none of that table's rows is drawn, but the model's stable boundaries in their place), and when
// band files carry another fingerprint than the data (then draws no bands).
void describePhaseDiagram(const DiagramData& data, const StableDiagram& stable, PhaseDiagram& diagram);

// The band files of `data` that were computed from the data here (same fingerprint), the others
// left empty. True when some band file came from other data or carries no fingerprint.
bool bandsOfTheData(const DiagramData& data, BandTable (&bands)[3], EutecticBand& eutecticBand);

// The eutectic as a three-phase equilibrium: stable when every phase lies on or above the line
// through the FCC and BCC points at its temperature.
bool isStableEutectic(const PhaseParameters (&model)[3], const EutecticPoint& eutectic);
