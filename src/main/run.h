// The generation run: one case from its metadata file to the written
// ConstructionInfo document.
#pragma once

#include "common/run_error.h"
#include "main/command_line.h"

namespace app {

// Loads the case, resolves its machine, writes the document to `output`
// as typed, else beside the case file with its last extension replaced by
// "constructionInfo", and prints "Generated <output path>".
common::Result<void> run_generation(const Cli& cli);

}  // namespace app
