// pluvo with the plain weighting of every source for every target: the
// twin the national benchmark compares pluvo's time and table with. Same
// arguments, console and table as pluvo.
#include "program_exit.h"

int main(int argc, char** argv) {
  return pluvo::run_program(argc, argv, pluvo::EXIT_COMPLETE, pluvo::Weighting::plain);
}
