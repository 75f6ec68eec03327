// The library's version facts, kept in a section of their own so that an installer or a file
// manager reads them from the file without loading it (the role of a version resource). The
// first entry has the form every program of the product embeds, so the product's version reader
// finds the file version; the others follow as name=value texts separated by zeros.

extern const char kPluginVersionFacts[];
__attribute__((used, section(".zelk_version"))) const char kPluginVersionFacts[] =
    "ZELK_FILE_VERSION=1.0.0.1\0"
    "FileVersion=1.0.0.1\0"
    "ProductVersion=1.0.0.1\0"
    "FileDescription=Tamsel插件\0"
    "ProductName=Tamsel插件\0"
    "InternalName=npZelk\0"
    "OriginalFilename=libnpZelk.so\0"
    "MIMEType=application/zelk-plugin";
