// Stopping a generation: the procedure text its errors are reported under, and the error that
// ends the generation of a language with a message for the user.

#ifndef ORVANO_GENERATION_GENERATION_STOP_H_
#define ORVANO_GENERATION_GENERATION_STOP_H_

#include <string>
#include <string_view>
#include <utility>

#include "support/errors.h"

namespace orvano {

/// The procedure text of the generation's own errors.
inline constexpr std::string_view kGenerateProcedure = "StartMainProcess";

/// Throws the program's error with `message` under kGenerateProcedure, naming `location` (""
/// when none) as where the problem lies.
[[noreturn]] inline void StopGeneration(const std::string& message, std::string location = "") {
  throw Located(ProgramError(message, std::string(kGenerateProcedure)), std::move(location));
}

}  // namespace orvano

#endif  // ORVANO_GENERATION_GENERATION_STOP_H_
