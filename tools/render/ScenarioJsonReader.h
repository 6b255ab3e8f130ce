#pragma once
// Reads a scenario's JSON text into a RenderScenario as the parser walks it, without
// building a document: a document takes many times the text's size in memory, and a
// document library cannot always release a half-built one cleanly when memory runs out.
// Memory here grows only with the events and parameters kept.
//
// Keys are handled in file order; a key given twice takes its last value ("params" and
// "events" their last object or array). Unknown keys and everything inside them are
// skipped. Syntax errors are expected to have been reported before (CheckJsonShape).

#include <string>

#include "tools/render/RenderScenario.h"

// Fills scenario from the text; framesGiven tells whether "frames" was present. On failure,
// error holds one line naming the field and an excerpt of the bad value.
bool ReadScenarioJson(const std::string& jsonText, RenderScenario& scenario, bool& framesGiven,
                      std::string& error);
