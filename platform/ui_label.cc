// The size of Label1's font on a machine whose stand-in for the nominal face
// is wider: the whole word must show.
#include <functional>

#include "platform/ui_internal.h"

namespace scenario {

int FitLabelFont(int nominal, int smallest, int room, const std::function<double(int)>& width_at) {
  int size = nominal;
  while (size > smallest && width_at(size) > room) --size;
  return size;
}

}  // namespace scenario
