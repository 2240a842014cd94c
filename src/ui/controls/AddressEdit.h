#pragma once

#include <QLineEdit>
#include <QValidator>
#include <optional>

#include "core/platform/Ipv4Address.h"

namespace quintara::ui {

// What may stand in an address field while it is typed: digits and dots, at most four numbers
// of at most three digits, none above 255. Acceptable only when all four numbers are there.
class AddressValidator final : public QValidator {
  Q_OBJECT

 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

// The field of a device's IPv4 address. A keystroke the validator refuses is reported through
// inputRejected rather than dropped unseen; only a whole address reads as one.
class AddressEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit AddressEdit(QWidget* parent = nullptr);

  // The four octets, or nothing unless the field holds exactly four numbers 0-255.
  std::optional<Ipv4Address> Address() const;
};

}  // namespace quintara::ui
