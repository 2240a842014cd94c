#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QWidget>
#include <unordered_map>

#include "ui/form/ControlTable.h"
#include "ui/form/DpiScale.h"

namespace quintara::ui {

struct TextColours {
  QColor text;
  QColor background;
};

// The colours a window gives its text controls: its answer to their colour requests.
struct ControlColours {
  TextColours fields;  // lists and edits
  TextColours labels;  // static labels
};

// The controls built from one table, by id. The widgets belong to the window they were built on.
class ControlSet {
 public:
  // The control of this id, or null when the table has no such id.
  QWidget* Find(int id) const;
  // The control of this id as a T, or null when it is missing or of another class.
  template <class T>
  T* Get(int id) const {
    return qobject_cast<T*>(Find(id));
  }
  // Runs the handler, in the context's thread and lifetime, on every click of the button of id.
  template <class Handler>
  void OnClicked(int id, const QObject* context, Handler handler) const {
    QObject::connect(Get<QAbstractButton>(id), &QAbstractButton::clicked, context, handler);
  }

 private:
  friend ControlSet BuildControls(ControlTable, const ControlColours&, QWidget&, const DpiScale&);

  std::unordered_map<int, QWidget*> byId_;
};

// Builds every control of the table on the parent, placed at the scale, in table order.
ControlSet BuildControls(ControlTable table, const ControlColours& colours, QWidget& parent,
                         const DpiScale& scale);

}  // namespace quintara::ui
