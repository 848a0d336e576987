// The platform's part of starting the program, run first thing by the program's entry.
#pragma once

namespace pebitness {

// Makes the folder that holds the executable the process's working directory.
void CompletePlatformStartup();

}  // namespace pebitness
