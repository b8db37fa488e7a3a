// The modules (program and shared libraries) loaded into the process.
#pragma once

#include <string>
#include <vector>

namespace plat {

// Full paths of the loaded modules, the program itself first. Modules that
// have no file of their own (the kernel's virtual library) are left out.
std::vector<std::string> loaded_modules();

}  // namespace plat
