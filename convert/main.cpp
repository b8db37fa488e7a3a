// mapconv: converts an ASCII data file into a binary data file.
#include "convert/mapconv_driver.h"

int main(int argc, char** argv) { return mapconv_run(argc, argv); }
