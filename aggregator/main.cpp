// tabsum: sums the value columns of a table over fixed groups of rows.
#include "program_exit.h"

int main(int argc, char** argv) { return tabsum::run_program(argc, argv); }
