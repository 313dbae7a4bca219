// pluvo: hourly precipitation for stations that measure only totals, by
// inverse-distance weighting of the hourly stations and scaling to the
// measured totals. The parameters are asked for on the console, read from
// an answers file or given as options.
#include "program_exit.h"

int main(int argc, char** argv) { return pluvo::run_program(argc, argv); }
