#pragma once

namespace quintara {

// What a matrix switcher's panel shows of MatrixState. Called on the thread that ran the query:
// in the window, an exchange's worker, so the panel hands the call over to its own thread.
class MatrixView {
 public:
  virtual ~MatrixView() = default;
  // A status query ended, answered or not: the panel shows the tables as they are now.
  virtual void RefreshMatrixStatus() {}
};

}  // namespace quintara
