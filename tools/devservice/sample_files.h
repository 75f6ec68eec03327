#pragma once

#include <cstdint>
#include <string>

#include "devservice/catalogue.h"

namespace devservice {

struct SampleFilesSummary {
  int files = 0;
  std::int64_t bytes = 0;
};

// Writes every file the file server offers for the catalogue into `root`, one folder per
// store: Knowlege/<document file name> (MakeSampleDocument), App/<install package name>
// (MakeAppPackage), Platform/dotNetFx40_Full_x86_x64.exe and UserProfile/<avatar picture>.
// The files are written into a new folder beside root that then replaces root, so a root
// holds one whole generation and nothing left from an older catalogue. Raises
// std::runtime_error naming the file that could not be made.
SampleFilesSummary GenerateSampleFiles(const Catalogue& catalogue, const std::string& root);

}  // namespace devservice
