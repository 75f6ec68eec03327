// Generates the file server's sample files from the sample data (see sample_files.h). The
// build runs it into <build folder>/devservice-files:
//   devservice_sample_files <data folder> <files root>

#include <cstdio>
#include <exception>

#include "devservice/catalogue.h"
#include "devservice/sample_files.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <data folder> <files root>\n", argv[0]);
    return 2;
  }
  try {
    const devservice::Catalogue catalogue = devservice::Catalogue::Load(argv[1]);
    const devservice::SampleFilesSummary summary =
        devservice::GenerateSampleFiles(catalogue, argv[2]);
    std::printf("%d sample files, %.1f MB, in %s\n", summary.files,
                static_cast<double>(summary.bytes) / (1024.0 * 1024.0), argv[2]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "devservice_sample_files: %s\n", error.what());
    return 1;
  }
  return 0;
}
