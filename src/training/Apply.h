#pragma once
// Puts the learner's options into an engine at Start: what the random
// modes draw, the effective speed's extra gaps, and the tone shaping.
#include "engine/MorseEngine.h"
#include "training/Options.h"
#include "training/Record.h"

// Reads nWpm and nDotMs from the engine (Start has set them). The run's
// record weights the draws when the options ask for it.
void ApplyTrainingOptions(const TrainingOptions& options, CMorseEngine& engine, const CRunRecord* pRecord = nullptr);
