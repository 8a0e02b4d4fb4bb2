#pragma once

#include "engine/run_settings.h"
#include "fs/env.h"

namespace pw {

// True when the model path, lower-cased, names one of the installed sample models.
bool isSampleModel(const std::string& modelPath);

// When the model is a sample model, copies the seven sample pictures "sample0.jpg" to
// "sample6.jpg" from the installation's "Bin/" into the destination, replacing what is there.
// A copy that fails is skipped silently.
void copySamplePictures(Env& env, const RunSettings& settings);

}  // namespace pw
