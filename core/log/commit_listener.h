#pragma once

#include "log/reading_log.h"

namespace tarvo {

// Something that follows the log as readings are committed: the session file,
// the publisher. Called once per committed record, on the thread that commits,
// right after the record is in the log and before the views are refreshed;
// it must not throw and should not block for long.
class CommitListener {
 public:
  virtual ~CommitListener() = default;
  virtual void reading_committed(const real_Record& record) = 0;
};

}  // namespace tarvo
