// The console's own jobs from a shell: download the flash data file, run, pause and stop the
// stored program, and watch the status records it sends.
#pragma once

#include "cli/commands.h"

namespace pkivo::cli {

int download(const Arguments& args);
int run(const Arguments& args);
int pause(const Arguments& args);
int stop(const Arguments& args);
int monitor(const Arguments& args);

} // namespace pkivo::cli
