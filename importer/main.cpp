// stationfile: the weather services' own files in, pluvo's station files
// and tables out.
#include "program_exit.h"

int main(int argc, char** argv) { return stationfile::run_program(argc, argv); }
