// pluvo: hourly precipitation for stations that measure only totals, by
// inverse-distance weighting of the hourly stations and scaling to the
// measured totals. All parameters are asked for on the console; the
// command line only asks for the help or the version.
#include "program_exit.h"

int main(int argc, char** argv) { return pluvo::run_program(argc, argv); }
