#include "fatal_errors.h"

#include "fatal_error.h"

namespace pluvo {

void fatal_alloc_error(int code) {
  throw textio::FatalError{code, "Speicherbelegungsfehler ! (" + std::to_string(code) + ")\n", true};
}

void fatal_read_error(int code) {
  throw textio::FatalError{code, "Dateilesefehler ! (" + std::to_string(code) + ")\n", true};
}

void fatal_stop(int code, std::string message) { throw textio::FatalError{code, std::move(message), false}; }

}  // namespace pluvo
