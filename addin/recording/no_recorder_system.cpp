#include "addin/recording/save_history.h"

namespace kq::addin::recording {

// The portable build has no system clipboard or metafiles to record through;
// its tests give the recorder a world of their own.
std::unique_ptr<RecorderSystem> NewRecorderSystem() { return nullptr; }

}  // namespace kq::addin::recording
