#include "shell/run_options.h"

namespace devov {

RunOptions& run_options() {
  static RunOptions options;
  return options;
}

}  // namespace devov
