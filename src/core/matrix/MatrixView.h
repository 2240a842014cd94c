#pragma once

namespace quintara {

// What a matrix switcher's panel shows of MatrixState. Called on the thread that ran the query:
// in the window, an exchange's worker, so a panel notes the call and acts on it once the
// exchange is over.
class MatrixView {
 public:
  virtual ~MatrixView() = default;
  // A status query ended, answered or not: the panel shows the tables as they are now.
  virtual void RefreshMatrixStatus() {}
};

}  // namespace quintara
