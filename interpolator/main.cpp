// pluvo: hourly precipitation for stations that measure only totals, by
// inverse-distance weighting of the hourly stations and scaling to the
// measured totals. All parameters are asked for on the console.
#include "program_exit.h"

int main() { return pluvo::run_program(); }
